// The key customisation's command table and "Key.dat".
#include "CostumKey.h"

#include "Profile.h"
#include "ProgramFolder.h"
#include "ShortcutText.h"

#include <QAction>

namespace quire {

const std::array<TKeyCommand, KeyCommandCount>& KeyCommands() { return kKeyCommands; }

const std::array<TKeySection, KeySectionCount>& KeySections() {
    static const std::array<TKeySection, KeySectionCount> sections = {{
        {"File", "ファイル"},
        {"Edit", "編集"},
        {"Find", "検索"},
        {"View", "表示"},
        {"Window", "ウィンドウ"},
        {"Tool", "設定"},
        {"Help", "ヘルプ"},
    }};
    return sections;
}

TActionLookup ActionsOf(QObject& Root) {
    QObject* root = &Root;
    return [root](const QString& Name) { return root->findChild<QAction*>(Name); };
}

QString KeyFileName() { return ProgramFile(QStringLiteral("Key.dat")); }

QString ReadKeyText(int Index) {
    const TKeyCommand& c = KeyCommands().at(static_cast<size_t>(Index));
    return CanonicalShortcutText(profile::ReadString(KeyFileName(), QString::fromLatin1(c.Section),
                                                     QString::fromLatin1(c.Key), QString::fromLatin1(c.Default)));
}

void SetCommandShortcut(const TActionLookup& Lookup, int Index, const QString& Text) {
    const TKeyCommand& c = KeyCommands().at(static_cast<size_t>(Index));
    const QKeySequence shortcut = TextToShortcut(Text);
    for (const char* name : {c.MenuItem, c.Mirror}) {
        if (!name) continue;
        if (QAction* a = Lookup(QString::fromLatin1(name))) a->setShortcut(shortcut);
    }
}

QString CommandShortcutText(const TActionLookup& Lookup, int Index, const QString& Fallback) {
    const QAction* a = Lookup(QString::fromLatin1(KeyCommands().at(static_cast<size_t>(Index)).MenuItem));
    return a ? ShortcutToText(a->shortcut()) : Fallback;
}

void ApplyKeyTable(const TActionLookup& Lookup) {
    for (int i = 0; i < KeyCommandCount; ++i) SetCommandShortcut(Lookup, i, ReadKeyText(i));
}

void WriteKeyTable(const std::array<QString, KeyCommandCount>& Texts) {
    const QString file = KeyFileName();
    for (int i = 0; i < KeyCommandCount; ++i) {
        const TKeyCommand& c = KeyCommands()[static_cast<size_t>(i)];
        profile::WriteString(file, QString::fromLatin1(c.Section), QString::fromLatin1(c.Key),
                             Texts[static_cast<size_t>(i)]);
    }
}

} // namespace quire

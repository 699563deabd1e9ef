// Helpers of the key customisation tests: a window of named menu items, recorded messages, and
// reading "Key.dat" back line by line.
#pragma once

#include "CostumKey.h"
#include "InstalledDouble.h"
#include "Messages.h"
#include "QStringPrinting.h"
#include "ShortcutText.h"

#include <QAction>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>
#include <map>
#include <memory>
#include <ostream>

namespace quire::test {

// A widget holding one QAction for every menu item and mirror of the table (or only some).
class FakeMenus {
public:
    explicit FakeMenus(bool WithMirrors = true) {
        for (const TKeyCommand& c : KeyCommands()) {
            Add(c.MenuItem);
            if (WithMirrors && c.Mirror) Add(c.Mirror);
        }
    }
    QAction* Add(const char* Name) {
        auto* a = new QAction(&Root);
        a->setObjectName(QString::fromLatin1(Name));
        return a;
    }
    QAction* Item(const char* Name) { return Root.findChild<QAction*>(QString::fromLatin1(Name)); }
    QString Text(const char* Name);
    TActionLookup Lookup() { return ActionsOf(Root); }
    QWidget Root;
};

// Records what the program tells the user.
class RecordedMessages : public test::TInstalledDouble<TMessageService, &SetMessages> {
public:
    void Show(const QString&, const QString& Text, TMessageIcon Icon) override {
        Shown << Text;
        Icons.push_back(Icon);
    }
    int Ask(const QString&, const QString&, int, int DefaultButton, TMessageIcon) override { return DefaultButton; }
    QStringList Shown;
    std::vector<TMessageIcon> Icons;
};

// "Key.dat" as written: section -> keys in file order, each with its raw value.
struct KeyFileContents {
    QStringList Sections;
    std::map<QString, std::vector<std::pair<QString, QString>>> Keys;
    int KeyCount() const {
        int n = 0;
        for (const auto& [section, keys] : Keys) n += static_cast<int>(keys.size());
        return n;
    }
};

inline KeyFileContents ReadKeyFile() {
    KeyFileContents contents;
    QFile f(KeyFileName());
    if (!f.open(QIODevice::ReadOnly)) return contents;
    QString section;
    for (const QString& line : QString::fromUtf8(f.readAll()).split(QRegularExpression(QStringLiteral("\r?\n")))) {
        if (line.startsWith(QLatin1Char('['))) {
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            contents.Sections << section;
        } else if (line.contains(QLatin1Char('='))) {
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            contents.Keys[section].emplace_back(line.left(eq), line.mid(eq + 1));
        }
    }
    return contents;
}

inline void WriteKeyFile(const QByteArray& Bytes) {
    QFile f(KeyFileName());
    f.open(QIODevice::WriteOnly);
    f.write(Bytes);
}

inline QString FakeMenus::Text(const char* Name) {
    const QAction* a = Item(Name);
    return a ? ShortcutToText(a->shortcut()) : QStringLiteral("<no item>");
}

} // namespace quire::test

// The key customisation's command table and "Key.dat".
#include "CostumKey.h"

#include "Profile.h"
#include "ProgramFolder.h"
#include "ShortcutText.h"

#include <QAction>

namespace quire {

const std::array<TKeyCommand, KeyCommandCount>& KeyCommands() {
    static const std::array<TKeyCommand, KeyCommandCount> table = {{
        {"File", "New", "Ctrl+N", "Mm_New", nullptr, "新規作成"},
        {"File", "Open", "Ctrl+O", "Mm_Open", nullptr, "開く..."},
        {"File", "Reload", "", "N21", nullptr, "読み直し"},
        {"File", "Save", "Ctrl+S", "Mm_Save", nullptr, "上書き保存"},
        {"File", "SaveAs", "", "Mm_SaveAs", nullptr, "名前をつけて保存..."},
        {"File", "SaveAll", "", "Mm_SaveAll", nullptr, "すべて保存"},
        {"File", "FileClose", "Ctrl+F4", "Mm_FileClose", "N18", "閉じる"},
        {"File", "CloseAll", "", "N17", nullptr, "すべて閉じる"},
        {"File", "S-JIS", "", "Mm_ShiftJIS", nullptr, "保存時の文字コード / Shift-JIS"},
        {"File", "JIS", "", "Mm_JIS", nullptr, "保存時の文字コード / JIS"},
        {"File", "EUC", "", "Mm_EUC", nullptr, "保存時の文字コード / EUC"},
        {"File", "CRLF", "", "Mm_CRLF", nullptr, "保存時の文字コード / CRLF"},
        {"File", "CR", "", "Mm_CR", nullptr, "保存時の文字コード / CR"},
        {"File", "LF", "", "Mm_LF", nullptr, "保存時の文字コード / LF"},
        {"File", "Print", "Ctrl+P", "Mm_Print", nullptr, "印刷..."},
        {"File", "SaveClose", "Ctrl+E", "Mm_SaveClose", nullptr, "保存して終了"},
        {"File", "Close", "Alt+F4", "Mm_Close", nullptr, "終了"},
        {"Edit", "Undo", "Ctrl+Z", "Mm_Undo", nullptr, "アンドゥ"},
        {"Edit", "Redo", "Ctrl+Alt+Z", "Mm_Redo", nullptr, "リドゥ"},
        {"Edit", "Cut", "Ctrl+X", "mm_Cut", "Pm_Cut", "切り取り"},
        {"Edit", "Copy", "Ctrl+C", "Mm_Copy", "Pm_Copy", "コピー"},
        {"Edit", "Paste", "Ctrl+V", "Mm_Paste", "Pm_Paste", "貼り付け"},
        {"Edit", "PlusCut", "", "MmPlusCut", "PmPlusCut", "その他 / 追加切り取り"},
        {"Edit", "PlusCopy", "", "MmPlusCopy", "PmPlusCopy", "その他 / 追加コピー"},
        {"Edit", "InyoCut", "", "MmInyoCut", "PmInyoCut", "その他 / 引用付き切り取り"},
        {"Edit", "InyoCopy", "", "MmInyoCopy", "PmInyoCopy", "その他 / 引用付きコピー"},
        {"Edit", "InyoPaste", "Ctrl+Q", "Mm_Inyo_Paste", "Q1", "その他 / 引用付き貼り付け"},
        {"Edit", "PasteBox", "Ctrl+K", "Mm_PasteBox", "Pm_PasteBox", "その他 / 矩形貼り付け"},
        {"Edit", "LowerCase", "Ctrl+L", "Mm_LowerCase", "Pm_LowerCase", "変換 / 小文字に変換"},
        {"Edit", "UpperCase", "Ctrl+Alt+L", "Mm_UpperCase", "Pm_UpperCase", "変換 / 大文字に変換"},
        {"Edit", "ZenToHan", "Ctrl+H", "Mm_ZenToHan", "Pm_ZenToHan", "変換 / 半角に変換"},
        {"Edit", "HanToZen", "Ctrl+Alt+H", "Mm_HanToZen", "Pm_HanToZen", "変換 / 全角に変換"},
        {"Edit", "Int_ZenToHan", "", "Mm_int_ZenToHan", "Pm_int_ZenToHan", "変換 / 全数→半数"},
        {"Edit", "Indent", "Tab", "Mm_TabInd", "Pm_TabInd", "変換 / インデント"},
        {"Edit", "UnIndent", "Shift+Tab", "Mm_TabUnInd", "Pm_TabUnInd", "変換 / 逆インデント"},
        {"Edit", "SelectAll", "Ctrl+A", "Mm_SelectAll", nullptr, "すべて選択"},
        {"Edit", "FreeCursor", "Ctrl+Alt+F", "Mm_FreeCursol", nullptr, "フリーカーソル"},
        {"Edit", "Box", "Ctrl+B", "Mm_Box", nullptr, "矩形選択"},
        {"Edit", "AutoIndent", "", "Mm_AutoIndent", nullptr, "オートインデント"},
        {"Find", "Find", "Ctrl+F", "Mm_Find", nullptr, "検索..."},
        {"Find", "Replace", "Ctrl+R", "Mm_Replace", nullptr, "置換..."},
        {"Find", "FindBefore", "Shift+F3", "Mm_NextFind", nullptr, "前を検索"},
        {"Find", "FindNext", "F3", "Mm_NextBefore", nullptr, "次を検索"},
        {"Find", "JumpRow", "Ctrl+J", "Mm_JumpRow", nullptr, "指定行に移動..."},
        {"View", "ModeNormal", "", "Mm_mode_Normal", nullptr, "編集モード / 標準"},
        {"View", "ModeDel", "", "Mm_mode_Delphi", nullptr, "編集モード / Delphi"},
        {"View", "ModeIni", "", "Mm_mode_Ini", nullptr, "編集モード / ini"},
        {"View", "ModeHTML", "", "Mm_mode_HTML", nullptr, "編集モード / HTML"},
        {"View", "ModePerl", "", "Mm_mode_Perl", nullptr, "編集モード / Perl"},
        {"View", "ModeCpp", "", "Mm_mode_C", nullptr, "編集モード / C++"},
        {"View", "ModeBasic", "", "Mm_mode_Basic", nullptr, "編集モード / Basic"},
        {"View", "ModeYuza", "", "Mm_mode_yuza", nullptr, "編集モード / ユーザ"},
        {"View", "ToolBar", "", "Mm_ToolBar", nullptr, "ツールバー"},
        {"View", "StatusBar", "", "Mm_StatusBar", nullptr, "ステータスバー"},
        {"View", "Count", "F5", "Mm_GetCount", nullptr, "文字数の表示"},
        {"View", "Size", "F6", "Mm_GetSize", nullptr, "ファイルサイズの表示"},
        {"Window", "NextTab", "Alt+Right", "Mm_NextTab", nullptr, "次のページ"},
        {"Window", "BeforeTab", "Alt+Left", "Mm_BeforeTab", nullptr, "前のページ"},
        {"Window", "PageRight", "", "R1", nullptr, "ページの移動 / 右に移動"},
        {"Window", "PageLeft", "", "L1", nullptr, "ページの移動 / 左に移動"},
        {"Window", "Top", "", "Mm_Top", nullptr, "常に最前面表示"},
        {"Window", "Division", "F9", "Mm_Division", nullptr, "画面分割"},
        {"Tool", "Font", "", "Mm_Font", nullptr, "フォント..."},
        {"Tool", "Property", "Alt+Enter", "Mm_Property", nullptr, "各種設定..."},
        {"Tool", "Key", "", "MmKey", nullptr, "キーカスタマイズ..."},
        {"Help", "Help", "F1", "ff1", nullptr, "トピックの検索..."},
        {"Help", "Readme", "", "Mm_Readme", nullptr, "readme.txt..."},
        {"Help", "Version", "", "Mm_Version", nullptr, "バージョン情報..."},
    }};
    return table;
}

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

// TSettings.
#include "Settings.h"

#include "Profile.h"
#include "jconvert.h"

#include <algorithm>

namespace quire {

namespace {

// Calls Visit(section, key, field) for every key, in the order of the start-up. Reading and
// writing both go through this one list.
template <typename S, typename Visitor>
void visitKeys(S& s, Visitor&& visit) {
    auto& e = s.Editor;
    auto& p = s.MyProp;
    visit("Inyo", "Mozi", p.QuoteMark);
    visit("Inyo", "Check", p.QuoteColoring);
    visit("Stand", "UndoList", e.UndoListMax);
    visit("Stand", "TabCount", e.TabSpaceCount);
    visit("Stand", "FreeCursor", e.FreeCaret);
    visit("Stand", "AutoIndent", e.AutoIndent);
    visit("Stand", "UnderLine", e.UnderlineMark);
    visit("Col", "Check", e.WordWrap);
    visit("Col", "Int", e.WrapByte);
    visit("Marks", "EOF", e.EofMark);
    visit("Marks", "RET", e.RetMark);
    visit("Marks", "URL", e.Url);
    visit("Marks", "Mail", e.Mail);
    visit("Bar", "Tool", s.ToolBar);
    visit("Bar", "Status", s.StatusBar);
    visit("Bar", "Vertical", p.VerticalBar);
    visit("Bar", "Horizontal", p.HorizontalBar);
    visit("Ruler", "Vertical", e.Leftbar);
    visit("Ruler", "Horizontal", e.Ruler);
    visit("Stand", "Wheel", p.WheelRows);
    visit("File", "BackUp", p.BackUp);
    visit("File", "AutoSave", p.AutoSave);
    visit("File", "Time", p.AutoSaveMinutes);
    visit("Bar", "FileSize", p.SizeDisplay);
    visit("Bar", "Mozi", p.CountDisplay);
    visit("Marks", "Space", p.SpaceMark);
    visit("Marks", "Tab", p.TabMark);
    visit("Marks", "HSpace", p.HSpaceMark);
    visit("Margin", "Left", e.MarginLeft);
    visit("Margin", "Top", e.MarginTop);
    visit("Margin", "Line", e.MarginLine);
    visit("Margin", "Character", e.MarginCharacter);
    visit("File", "SaveDlg", p.ConfirmOverwrite);
    visit("WordWrap", "Break", e.WordBreak);
    visit("WordWrap", "FollowRet", e.FollowRetMark);
    visit("WordWrap", "Leading", e.Leading);
    visit("WordWrap", "FollowStr", e.FollowStr);
    visit("WordWrap", "LeadStr", e.LeadStr);
    visit("WordWrap", "FollowPunc", e.FollowPunctuation);
    visit("WordWrap", "PuncStr", e.PunctuationStr);
    visit("File", "BackUpDir", p.BackUpDirOn);
    visit("File", "BackUpDirPath", p.BackUpDir);
    visit("YuzaKey", "Str", p.UserStr);
    visit("YuzaKey", "Comment", p.UserComment);
    visit("YuzaKey", "LeftBracket", p.UserLeftBracket);
    visit("YuzaKey", "RightBracket", p.UserRightBracket);
    visit("File", "BackUp_Sedai", p.BackUpGenerations);
    visit("Inyo", "PasteMozi", p.PasteQuoteMark);
    visit("Stand", "TabPosi", p.TabPosition);
    visit("File", "NewCode", p.NewKanjiCode);
    visit("File", "NewLineEnd", p.NewLineEnd);
}

// Reads one key into its field; the field holds the default.
struct TReader {
    const QString& File;
    void operator()(const char* Section, const char* Key, bool& Field) const {
        Field = profile::ReadBool(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, int& Field) const {
        Field = profile::ReadInteger(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, QString& Field) const {
        Field = profile::ReadString(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, TTabPosition& Field) const {
        const int value =
            profile::ReadInteger(File, QString::fromLatin1(Section), QString::fromLatin1(Key), static_cast<int>(Field));
        Field = value >= 0 && value <= 2 ? static_cast<TTabPosition>(value) : TTabPosition::Left;
    }
};

struct TWriter {
    const QString& File;
    void operator()(const char* Section, const char* Key, bool Field) const {
        profile::WriteBool(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, int Field) const {
        profile::WriteInteger(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, const QString& Field) const {
        profile::WriteString(File, QString::fromLatin1(Section), QString::fromLatin1(Key), Field);
    }
    void operator()(const char* Section, const char* Key, TTabPosition Field) const {
        (*this)(Section, Key, static_cast<int>(Field));
    }
};

} // namespace

void TSettings::Load(const QString& File) {
    *this = TSettings();
    visitKeys(*this, TReader{File});
    MyProp.BackUpGenerations = std::clamp(MyProp.BackUpGenerations, 1, 99);
    MyProp.AutoSaveMinutes = std::clamp(MyProp.AutoSaveMinutes, 5, 120);
    MyProp.WheelRows = std::max(MyProp.WheelRows, 0);
    // A code or line end that is not one of the names gives the default.
    const TMyProp defaults;
    if (!jconvert::IsCodeName(MyProp.NewKanjiCode.toStdString())) MyProp.NewKanjiCode = defaults.NewKanjiCode;
    const std::string eol = MyProp.NewLineEnd.toStdString();
    if (eol != jconvert::kCrLfName && eol != jconvert::kCrName && eol != jconvert::kLfName)
        MyProp.NewLineEnd = defaults.NewLineEnd;
}

void TSettings::Save(const QString& File) const {
    profile::TBatch batch(File); // one write for every key
    visitKeys(*this, TWriter{File});
    batch.Commit();
}

QString PasteMark(const QString& Stored) {
    if (!Stored.startsWith(QLatin1Char('$'))) return QString();
    QString mark;
    for (qsizetype i = 1; i < Stored.size(); ++i) {
        if (Stored[i] != QLatin1Char('$')) {
            mark += Stored[i];
        } else if (i + 1 < Stored.size() && Stored[i + 1] == QLatin1Char('$')) {
            mark += QLatin1Char('$');
            ++i;
        } else {
            break;
        }
    }
    return mark;
}

} // namespace quire

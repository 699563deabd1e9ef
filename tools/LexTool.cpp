// quire-lex: shows how the editor splits a Shift_JIS text into tokens, row by row, with the
// row state at the start of every row, in the manner of a lexer test harness.
//
//   quire-lex [options] FILE
// Output, one line per screen row:
//   ROW [BracketIndex Element Remain ResumeKind PrevData] START+LENGTH:KIND ...
// --rows adds attr=, bytes= and cols= after the row number; --colors adds /COLOUR to every
// token (c=colour b=background s=style as hex, or "none"). FILE "-" is standard input; only
// regular files of at most 1 GB are read. --wrap takes 0 (no wrap) or the editor's wrap
// widths, --tab the editor's tab widths; anything else is a usage error.
#include "Cp932Codec.h"
#include "DocumentMode.h"
#include "EditorFountain.h"
#include "EditorScreenStrings.h"
#include "FountainFactory.h"
#include "ToolIo.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

using namespace quire;

namespace {

const char* const kProgram = "quire-lex";

void printUsage(std::FILE* To) {
    std::fprintf(To, "usage: quire-lex [--fountain NAME] [--url] [--mail] [--quotation C] [--commenter S]\n"
                     "                 [--control-code] [--hex-prefix S] [--bracket LEFT RIGHT]... [--reserved FILE]\n"
                     "                 [--mode NAME] [--wrap N] [--word-break] [--follow-punctuation] [--leading]\n"
                     "                 [--follow-ret-mark] [--tab N] [--rows] [--colors] FILE\n"
                     "       quire-lex --help | --version\n");
}

int usage() {
    printUsage(stderr);
    return 2;
}

// An editor as the store needs one: it computes the states of every row at once.
class LexEditor : public TEditorLink {
public:
    explicit LexEditor(TFountain& Fountain) : FFountain(Fountain), FStore(new TEditorScreenStrings) {
        FStore->AddEditor(this);
    }
    ~LexEditor() override { FStore->RemoveEditor(this); }
    TEditorScreenStrings& Store() { return *FStore; }
    int Tab = 8;

    TEditorScreenStrings& ScreenStrings() override { return *FStore; }
    int TabSpaceCount() const override { return Tab; }
    const TDelimiters& Delimiters() const override { return FDelimiters; }
    int ScreenRows() const override { return INT_MAX / 4; }
    std::unique_ptr<TRowStateParser> CreateRowStateParser() override { return FFountain.CreateParser(); }
    bool Focused() const override { return false; }
    int Row() const override { return 0; }
    int Col() const override { return 0; }
    int TopRow() const override { return 0; }
    void SetRow(int) override {}
    void SetCol(int) override {}
    void SetRowCol(int, int) override {}
    void SetTopRow(int) override {}
    void CaretBeginUpdate() override {}
    void CaretEndUpdate() override {}
    void LinesUpdateBegin() override {}
    void LinesUpdateEnd() override {}
    void ClearSelection() override {}
    void InvalidateRow(int) override {}
    void StoreChanged() override {}
    void UpdateView() override {}

private:
    TFountain& FFountain;
    TEditorScreenStrings* FStore;
    TDelimiters FDelimiters = DefaultDelimiters();
};

std::string sjis(const QString& s) { return cp932::FromUnicode(s); }

std::string colorText(TFountainColor* c) {
    if (!c) return "none";
    auto value = [](TColor v) {
        if (v == clNone) return std::string("none");
        char buf[16];
        std::snprintf(buf, sizeof buf, "%06X", v);
        return std::string(buf);
    };
    char style[8];
    std::snprintf(style, sizeof style, "%X", c->Style());
    return "c=" + value(c->Color()) + ",b=" + value(c->BkColor()) + ",s=" + style;
}

const char* attrName(TRowAttribute a) {
    switch (a) {
    case TRowAttribute::LineEnd: return "LineEnd";
    case TRowAttribute::Wrapped: return "Wrapped";
    case TRowAttribute::EndOfFile: return "EndOfFile";
    default: return "NoAttribute";
    }
}

// The options of a run.
struct TLexOptions {
    QString File, FountainName;
    int Wrap = 0, Tab = 8;
    bool WordBreak = false, FollowPunctuation = false, Leading = false, FollowRetMark = false;
    bool Rows = false, Colors = false;
    std::vector<std::string> Reserved;
};

// The widths the editor itself can be set to; a tab of 0 would divide by zero.
int checkWidths(const TLexOptions& o) {
    if (o.Wrap != 0 && (o.Wrap < TEditorWrapOption::MinWrapByte || o.Wrap > TEditorWrapOption::MaxWrapByte)) {
        std::fprintf(stderr, "%s: --wrap takes 0 or %d to %d\n", kProgram, TEditorWrapOption::MinWrapByte,
                     TEditorWrapOption::MaxWrapByte);
        return usage();
    }
    if (o.Tab < 2 || o.Tab > 8 || o.Tab % 2 != 0) {
        std::fprintf(stderr, "%s: --tab takes 2, 4, 6 or 8\n", kProgram);
        return usage();
    }
    return -1;
}

// A pair of brackets for the fountain; a bad pair is told.
bool addBracket(TEditorFountain& f, const QString& left, const QString& right) {
    try {
        f.Brackets().AddBracket(sjis(left), sjis(right));
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quire-lex: %s\n", e.what());
        return false;
    }
}

// The reserved words, one a line, from a file; a file that cannot be read is told.
bool readReserved(const QString& file, TLexOptions& o) {
    const auto words = tools::ReadInput(kProgram, file);
    if (!words) return false;
    for (const QByteArray& line : words->split('\n')) {
        const QByteArray word = line.trimmed();
        if (!word.isEmpty()) o.Reserved.emplace_back(word.constData(), static_cast<std::size_t>(word.size()));
    }
    return true;
}

// The options that are a switch alone: the field each turns on, or null for any other.
bool TLexOptions::*switchNamed(const QString& a) {
    static const std::pair<const char*, bool TLexOptions::*> switches[] = {
        {"--word-break", &TLexOptions::WordBreak},
        {"--follow-punctuation", &TLexOptions::FollowPunctuation},
        {"--leading", &TLexOptions::Leading},
        {"--follow-ret-mark", &TLexOptions::FollowRetMark},
        {"--rows", &TLexOptions::Rows},
        {"--colors", &TLexOptions::Colors},
    };
    for (const auto& [name, field] : switches)
        if (a == QLatin1String(name)) return field;
    return nullptr;
}

// Reads the options into O and the editor fountain's settings into F; returns -1 when they
// are good, else the exit status.
int parseOptions(const QStringList& args, TLexOptions& o, TEditorFountain& f) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        QString v, w;
        bool ok = true;
        if (a == "--url")
            f.SetUrl(true);
        else if (a == "--mail")
            f.SetMail(true);
        else if (a == "--control-code")
            f.SetControlCode(true);
        else if (a == "--quotation" && next(v))
            f.SetQuotation(sjis(v.left(1)));
        else if (a == "--commenter" && next(v))
            f.SetCommenter(sjis(v));
        else if (a == "--hex-prefix" && next(v))
            f.SetHexPrefix(sjis(v));
        else if (a == "--bracket" && next(v) && next(w)) {
            if (!addBracket(f, v, w)) return 2;
        } else if (a == "--reserved" && next(v)) {
            if (!readReserved(v, o)) return 1;
        } else if (a == "--mode" && next(v))
            SetCurrentDocumentMode(v.toStdString());
        else if (a == "--fountain" && next(v))
            o.FountainName = v;
        else if (a == "--wrap" && next(v))
            o.Wrap = v.toInt(&ok);
        else if (a == "--tab" && next(v))
            o.Tab = v.toInt(&ok);
        else if (bool TLexOptions::*on = switchNamed(a))
            o.*on = true;
        else if (!a.startsWith("--") && o.File.isEmpty())
            o.File = a;
        else
            return usage();
        if (!ok) return usage();
    }
    return o.File.isEmpty() ? usage() : checkWidths(o);
}

void setUpWrap(TEditorScreenStrings& store, const TLexOptions& o) {
    if (o.Wrap <= 0) return;
    TEditorWrapOption& w = store.WrapOption();
    w.BeginUpdate();
    w.SetWrapByte(o.Wrap);
    w.SetWordBreak(o.WordBreak);
    w.SetFollowPunctuation(o.FollowPunctuation);
    w.SetLeading(o.Leading);
    w.SetFollowRetMark(o.FollowRetMark);
    w.EndUpdate();
    store.SetWordWrap(true);
}

// One line per row: its state and its tokens as the painter takes them.
void printRows(const TEditorScreenStrings& store, TFountainParser& parser, const TLexOptions& o) {
    const TColumnContext context = store.ColumnContext();
    for (int r = 0; r < store.Count(); ++r) {
        const TRowState s = store.RowState(r);
        std::string line = std::to_string(r);
        const std::string_view own = store.Get(r);
        if (o.Rows) {
            line += std::string(" attr=") + attrName(store.RowAttribute(r)) + " bytes=" + std::to_string(own.size()) +
                    " cols=" + std::to_string(TextWidth(own, context));
        }
        line += " [" + std::to_string(s.BracketIndex) + " " + std::to_string(s.Element) + " " +
                std::to_string(s.Remain) + " " + std::to_string(s.ResumeKind) + " " + std::to_string(s.PrevData) + "]";
        // A wrapped row is read with the next.
        std::string text(own);
        if (store.RowAttribute(r) == TRowAttribute::Wrapped && r + 1 < store.Count()) text += store.Get(r + 1);
        parser.StartRow(text, s);
        while (parser.NextToken() != kindEnd && parser.TokenStart() < static_cast<int>(own.size())) {
            line += " " + std::to_string(parser.TokenStart()) + "+" + std::to_string(parser.TokenLength()) + ":" +
                    std::to_string(parser.TokenKind());
            if (o.Colors) line += "/" + colorText(parser.TokenColor());
        }
        std::printf("%s\n", line.c_str());
        if (std::ferror(stdout)) break; // reported by FinishOutput
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = tools::Arguments(argc, argv);
    if (const auto status = tools::AnswerHelpOrVersion(kProgram, args, printUsage)) return *status;
    auto editorFountain = TFountain::Create<TEditorFountain>();
    TLexOptions o;
    if (const int status = parseOptions(args, o, *editorFountain); status >= 0) return status;
    std::unique_ptr<TFountain> fountain;
    TFountain* active = editorFountain.get();
    if (!o.FountainName.isEmpty()) {
        fountain = CreateLanguageFountain(o.FountainName.toStdString());
        if (!fountain) {
            std::fprintf(stderr, "quire-lex: no fountain called %s\n", o.FountainName.toLocal8Bit().constData());
            return 2;
        }
        active = fountain.get();
    }
    if (!o.Reserved.empty()) active->SetReserveWordList(o.Reserved);
    const auto read = tools::ReadInput(kProgram, o.File);
    if (!read) return 1;
    LexEditor editor(*active);
    editor.Tab = o.Tab;
    TEditorScreenStrings& store = editor.Store();
    setUpWrap(store, o);
    store.SetTextStr(std::string_view(read->constData(), static_cast<std::size_t>(read->size())));
    printRows(store, *active->CreateParser(), o);
    return tools::FinishOutput(kProgram) ? 0 : 1;
}

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
#include "DocumentMode.h"
#include "EditorFountain.h"
#include "EditorScreenStrings.h"
#include "FountainFactory.h"
#include "Cp932Codec.h"
#include "ToolIo.h"

#include <QCoreApplication>
#include <QFile>
#include <climits>
#include <cstdio>
#include <memory>
#include <string>

using namespace quire;

namespace {

const char* const kProgram = "quire-lex";

int usage() {
    std::fprintf(stderr,
                 "usage: quire-lex [--fountain NAME] [--url] [--mail] [--quotation C] [--commenter S]\n"
                 "                 [--control-code] [--hex-prefix S] [--bracket LEFT RIGHT]... [--reserved FILE]\n"
                 "                 [--mode NAME] [--wrap N] [--word-break] [--follow-punctuation] [--leading]\n"
                 "                 [--follow-ret-mark] [--tab N] [--rows] [--colors] FILE\n");
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
    bool Loading() const override { return false; }
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    std::unique_ptr<TFountain> fountain;
    auto editorFountain = TFountain::Create<TEditorFountain>();
    QString file, fountainName;
    int wrap = 0, tab = 8;
    bool wordBreak = false, followPunctuation = false, leading = false, followRetMark = false;
    bool rows = false, colors = false;
    std::vector<std::string> reserved;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto next = [&](QString& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        QString v, w;
        bool ok = true;
        if (a == "--url") editorFountain->SetUrl(true);
        else if (a == "--mail") editorFountain->SetMail(true);
        else if (a == "--control-code") editorFountain->SetControlCode(true);
        else if (a == "--quotation" && next(v)) editorFountain->SetQuotation(sjis(v.left(1)));
        else if (a == "--commenter" && next(v)) editorFountain->SetCommenter(sjis(v));
        else if (a == "--hex-prefix" && next(v)) editorFountain->SetHexPrefix(sjis(v));
        else if (a == "--bracket" && next(v) && next(w)) {
            try {
                editorFountain->Brackets().AddBracket(sjis(v), sjis(w));
            } catch (const std::exception& e) {
                std::fprintf(stderr, "quire-lex: %s\n", e.what());
                return 2;
            }
        } else if (a == "--reserved" && next(v)) {
            const auto words = tools::ReadInput(kProgram, v);
            if (!words) return 1;
            for (const QByteArray& line : words->split('\n')) {
                const QByteArray word = line.trimmed();
                if (!word.isEmpty()) reserved.emplace_back(word.constData(), static_cast<std::size_t>(word.size()));
            }
        } else if (a == "--mode" && next(v)) SetCurrentDocumentMode(v.toStdString());
        else if (a == "--fountain" && next(v)) fountainName = v;
        else if (a == "--wrap" && next(v)) wrap = v.toInt(&ok);
        else if (a == "--tab" && next(v)) tab = v.toInt(&ok);
        else if (a == "--word-break") wordBreak = true;
        else if (a == "--follow-punctuation") followPunctuation = true;
        else if (a == "--leading") leading = true;
        else if (a == "--follow-ret-mark") followRetMark = true;
        else if (a == "--rows") rows = true;
        else if (a == "--colors") colors = true;
        else if (!a.startsWith("--") && file.isEmpty()) file = a;
        else return usage();
        if (!ok) return usage();
    }
    if (file.isEmpty()) return usage();
    // The widths the editor itself can be set to; a tab of 0 would divide by zero.
    if (wrap != 0 && (wrap < TEditorWrapOption::MinWrapByte || wrap > TEditorWrapOption::MaxWrapByte)) {
        std::fprintf(stderr, "%s: --wrap takes 0 or %d to %d\n", kProgram, TEditorWrapOption::MinWrapByte,
                     TEditorWrapOption::MaxWrapByte);
        return usage();
    }
    if (tab < 2 || tab > 8 || tab % 2 != 0) {
        std::fprintf(stderr, "%s: --tab takes 2, 4, 6 or 8\n", kProgram);
        return usage();
    }
    TFountain* active = editorFountain.get();
    if (!fountainName.isEmpty()) {
        fountain = CreateLanguageFountain(fountainName.toStdString());
        if (!fountain) {
            std::fprintf(stderr, "quire-lex: no fountain called %s\n", fountainName.toLocal8Bit().constData());
            return 2;
        }
        active = fountain.get();
    }
    if (!reserved.empty()) active->SetReserveWordList(reserved);

    const auto read = tools::ReadInput(kProgram, file);
    if (!read) return 1;
    const QByteArray& bytes = *read;

    LexEditor editor(*active);
    editor.Tab = tab;
    TEditorScreenStrings& store = editor.Store();
    if (wrap > 0) {
        TEditorWrapOption& o = store.WrapOption();
        o.BeginUpdate();
        o.SetWrapByte(wrap);
        o.SetWordBreak(wordBreak);
        o.SetFollowPunctuation(followPunctuation);
        o.SetLeading(leading);
        o.SetFollowRetMark(followRetMark);
        o.EndUpdate();
        store.SetWordWrap(true);
    }
    store.SetTextStr(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));

    const TColumnContext context = store.ColumnContext();
    std::unique_ptr<TFountainParser> parser = active->CreateParser();
    for (int r = 0; r < store.Count(); ++r) {
        const TRowState s = store.RowState(r);
        std::string line = std::to_string(r);
        const std::string_view own = store.Get(r);
        if (rows) {
            line += std::string(" attr=") + attrName(store.RowAttribute(r)) + " bytes=" + std::to_string(own.size()) +
                    " cols=" + std::to_string(TextWidth(own, context));
        }
        line += " [" + std::to_string(s.BracketIndex) + " " + std::to_string(s.Element) + " " +
                std::to_string(s.Remain) + " " + std::to_string(s.ResumeKind) + " " + std::to_string(s.PrevData) + "]";
        // The row's tokens as the painter takes them: a wrapped row is read with the next.
        std::string text(own);
        if (store.RowAttribute(r) == TRowAttribute::Wrapped && r + 1 < store.Count()) text += store.Get(r + 1);
        parser->StartRow(text, s);
        while (parser->NextToken() != kindEnd && parser->TokenStart() < static_cast<int>(own.size())) {
            line += " " + std::to_string(parser->TokenStart()) + "+" + std::to_string(parser->TokenLength()) + ":" +
                    std::to_string(parser->TokenKind());
            if (colors) line += "/" + colorText(parser->TokenColor());
        }
        std::printf("%s\n", line.c_str());
        if (std::ferror(stdout)) break; // reported below
    }
    return tools::FinishOutput(kProgram) ? 0 : 1;
}

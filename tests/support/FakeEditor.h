// A stand-in for the editor control, and a small parser whose state crosses rows.
#pragma once

#include "EditorScreenStrings.h"
#include "EditorStrings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quire::test {

// Brackets open with "(*" and close with "*)". BracketIndex 0 inside, -1 outside; Remain is
// the number of bytes at the start of the next row that finish a marker begun on this one
// (a marker split by a wrap). A Wrapped row is read together with the first byte of the next.
class BracketParser : public TRowStateParser {
public:
    TRowState Advance(const TEditorScreenStrings& Rows, int Row, const TRowState& State) override {
        ++Steps;
        const std::string_view row = Rows.Get(Row);
        std::string text(row);
        if (Rows.RowAttribute(Row) == TRowAttribute::Wrapped && Row + 1 < Rows.Count()) {
            text += Rows.Get(Row + 1).substr(0, 1);
        }
        bool inside = State.BracketIndex == 0;
        std::size_t i = static_cast<std::size_t>(State.Remain);
        while (i < row.size()) {
            if (!inside && text.compare(i, 2, "(*") == 0) {
                inside = true;
                i += 2;
            } else if (inside && text.compare(i, 2, "*)") == 0) {
                inside = false;
                i += 2;
            } else {
                ++i;
            }
        }
        return TRowState{inside ? 0 : -1, 0, static_cast<int>(i - row.size()), 0, 0};
    }
    static inline int Steps = 0;
};

using TParserFactory = std::function<std::unique_ptr<TRowStateParser>()>;

inline TParserFactory BracketParserFactory() {
    return [] { return std::make_unique<BracketParser>(); };
}

// The row states computed from scratch, row by row.
inline std::vector<TRowState> FullStates(const TEditorScreenStrings& rows,
                                         const TParserFactory& factory = BracketParserFactory()) {
    std::unique_ptr<TRowStateParser> parser = factory();
    std::vector<TRowState> states;
    TRowState s = TRowState::Initial();
    for (int r = 0; r < rows.Count(); ++r) {
        states.push_back(s);
        s = TRowAttributeStringList::Packed(parser->Advance(rows, r, s));
    }
    return states;
}

// An editor as the store sees it, over TBase: the link itself, or an interface that extends it.
template <class TBase>
class FakeEditorOf : public TBase {
public:
    FakeEditorOf() : Store(new TEditorScreenStrings), Lines(*this) { Store->AddEditor(this); }
    explicit FakeEditorOf(FakeEditorOf& Other) : Store(Other.Store), Lines(*this) { Store->AddEditor(this); }
    ~FakeEditorOf() override { Store->RemoveEditor(this); }
    FakeEditorOf(const FakeEditorOf&) = delete;
    FakeEditorOf& operator=(const FakeEditorOf&) = delete;

    TEditorScreenStrings* Store;
    TEditorStrings Lines;

    int Tab = 8;
    TDelimiters Delims = DefaultDelimiters();
    int Screen = 10;
    bool HasFocus = false;
    bool WithParser = true;
    // Whether the editor goes on parsing in the background when the store asks it to.
    bool Background = false;
    int BackgroundRequests = 0;
    TParserFactory ParserFactory = BracketParserFactory();
    int CaretRow = 0, CaretCol = 0, Top = 0;
    int CaretHidden = 0;
    int SelectionsCleared = 0;
    int Notifications = 0;
    int Views = 0;
    std::vector<int> Invalidated;
    std::vector<TChangeRecord> Records;

    TEditorScreenStrings& ScreenStrings() override { return *Store; }
    int TabSpaceCount() const override { return Tab; }
    const TDelimiters& Delimiters() const override { return Delims; }
    int ScreenRows() const override { return Screen; }
    std::unique_ptr<TRowStateParser> CreateRowStateParser() override {
        if (!WithParser) return nullptr;
        return ParserFactory();
    }
    bool ScheduleBackgroundParse() override {
        ++BackgroundRequests;
        return Background;
    }
    bool Focused() const override { return HasFocus; }
    int Row() const override { return CaretRow; }
    int Col() const override { return CaretCol; }
    int TopRow() const override { return Top; }
    void SetRow(int Value) override { CaretRow = Value; }
    void SetCol(int Value) override { CaretCol = Value; }
    void SetRowCol(int ARow, int ACol) override {
        CaretRow = ARow;
        CaretCol = ACol;
    }
    void SetTopRow(int Value) override { Top = Value; }
    void CaretBeginUpdate() override { ++CaretHidden; }
    void CaretEndUpdate() override { --CaretHidden; }
    void LinesUpdateBegin() override { ++CaretHidden; }
    void LinesUpdateEnd() override { --CaretHidden; }
    void ClearSelection() override { ++SelectionsCleared; }
    void InvalidateRow(int Row) override { Invalidated.push_back(Row); }
    void StoreChanged() override {
        ++Notifications;
        Records.push_back(Store->ChangeRecord);
    }
    void UpdateView() override { ++Views; }
};

using FakeEditor = FakeEditorOf<TEditorLink>;

// Rows as "text|attr" strings, attr L (LineEnd), W (Wrapped) or E (EndOfFile).
inline std::vector<std::string> RowsOf(const TRowAttributeStringList& s) {
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) {
        const char* a = "LWEN";
        v.push_back(s.Strings(i) + "|" + a[static_cast<int>(s.RowAttribute(i))]);
    }
    return v;
}

} // namespace quire::test

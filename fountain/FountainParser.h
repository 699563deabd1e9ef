// TFountainParser: splits one screen row into tokens, starting from the row state at its start.
#pragma once

#include "EditorLink.h"
#include "Fountain.h"
#include "TokenKinds.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quire {

class TEditorScreenStrings;

// A parser lives for one job (painting a row, computing row states, finding a word). It is
// table driven: one scanner per first byte of a token, and one per kind carried over from
// the row before. Every scanner stays inside the row text: the text is held with a NUL after
// it, and NUL, CR and LF end every scan.
class TFountainParser : public TRowStateParser {
public:
    // Raises std::invalid_argument without a fountain.
    explicit TFountainParser(TFountain* Fountain);
    ~TFountainParser() override = default;

    void StartRow(std::string_view Text, const TRowState& State);
    // The kind of the next token; kindEnd when the row is done.
    virtual int NextToken();
    int TokenKind() const noexcept { return FTokenKind; }
    int TokenStart() const noexcept { return static_cast<int>(FTokenStart - textStart()); }
    int TokenLength() const noexcept { return static_cast<int>(FP - FTokenStart); }
    std::string_view TokenText() const noexcept {
        return {reinterpret_cast<const char*>(FTokenStart), static_cast<std::size_t>(FP - FTokenStart)};
    }
    // The colour of the current token, or none (the view's plain colours).
    virtual TFountainColor* TokenColor() = 0;
    virtual bool IsReserveWord();

    // Replaces State, the state at the start of screen row Row, by the state at the start of
    // row Row + 1.
    void AdvanceRowState(int Row, const TEditorScreenStrings& Rows, TRowState& State);
    TRowState Advance(const TEditorScreenStrings& Rows, int Row, const TRowState& State) override;

    int BracketIndex() const noexcept { return FBracketIndex; }
    int LastBracket() const noexcept { return FLastBracket; }
    int Element() const noexcept { return FElement; }
    int PrevData() const noexcept { return FPrevData; }
    TFountain* Fountain() const noexcept { return FFountain; }

protected:
    using TScanProc = void (TFountainParser::*)();

    // Builds both tables; descendants build the base tables first, then replace entries.
    virtual void InitScanTables();
    virtual void SkipBlanks();
    virtual bool IsBracketStart();
    virtual void ScanBracket();
    virtual bool IsMail();
    virtual void ScanMail();
    virtual bool IsUrl();
    virtual void ScanUrl();
    virtual void ScanReserved();
    virtual void ScanEnd();
    virtual void ScanTab();
    virtual void ScanEndLF();
    virtual void ScanEndCR();
    virtual void ScanLineComment();
    virtual void ScanHex();
    virtual void ScanNumber();
    virtual void ScanWord();
    virtual void ScanWideSymbol();
    virtual void ScanWide();
    virtual void ScanKanji();
    virtual void ScanHalfKanaSymbol();
    virtual void ScanHalfKana();
    virtual void ScanSymbol();
    virtual void ScanSingleQuoted();
    virtual void ScanDoubleQuoted();
    virtual void ResumeToken();
    virtual void ScanDefault();
    virtual int AdjustKind(int Kind);
    virtual bool IsContinuedKind(int Kind) const;

    // Called once by the constructor of the most derived parser, after its own members.
    void Init() { InitScanTables(); }

    // The colour of the bracket item of the last bracket token, or none.
    TFountainColor* bracketColor() const;
    // The colours most parsers give the framework's kinds. A member left null gives none.
    struct TStandardColors {
        TFountainColor* Symbol = nullptr;  // kindSymbol
        TFountainColor* Int = nullptr;     // kindInteger, kindFloat, kindHex
        TFountainColor* Comment = nullptr; // kindLineComment
        TFountainColor* Ank = nullptr;     // kindWord
        TFountainColor* DBCS = nullptr;    // kindWideSymbol and kinds 14 to 20
        TFountainColor* Str = nullptr;     // kindSingleQuoted, kindDoubleQuoted
        bool Brackets = true;              // kindBracket: the bracket item's colour
    };
    // Reserve for a reserved word or kindReserved, else the standard colour of the kind.
    TFountainColor* StandardTokenColor(const TStandardColors& Colors);
    // Helpers for scanners.
    uint8_t Peek(int n) const noexcept;
    static bool IsEnd(uint8_t c) noexcept { return c == 0 || c == '\r' || c == '\n'; }
    static bool IsWordChar(uint8_t c) noexcept {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    }
    // Moves over one character (two bytes on a lead byte), never past the end of the text.
    void AdvanceChar() noexcept;
    // The bytes at the scan position equal S (case-sensitive); nothing moves.
    bool LookingAt(std::string_view S) const noexcept;
    // S at the scan position, folding a-z to A-Z on both sides, followed by a word delimiter;
    // on success the scan position moves past it.
    bool MatchWord(std::string_view Word);
    void ScanQuoted(uint8_t Quote, int Kind);
    void ScanExponent();
    bool Resuming() const noexcept { return FResuming; }
    // The scanner is taken from the table first and then called: GCC's bounds sanitizer
    // miscompiles a call made straight through an indexed array of member pointers.
    void Dispatch(uint8_t c) {
        const TScanProc scan = FMethodTable[c];
        (this->*scan)();
    }
    const uint8_t* textStart() const noexcept { return reinterpret_cast<const uint8_t*>(FText.data()); }
    // StartRow with the text Text followed by More (a wrapped row and the row after it).
    void startRow(std::string_view Text, std::string_view More, const TRowState& State);

    TScanProc FMethodTable[256];
    TScanProc FResumeTable[256];

    std::string FText; // the row text, with a NUL after it (std::string keeps one)
    const uint8_t* FP = nullptr;
    const uint8_t* FNextPos = nullptr;
    const uint8_t* FTokenStart = nullptr;
    int FBracketIndex = -1;
    int FLastBracket = -2;
    int FElement = 0;
    int FPrevData = 0;
    int FResumeKind = 0;
    int FRemain = 0;
    int FTokenKind = kindEnd;
    bool FResuming = false;
    const uint8_t* FLastEmptyToken = nullptr; // where the last token that took no byte began
    const uint8_t* FLastAt = nullptr;         // the row's last "@" (the text start when none)
    TFountain* FFountain;
};

// 256-entry table that folds a-z to A-Z.
uint8_t FoldUpper(uint8_t c) noexcept;

} // namespace quire

// TEditorFountain: the fountain of plain text, with its colour set and its parser TEditorParser.
#pragma once

#include "Fountain.h"
#include "FountainParser.h"

#include <memory>
#include <string>

namespace quire {

class TEditorFountain;

// A member of the editor's colour set.
class TEditorColor : public TFountainColor {};

// The editor's token colours. Reserve is the fountain's own colour, not owned here.
class TEditorColors : public TNotifyPersistent, public TColorContainer {
public:
    explicit TEditorColors(TEditorFountain* Fountain);

    TEditorColor& Ank() noexcept { return FAnk; }
    TEditorColor& Comment() noexcept { return FComment; }
    TEditorColor& DBCS() noexcept { return FDBCS; }
    TEditorColor& Int() noexcept { return FInt; }
    TEditorColor& Mail() noexcept { return FMail; }
    TFountainColor& Reserve();
    TEditorColor& Select() noexcept { return FSelect; }
    TEditorColor& Str() noexcept { return FStr; }
    TEditorColor& Symbol() noexcept { return FSymbol; }
    TEditorColor& Url() noexcept { return FUrl; }

    // Copies every colour within one update: one notification.
    void Assign(const TEditorColors& Source);
    void EnumColors(const TColorVisit& Visit) override;

private:
    TEditorFountain* FFountain;
    TEditorColor FAnk, FComment, FDBCS, FInt, FMail, FSelect, FStr, FSymbol, FUrl;
};

// Brackets with three operations that change one attribute of every item at once.
class TEditorBracketCollection : public TFountainBracketCollection {
public:
    using TFountainBracketCollection::TFountainBracketCollection;
    virtual void SetAllBkColor(TColor Value);
    virtual void SetAllColor(TColor Value);
    virtual void SetAllStyle(uint8_t Value);

private:
    template <typename F>
    void forAll(F f);
};

class TEditorFountain : public TFountain {
public:
    TEditorColors& Colors() noexcept { return *FColors; }
    void SetColors(const TEditorColors& Value) { FColors->Assign(Value); }
    TEditorBracketCollection& EditorBrackets() { return static_cast<TEditorBracketCollection&>(Brackets()); }

    const std::string& Commenter() const noexcept { return FCommenter; }
    void SetCommenter(const std::string& Value) { FCommenter = Value; }
    bool ControlCode() const noexcept { return FControlCode; }
    void SetControlCode(bool Value) { FControlCode = Value; }
    const std::string& HexPrefix() const noexcept { return FHexPrefix; }
    void SetHexPrefix(const std::string& Value) { FHexPrefix = Value; }
    bool Mail() const noexcept { return FMail; }
    void SetMail(bool Value) { FMail = Value; }
    const std::string& Quotation() const noexcept { return FQuotation; }
    void SetQuotation(const std::string& Value) { FQuotation = Value; }
    bool Url() const noexcept { return FUrl; }
    void SetUrl(bool Value) { FUrl = Value; }

    std::unique_ptr<TFountainParser> CreateParser() override;

    // Sets one attribute of every colour of Colors (Reserve included, Select left alone);
    // listeners hear of it once.
    virtual void SetAllBkColor(TColor Value);
    virtual void SetAllColor(TColor Value);
    virtual void SetAllStyle(uint8_t Value);

protected:
    friend class TFountain;
    TEditorFountain() = default;
    std::unique_ptr<TFountainBracketCollection> CreateBrackets() override;
    void CreateFountainColors() override;
    virtual std::unique_ptr<TEditorColors> CreateEditorColors();
    void SetColorFromTemplate(const std::string& Name, TFountainColor& Color, const TFountainColor& Template,
                              int Which) override;
    void EnumNestedColors(const TColorVisit& Visit) override;

private:
    void setAll(int Which, const TFountainColor& Template);

    std::unique_ptr<TEditorColors> FColors;
    std::string FCommenter;
    bool FControlCode = false;
    std::string FHexPrefix;
    bool FMail = false;
    std::string FQuotation;
    bool FUrl = false;
};

// The parser of plain text: mail addresses, URLs, a line-comment opener, a quotation
// character, control codes "#" and "#$" with a number, and a hexadecimal prefix.
class TEditorParser : public TFountainParser {
public:
    explicit TEditorParser(TEditorFountain* Fountain);
    TFountainColor* TokenColor() override;

protected:
    void InitScanTables() override;
    void ScanDefault() override;
    virtual bool IsQuotation();
    virtual void ScanQuotation();
    virtual bool IsCommenter();
    virtual bool IsHexPrefix();
    virtual bool IsControlHex();
    virtual void ScanControlHex();
    virtual bool IsControlDec();
    virtual void ScanControlDec();

    TEditorFountain& fountain() const { return *static_cast<TEditorFountain*>(FFountain); }
};

} // namespace quire

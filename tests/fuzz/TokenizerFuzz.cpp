// libFuzzer target: the editor parser on random bytes with random row states. Every token
// must lie inside the row text, and NextToken must reach kindEnd.
#include "DocumentMode.h"
#include "EditorFountain.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::unique_ptr<TEditorFountain> f = [] {
        auto e = TFountain::Create<TEditorFountain>();
        e->Brackets().AddBracket("(*", "*)");
        e->Brackets().AddBracket("{", "}");
        e->Brackets().AddBracket("--", ""); // no closing marker
        e->SetMail(true);
        e->SetUrl(true);
        e->SetCommenter(";");
        e->SetQuotation("\"");
        e->SetControlCode(true);
        e->SetHexPrefix("0x");
        e->SetReserveWordList({"begin", "end"});
        return e;
    }();
    if (size < 6) return 0;
    TRowState s;
    s.BracketIndex = static_cast<int>(data[0] % 6) - 2; // -2..3
    s.Element = data[1] & 0xF;
    s.Remain = data[2];
    s.ResumeKind = data[3] % 30;
    s.PrevData = data[4];
    SetCurrentDocumentMode((data[5] & 1) ? StandardDocumentMode() : std::string("Delphi"));
    const std::string text(reinterpret_cast<const char*>(data + 6), size - 6);
    auto p = f->CreateParser();
    p->StartRow(text, s);
    const int length = static_cast<int>(text.size());
    int lastEnd = 0;
    for (int n = 0;; ++n) {
        const int k = p->NextToken();
        if (p->TokenStart() < 0 || p->TokenLength() < 0 || p->TokenStart() + p->TokenLength() > length) std::abort();
        if (p->TokenStart() < lastEnd) std::abort(); // tokens never go back
        lastEnd = p->TokenStart() + p->TokenLength();
        if (k == kindEnd) break;
        p->TokenColor();
        if (n > 2 * length + 4) std::abort(); // no two empty tokens at one place
    }
    return 0;
}

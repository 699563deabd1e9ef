// The language fountains by name.
#include "FountainFactory.h"

#include "BasicFountain.h"
#include "CppFountain.h"
#include "DelphiFountain.h"
#include "HTMLFountain.h"
#include "IniFountain.h"
#include "PerlFountain.h"

namespace quire {

std::unique_ptr<TFountain> CreateLanguageFountain(const std::string& Name) {
    if (Name == "Basic") return TFountain::Create<TBasicFountain>();
    if (Name == "Perl") return TFountain::Create<TPerlFountain>();
    if (Name == "HTML") return TFountain::Create<THTMLFountain>();
    if (Name == "ini") return TFountain::Create<TIniFountain>();
    if (Name == "Delphi") return TFountain::Create<TDelphiFountain>();
    if (Name == "C++") return TFountain::Create<TCppFountain>();
    return nullptr;
}

std::vector<std::string> LanguageFountainNames() { return {"Basic", "Perl", "HTML", "ini", "Delphi", "C++"}; }

} // namespace quire

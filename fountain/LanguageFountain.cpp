// TLanguageFountain.
#include "LanguageFountain.h"

namespace quire {

void TLanguageFountain::CreateFountainColors() {
    TFountain::CreateFountainColors();
    for (const char* name : FDefinition.Colors) FLanguageColors.push_back(&AddColorProperty(name));
}

void TLanguageFountain::InitFileExtList() {
    for (const char* e : FDefinition.Extensions) FileExtList().Add(e);
}

void TLanguageFountain::InitBrackets() {
    for (const auto& [left, right] : FDefinition.Brackets) Brackets().AddBracket(left, right);
}

void TLanguageFountain::InitReserveWordList() {
    if (!FDefinition.ReservedWords.empty()) SetReserveWordList(FDefinition.ReservedWords);
}

} // namespace quire

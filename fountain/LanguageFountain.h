// TLanguageFountain: the common shape of the six language fountains, each defined by its
// colour properties, file extensions, default brackets and reserved words.
#pragma once

#include "Fountain.h"

#include <string>
#include <vector>

namespace quire {

struct TLanguageDefinition {
    std::vector<const char*> Colors; // property names, in the order of publication
    std::vector<const char*> Extensions;
    std::vector<std::pair<const char*, const char*>> Brackets;
    std::vector<std::string> ReservedWords;
};

class TLanguageFountain : public TFountain {
public:
    // Colour property Index of the definition (0 is its first colour, after Reserve).
    TFountainColor& ColorAt(std::size_t Index) { return *FLanguageColors.at(Index); }

protected:
    explicit TLanguageFountain(const TLanguageDefinition& Definition) : FDefinition(Definition) {}
    void CreateFountainColors() override;
    void InitFileExtList() override;
    void InitBrackets() override;
    void InitReserveWordList() override;

private:
    const TLanguageDefinition& FDefinition;
    std::vector<TFountainColor*> FLanguageColors;
};

} // namespace quire

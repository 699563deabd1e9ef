// TFountain.
#include "Fountain.h"

namespace quire {

TFountain::~TFountain() {
    auto handlers = std::move(FFreeNotifications);
    for (auto& h : handlers) h.second();
    // Nothing may broadcast to listeners while the fountain goes away.
    if (FBrackets) FBrackets->OnChange = nullptr;
    for (auto& c : FColors) c.second->OnChange = nullptr;
}

void TFountain::Initialize() {
    CreateFileExtList();
    FNotifyEventList = std::make_unique<TNotifyEventList>(this);
    FBrackets = CreateBrackets();
    InitBrackets();
    FReserveWordList = CreateSortedList();
    InitReserveWordList();
    CreateFountainColors();
}

std::unique_ptr<TFountainColor> TFountain::CreateFountainColor() {
    auto c = std::make_unique<TFountainColor>();
    c->OnChange = BroadcastHandler();
    return c;
}

TFountainColor& TFountain::AddColorProperty(const std::string& Name) {
    FColors.emplace_back(Name, CreateFountainColor());
    return *FColors.back().second;
}

void TFountain::CreateFountainColors() { FReserve = &AddColorProperty("Reserve"); }

std::unique_ptr<TFountainBracketCollection> TFountain::CreateBrackets() {
    auto b = std::make_unique<TFountainBracketCollection>(this);
    b->OnChange = BroadcastHandler();
    return b;
}

void TFountain::SetReserveWordList(const std::vector<std::string>& Words) {
    FReserveWordList->Assign(Words);
    FNotifyEventList->Changed();
}

void TFountain::EnumColors(const TColorVisit& Visit) {
    for (auto& c : FColors) Visit(c.first, *c.second);
    EnumNestedColors(Visit);
    for (int i = 0; i < FBrackets->Count(); ++i) Visit("ItemColor", FBrackets->Items(i)->ItemColor());
}

bool TFountain::HasItalicStyle(TColorContainer& Object) {
    bool italic = false;
    Object.EnumColors([&](const std::string&, TFountainColor& c) { italic = italic || (c.Style() & fsItalic); });
    return italic;
}

bool TFountain::HasItalicStyle() { return HasItalicStyle(*this); }

void TFountain::SetColorFromTemplate(const std::string&, TFountainColor& Color, const TFountainColor& Template,
                                     int Which) {
    if (Which & 1) Color.SetBkColor(Template.BkColor());
    if (Which & 2) Color.SetColor(Template.Color());
    if (Which & 4) Color.SetStyle(Template.Style());
}

void TFountain::SetAllColors(TColorContainer& ColorSet, const TFountainColor& Template, int Which) {
    ColorSet.EnumColors(
        [&](const std::string& name, TFountainColor& c) { SetColorFromTemplate(name, c, Template, Which); });
}

} // namespace quire

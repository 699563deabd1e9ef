// TFountain: how the text of one kind of file is coloured (reserved words, brackets, colours,
// file extensions). It never scans text itself: its parser does.
#pragma once

#include "FileExtComponent.h"
#include "FountainColor.h"
#include "NotifyEventList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quire {

class TFountainParser;

// Something that holds colours by property name: a fountain, or a colour set of one.
class TColorContainer {
public:
    using TColorVisit = std::function<void(const std::string& Name, TFountainColor& Color)>;
    virtual ~TColorContainer() = default;
    // Visits every colour reachable from the object.
    virtual void EnumColors(const TColorVisit& Visit) = 0;
};

class TFountain : public TFileExtComponent, public TColorContainer {
public:
    // Creates a fountain of class T in the construction order of fountains: file extensions,
    // change list, brackets, reserved words, colours. Fountains are made only this way,
    // since a constructor cannot reach the overrides that the order calls.
    template <typename T, typename... Args>
    static std::unique_ptr<T> Create(Args&&... args) {
        std::unique_ptr<T> f(new T(std::forward<Args>(args)...));
        f->Initialize();
        return f;
    }
    ~TFountain() override;
    TFountain(const TFountain&) = delete;
    TFountain& operator=(const TFountain&) = delete;

    TFountainBracketCollection& Brackets() noexcept { return *FBrackets; }
    void SetBrackets(const TFountainBracketCollection& Value) { FBrackets->Assign(Value); }
    TFountainColor& Reserve() noexcept { return *FReserve; }
    void SetReserve(const TFountainColor& Value) { FReserve->Assign(Value); }
    TSortedStringList& ReserveWordList() noexcept { return *FReserveWordList; }
    // Assigns the words, then broadcasts one change.
    void SetReserveWordList(const std::vector<std::string>& Words);

    // The change broadcast: every handler registered here hears of every change of the
    // fountain, with the fountain as the sender.
    TNotifyEventList& NotifyEventList() noexcept { return *FNotifyEventList; }
    void AddChangeHandler(const void* Listener, TNotifyEvent Handler) {
        FNotifyEventList->Add(Listener, std::move(Handler));
    }
    void RemoveChangeHandler(const void* Listener) { FNotifyEventList->Remove(Listener); }

    // Handlers called when the fountain is destroyed, so that users can let go of it.
    void AddFreeNotification(const void* Listener, std::function<void()> Handler) {
        FFreeNotifications.emplace_back(Listener, std::move(Handler));
    }
    void RemoveFreeNotification(const void* Listener) {
        std::erase_if(FFreeNotifications, [Listener](const auto& e) { return e.first == Listener; });
    }

    // A new parser for this fountain (the fountain's parser class).
    virtual std::unique_ptr<TFountainParser> CreateParser() = 0;

    // The colour properties in their published order, then the bracket colours.
    void EnumColors(const TColorVisit& Visit) override;
    bool HasItalicStyle();
    static bool HasItalicStyle(TColorContainer& Object);
    // Copies from Template the attributes selected by Which (1 BkColor, 2 Color, 4 Style) into
    // every colour reachable from ColorSet.
    void SetAllColors(TColorContainer& ColorSet, const TFountainColor& Template, int Which);

protected:
    TFountain() = default;
    void Initialize();
    std::unique_ptr<TFountainColor> CreateFountainColor();
    // Creates Reserve; language fountains add their own colours after it.
    virtual void CreateFountainColors();
    virtual std::unique_ptr<TFountainBracketCollection> CreateBrackets();
    virtual void InitBrackets() {}
    virtual void InitReserveWordList() {}
    // A colour property, in the order of publication.
    TFountainColor& AddColorProperty(const std::string& Name);
    // The colour copy of SetAllColors for one colour.
    virtual void SetColorFromTemplate(const std::string& Name, TFountainColor& Color, const TFountainColor& Template,
                                      int Which);
    // Colour properties visited by EnumColors besides the owned ones (nested sets).
    virtual void EnumNestedColors(const TColorVisit&) {}
    TNotifyEvent BroadcastHandler() {
        return [this](TObject*) { FNotifyEventList->Changed(); };
    }

private:
    std::unique_ptr<TNotifyEventList> FNotifyEventList;
    std::unique_ptr<TFountainBracketCollection> FBrackets;
    std::unique_ptr<TSortedStringList> FReserveWordList;
    TFountainColor* FReserve = nullptr;
    std::vector<std::pair<std::string, std::unique_ptr<TFountainColor>>> FColors;
    std::vector<std::pair<const void*, std::function<void()>>> FFreeNotifications;
};

} // namespace quire

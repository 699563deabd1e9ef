// TMetaFileList: the recorded pages of one layout, as pictures.
#pragma once

#include <QPicture>

#include <memory>
#include <vector>

namespace quire {

// Owns its pictures: Clear and destruction free them. Pictures keep their addresses while
// the list grows.
class TMetaFileList {
public:
    // A picture replays its text at the size it was recorded with (in pixels) only on a
    // device of 96 dots per inch; on others the text grows by their resolution / 96. Pages
    // are therefore replayed onto devices of this resolution, scaled from the printer
    // pixels they were recorded in.
    static constexpr int ReplayDpi = 96;

    // Appends a new empty picture and returns it.
    QPicture& Add() { return *FItems.emplace_back(std::make_unique<QPicture>()); }
    void Clear() noexcept { FItems.clear(); }
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    QPicture& Items(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
    const QPicture& Items(int Index) const { return *FItems.at(static_cast<std::size_t>(Index)); }

private:
    std::vector<std::unique_ptr<QPicture>> FItems;
};

} // namespace quire

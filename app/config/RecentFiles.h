// TRecentFiles: the nine most recently used paths of the File menu's 開き直す submenu, kept in
// the settings file (section RecentFile, keys File1 to File9). Plain data; no widgets.
#pragma once

#include <QString>
#include <array>

namespace quire {

// Invariant: a non-empty path appears in at most one item, and is one the settings file
// reads back as it was written: no CR, LF or NUL, and no bytes of a file name that are no
// UTF-8. Empty items are gaps: they are hidden in the menu and keep their place.
class TRecentFiles {
public:
    static constexpr int Count = 9;

    // The path of item Number (1 to 9); empty for a gap or a number out of range.
    QString Path(int Number) const;
    // True when no item holds a path.
    bool IsEmpty() const;
    // The menu caption of item Number: "&" + Number + " " + the path, with every "&" of the
    // path doubled so that it shows as it is.
    QString Caption(int Number) const;

    // Puts Path at the top. An item holding exactly the same path (paths are compared as
    // they are spelled: on this system two spellings are two files) leaves its place and the
    // items above it move down one; a new path moves every item down and pushes the ninth
    // out. Gaps move down with the items. False, and nothing changes, for an empty path or
    // one the settings file cannot hold (see above).
    bool Register(const QString& Path);
    // Forgets every path.
    void Clear();

    // Reads File1 to File9 of section RecentFile; empty keys stay gaps. A value that repeats
    // an item above it is a gap too.
    void Load(const QString& File);
    // Writes File1 to File9: the path of each item (in quotes when it ends in a blank), empty
    // for a gap, so that the file holds exactly the list. Raises EPlatformError when the file
    // cannot be written.
    void Save(const QString& File) const;

    bool operator==(const TRecentFiles&) const = default;

private:
    static bool CanKeep(const QString& Path);
    std::array<QString, Count> FPaths;
};

} // namespace quire

// Shortcut files (".lnk"): where they point.
#pragma once

#include <QString>
#include <optional>
#include <string_view>

namespace quire {

// The paths a shortcut file written by Windows records.
struct ShellLinkPaths {
    QString Local;    // the absolute path recorded when the shortcut was made
    QString Relative; // the path relative to the shortcut's folder
};

// The paths in the bytes of a shortcut file; nothing when they are not one or record neither.
// Any bytes are safe to give.
std::optional<ShellLinkPaths> ParseShellLink(std::string_view Data);

struct ShellLinkTarget {
    QString Path;  // the file the shortcut points at; empty when it cannot be told
    QString Error; // why not, for the user
};

// A ".lnk" is either a symbolic link (the usual shortcut on this system) or a shortcut file
// written by Windows. For the latter the local path it records is used when that file exists
// here; else its relative path, taken from the shortcut's own folder (a shortcut copied along
// with its files). Windows drive paths that do not exist here give an error naming them.
ShellLinkTarget ResolveShellLink(const QString& LinkPath);

} // namespace quire

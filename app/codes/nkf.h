// The outside conversion library "nkf32": bound once per process when it can be found.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <string_view>

namespace quire::nkf {

// The library's C interface.
using TGetNkfVersion = void (*)(char* Version);
using TSetNkfOption = int (*)(const char* Option);
using TNkfConvert = void (*)(char* Out, const char* In);

// Loads "nkf32" from the first of Folders that has it, else from the system's library path,
// and binds the three functions that it exports; a function it lacks stays bound to a
// fallback that tells the user. Does nothing when already bound. Returns Available().
bool Bind(const QStringList& Folders);
// Bind with the program folder and the executable's folder.
bool Bind();
// Releases the library; the built-in converters are used from then on.
void Release();
// True once the library was loaded, even if a function was missing in it.
bool Available();
// True when the bound library has both functions a conversion calls, so that converting
// never reaches a fallback that tells the user.
bool CanConvert();
// The file the library was loaded from (empty when none).
QString LibraryPath();

// Converts Text with Option ("-s", "-j" or "-e" for the output code, optionally preceded by
// "-S", "-J" or "-E" for the input code, as in "-S -e"): the result is the library's output
// up to its first zero byte (the input is cut at its first zero byte too). Nothing when the
// library is not available or lacks one of the two functions (the fallback has told the
// user).
std::optional<std::string> Convert(std::string_view Text, const char* Option);

// The same without copies of its own: In holds Length bytes, none of them zero, and a zero
// byte after them (the library reads zero-terminated strings); Out has room for the
// 6 x Length + 1 bytes the library may write and need not be filled. Returns the length of
// the result in Out. Safe to call from several threads: the calls take turns.
std::optional<std::size_t> ConvertRaw(const char* In, std::size_t Length, const char* Option, char* Out);

// The room ConvertRaw needs for an input of Length bytes.
constexpr std::size_t OutputRoom(std::size_t Length) { return 6 * Length + 1; }

} // namespace quire::nkf

// Binding of the outside conversion library.
#include "nkf.h"

#include "Messages.h"
#include "ProgramFolder.h"

#include <QDir>
#include <QLibrary>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace quire::nkf {

namespace {

void panic(const char* function) {
    Messages().Show(QStringLiteral("PANIC!!"),
                    QString::fromLatin1(function) + QStringLiteral(": LHA.DLL not loaded") + QStringLiteral("."),
                    TMessageIcon::Error);
}

// The fallbacks: each tells the user that its function is missing and does nothing else.
void missingGetNkfVersion(char*) { panic("GetNkfVersion"); }
int missingSetNkfOption(const char*) {
    panic("SetNkfOption");
    return -1;
}
void missingNkfConvert(char* out, const char*) {
    panic("NkfConvert");
    if (out) out[0] = '\0';
}

struct Binding {
    std::unique_ptr<QLibrary> Library;
    bool Available = false;
    bool Tried = false;
    TGetNkfVersion GetNkfVersion = missingGetNkfVersion;
    TSetNkfOption SetNkfOption = missingSetNkfOption;
    TNkfConvert NkfConvert = missingNkfConvert;

    ~Binding() {
        if (Library) Library->unload();
    }
};

Binding& binding() {
    static Binding b;
    return b;
}

} // namespace

bool Bind(const QStringList& Folders) {
    Binding& b = binding();
    if (b.Tried) return b.Available;
    b.Tried = true;
    std::vector<QString> candidates;
    for (const QString& folder : Folders) candidates.push_back(QDir(folder).filePath(QStringLiteral("nkf32")));
    candidates.push_back(QStringLiteral("nkf32")); // the system's library path
    for (const QString& name : candidates) {
        auto lib = std::make_unique<QLibrary>(name);
        if (!lib->load()) continue;
        if (auto f = reinterpret_cast<TGetNkfVersion>(lib->resolve("GetNkfVersion"))) b.GetNkfVersion = f;
        if (auto f = reinterpret_cast<TSetNkfOption>(lib->resolve("SetNkfOption"))) b.SetNkfOption = f;
        if (auto f = reinterpret_cast<TNkfConvert>(lib->resolve("NkfConvert"))) b.NkfConvert = f;
        b.Library = std::move(lib);
        b.Available = true;
        break;
    }
    return b.Available;
}

bool Bind() { return Bind({ProgramFolder(), ExecutableFolder()}); }

void Release() {
    Binding& b = binding();
    if (b.Library) b.Library->unload();
    b.Library.reset();
    b.Available = false;
    b.Tried = false;
    b.GetNkfVersion = missingGetNkfVersion;
    b.SetNkfOption = missingSetNkfOption;
    b.NkfConvert = missingNkfConvert;
}

bool Available() { return binding().Available; }

bool CanConvert() {
    const Binding& b = binding();
    return b.Available && b.SetNkfOption != missingSetNkfOption && b.NkfConvert != missingNkfConvert;
}

QString LibraryPath() {
    const Binding& b = binding();
    return b.Library ? b.Library->fileName() : QString();
}

std::optional<std::size_t> ConvertRaw(const char* In, std::size_t Length, const char* Option, char* Out) {
    Binding& b = binding();
    if (!b.Available) return std::nullopt;
    const bool complete = CanConvert();
    {
        // The library keeps the option between the two calls in its own globals: a file read
        // converting on a second thread and a write on this one must not interleave them.
        static std::mutex oneAtATime;
        const std::lock_guard<std::mutex> lock(oneAtATime);
        b.SetNkfOption(Option);
        b.NkfConvert(Out, In);
    }
    if (!complete) return std::nullopt;
    // Whatever the library did, the result ends within the room it was given.
    const std::size_t room = OutputRoom(Length);
    Out[room - 1] = '\0';
    return static_cast<std::size_t>(std::strlen(Out));
}

std::optional<std::string> Convert(std::string_view Text, const char* Option) {
    if (!Available()) return std::nullopt;
    // The input goes as a zero-terminated string: it ends at its first zero byte.
    const std::string input(Text.substr(0, Text.find('\0')));
    const std::unique_ptr<char[]> output(new char[OutputRoom(input.size())]);
    const std::optional<std::size_t> length = ConvertRaw(input.c_str(), input.size(), Option, output.get());
    if (!length) return std::nullopt;
    return std::string(output.get(), *length);
}

} // namespace quire::nkf

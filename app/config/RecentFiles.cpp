// TRecentFiles.
#include "RecentFiles.h"

#include "Profile.h"

#include <algorithm>

namespace quire {

namespace {

const QString kSection = QStringLiteral("RecentFile");

QString key(int Number) { return QStringLiteral("File%1").arg(Number); }

// The value that reads back as Path: the reader drops blanks at the ends of a value and then
// one pair of quotes around it, so a path that ends in a blank (a full-width space too) or
// stands in quotes is written in quotes.
QString storedValue(const QString& Path) {
    const auto quoted = [&](QChar q) { return Path.size() >= 2 && Path.startsWith(q) && Path.endsWith(q); };
    const bool unsafe = Path != Path.trimmed() || quoted(QLatin1Char('"')) || quoted(QLatin1Char('\''));
    return unsafe ? QLatin1Char('"') + Path + QLatin1Char('"') : Path;
}

} // namespace

QString TRecentFiles::Path(int Number) const {
    return Number >= 1 && Number <= Count ? FPaths[static_cast<size_t>(Number - 1)] : QString();
}

bool TRecentFiles::IsEmpty() const {
    return std::all_of(FPaths.begin(), FPaths.end(), [](const QString& p) { return p.isEmpty(); });
}

QString TRecentFiles::Caption(int Number) const {
    QString path = Path(Number);
    return QStringLiteral("&%1 ").arg(Number) + path.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool TRecentFiles::CanKeep(const QString& Path) {
    // The settings file is UTF-8: a name kept as bytes that are no UTF-8 (lone surrogates)
    // would come back as another name.
    return !Path.isEmpty() && !Path.contains(QLatin1Char('\r')) && !Path.contains(QLatin1Char('\n')) &&
           !Path.contains(QChar(u'\0')) && Path.isValidUtf16();
}

bool TRecentFiles::Register(const QString& Path) {
    if (!CanKeep(Path)) return false;
    const auto found = std::find(FPaths.begin(), FPaths.end(), Path);
    // The items above the path's old place (or all but the ninth) move down one.
    const auto last = found == FPaths.end() ? FPaths.end() - 1 : found;
    std::move_backward(FPaths.begin(), last, last + 1);
    FPaths.front() = Path;
    return true;
}

void TRecentFiles::Clear() { FPaths.fill(QString()); }

void TRecentFiles::Load(const QString& File) {
    Clear();
    for (int k = 1; k <= Count; ++k) {
        const QString value = profile::ReadString(File, kSection, key(k));
        if (CanKeep(value) && std::find(FPaths.begin(), FPaths.end(), value) == FPaths.end())
            FPaths[static_cast<size_t>(k - 1)] = value;
    }
}

void TRecentFiles::Save(const QString& File) const {
    // Each write rewrites the whole settings file: keys that already hold their value are
    // left alone.
    for (int k = 1; k <= Count; ++k)
        if (profile::ReadString(File, kSection, key(k)) != Path(k))
            profile::WriteString(File, kSection, key(k), storedValue(Path(k)));
}

} // namespace quire

// Reading and writing files in the three kanji codes.
#include "KanjiFile.h"

#include "PlatformError.h"
#include "jconvert.h"
#include "nkf.h"

#include <QFile>
#include <QSaveFile>

namespace quire {

namespace {

// Converts with the library when asked and possible, else with the own routine.
template <typename Own>
std::string convert(std::string_view text, const char* option, TConverter converter, Own own) {
    if (converter == TConverter::Auto && nkf::Available()) {
        if (std::optional<std::string> result = nkf::Convert(text, option)) return *std::move(result);
    }
    return own(text);
}

[[noreturn]] void fail(const char* what, const QString& path, const QString& reason) {
    throw EPlatformError(QStringLiteral("%1 \"%2\": %3").arg(QString::fromUtf8(what), path, reason).toStdString());
}

} // namespace

TKanjiText DecodeKanjiText(std::string_view bytes, TConverter converter) {
    using namespace jconvert;
    TKanjiText r;
    if (!bytes.empty()) {
        const int kind = DetectLineEnd(bytes);
        r.LineEndCode = kind == leCr ? kCrName : kind == leLf ? kLfName : kCrLfName;
    }
    r.Detection = DetectKanjiCode(bytes);
    if (r.Detection == kdJis) {
        r.KanjiCode = kJisName;
        r.Text = convert(bytes, "-s", converter, JisToSjis);
    } else if (r.Detection == kdEuc) {
        r.KanjiCode = kEucName;
        r.Text = convert(bytes, "-s", converter, EucToSjis);
    } else {
        r.KanjiCode = kShiftJisName;
        r.Text.assign(bytes);
    }
    return r;
}

TKanjiText ReadKanjiFile(const QString& path, TConverter converter) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) fail("Cannot open file", path, f.errorString());
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) fail("Cannot read file", path, f.errorString());
    return DecodeKanjiText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), converter);
}

std::string EncodePage(std::string_view text, std::string_view code, std::string_view lineEnd,
                       TConverter converter) {
    using namespace jconvert;
    std::string bytes;
    if (code == kJisName) bytes = convert(text, "-j", converter, SjisToJis);
    else if (code == kEucName) bytes = convert(text, "-e", converter, SjisToEuc);
    else bytes.assign(text);
    if (lineEnd == kCrName) bytes = ConvertLineEnd(bytes, leCr);
    else if (lineEnd == kLfName) bytes = ConvertLineEnd(bytes, leLf);
    return bytes;
}

void WritePage(std::string_view text, std::string_view code, std::string_view lineEnd, const QString& path,
               TConverter converter) {
    const std::string bytes = EncodePage(text, code, lineEnd, converter);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) fail("Cannot write file", path, f.errorString());
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
        fail("Cannot write file", path, f.errorString());
    if (!f.commit()) fail("Cannot write file", path, f.errorString());
}

} // namespace quire

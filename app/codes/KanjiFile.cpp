// Reading and writing files in the three kanji codes.
#include "KanjiFile.h"

#include "ConvertAhead.h"
#include "Cp932Codec.h"
#include "KanjiPlainScan.h"
#include "KanjiRoundTrip.h"
#include "OutsideCharTable.h"
#include "OutsideCodes.h"
#include "PathCodec.h"
#include "PlatformError.h"
#include "RegularFileReader.h"
#include "SafeFile.h"
#include "ShiftJis.h"
#include "TextLoader.h"
#include "Utf16Codec.h"
#include "Utf8Codec.h"
#include "jconvert.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace quire {

using jconvert::TConversion;

namespace {

// Files are read, and texts converted, in pieces of this size.
constexpr std::size_t kReadPiece = std::size_t(1) << 20;

// How a text in a code is read: its code name, and the conversion to Shift-JIS (none for a
// text taken as it is, or for UTF-8 and UTF-16, which have conversions of their own).
struct TReading {
    const char* Code;
    std::optional<TConversion> Conversion;
    bool Utf8 = false;
    bool Utf16 = false;
    bool BigEndian = false;
};

TReading readingOf(std::string_view code) {
    using namespace jconvert;
    if (IsUtf8Name(code)) return {kUtf8Name, std::nullopt, true};
    if (IsUtf16Name(code)) {
        const bool big = IsUtf16BigEndianName(code);
        return {big ? kUtf16BeName : kUtf16LeName, std::nullopt, false, true, big};
    }
    if (IsJisName(code)) return {kJisName, TConversion::JisToSjis};
    if (code == kEucName) return {kEucName, TConversion::EucToSjis};
    return {kShiftJisName, std::nullopt};
}

const char* codeOf(int detection) {
    using namespace jconvert;
    return detection == kdJis     ? kJisName
           : detection == kdEuc   ? kEucName
           : detection == kdUtf8  ? kUtf8Name
           : detection == kdUtf16 ? kUtf16LeName
                                  : kShiftJisName;
}

// The escape a JIS text returns to ASCII with: the last byte of its first ESC ( B or ESC ( J,
// seen in pieces ('J', the editor's own, when it has neither).
class JisAsciiFinder {
public:
    void Feed(std::string_view piece) {
        if (found_ != 0) return;
        std::string joined;
        std::string_view s = piece;
        if (!carry_.empty()) { // an escape cut by the end of the last piece
            joined = carry_;
            joined.append(piece);
            s = joined;
        }
        for (std::size_t i = s.find('\x1B'); i != std::string_view::npos && i + 2 < s.size();
             i = s.find('\x1B', i + 1)) {
            if (s[i + 1] == '(' && (s[i + 2] == 'B' || s[i + 2] == 'J')) {
                found_ = s[i + 2];
                return;
            }
        }
        carry_.assign(s.substr(s.size() - std::min<std::size_t>(2, s.size())));
    }
    // The code name of the text.
    const char* Code() const { return found_ == 'B' ? jconvert::kJisAsciiName : jconvert::kJisName; }

private:
    char found_ = 0;
    std::string carry_;
};

// The detection of a text's first bytes holds for the whole text once it is decided (the scan
// stops at its first decision and looks no further than the bytes it has), but only when the
// first 513 bytes are among them (the check for binary bytes reads that far).
bool decided(int detection) { return detection != jconvert::kdAscii && detection != jconvert::kdEucOrSjis; }

const char* lineEndName(int kind) {
    return kind == jconvert::leCr   ? jconvert::kCrName
           : kind == jconvert::leLf ? jconvert::kLfName
                                    : jconvert::kCrLfName;
}

// Whether First, the first piece of a larger file, may be UTF-8: valid so far (the end may
// cut a sequence, which the next piece finishes), with a multi-byte sequence (the cut one
// counts).
bool maybeUtf8(std::string_view first) {
    if (utf8::StartsWithBom(first)) return true;
    const std::size_t uncut = utf8::UncutLength(first);
    bool multiByte = false;
    return utf8::IsValid(first.substr(0, uncut), &multiByte) && (multiByte || uncut < first.size());
}

// The line end of Bytes in the code of Reading: DetectLineEnd's, found among UTF-16's units.
int lineEndIn(std::string_view bytes, const TReading& reading) {
    if (!reading.Utf16) return jconvert::DetectLineEnd(bytes);
    const std::size_t low = reading.BigEndian ? 1 : 0; // the byte of a unit below 0x100
    auto unit = [&](std::size_t i) -> int {
        return bytes[i + 1 - low] == '\0' ? static_cast<unsigned char>(bytes[i + low]) : -1;
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (unit(i) == '\n') return jconvert::leLf;
        if (unit(i) == '\r') return i + 3 < bytes.size() && unit(i + 2) == '\n' ? jconvert::leCrLf : jconvert::leCr;
    }
    return jconvert::leNone;
}

// The line end of a text seen in pieces, as DetectLineEnd gives it for the whole text.
class LineEndFinder {
public:
    // Looks at the next piece; true once the kind is known.
    bool Feed(std::string_view piece) {
        if (known_) return true;
        if (afterCr_ && !piece.empty()) return settle(piece[0] == '\n' ? jconvert::leCrLf : jconvert::leCr);
        const std::size_t i = piece.find_first_of("\r\n");
        if (i == std::string_view::npos) return false;
        if (piece[i] == '\n') return settle(jconvert::leLf);
        if (i + 1 < piece.size()) return settle(piece[i + 1] == '\n' ? jconvert::leCrLf : jconvert::leCr);
        afterCr_ = true; // a CR ends the piece: the next byte decides
        return false;
    }
    // The kind once the text is complete.
    int Kind() const { return known_ ? kind_ : afterCr_ ? jconvert::leCr : jconvert::leNone; }

private:
    bool settle(int kind) {
        kind_ = kind;
        known_ = true;
        return true;
    }
    int kind_ = jconvert::leNone;
    bool known_ = false;
    bool afterCr_ = false;
};

[[noreturn]] void failRead(const QString& path, const TRegularFileReader& reader) {
    throw EPlatformError(ReadFailureMessage(path, reader.Status()).toStdString());
}

// Reads up to N bytes (fewer only at the end of the file).
std::size_t readSome(TRegularFileReader& reader, const QString& path, char* buffer, std::size_t n) {
    std::size_t got = 0;
    if (!reader.Read(buffer, n, got)) failRead(path, reader);
    return got;
}

// The rest of the file after its first N bytes (in First), read into one block with them.
TTextBlock readWhole(TRegularFileReader& reader, const QString& path, const char* first, std::size_t n) {
    std::size_t capacity = std::max<std::size_t>(static_cast<std::size_t>(std::max<qint64>(reader.Size(), 0)), n) + 1;
    TTextBlock block(capacity);
    std::memcpy(block.Data(), first, n);
    std::size_t size = n;
    for (;;) {
        size += readSome(reader, path, block.Data() + size, capacity - size);
        if (size < capacity) break;
        // The file grew while it was read: read on into a larger block.
        TTextBlock larger(capacity * 2);
        std::memcpy(larger.Data(), block.Data(), size);
        block = std::move(larger);
        capacity *= 2;
    }
    block.SetSize(size);
    return block;
}

// Converted bytes go to Target and, on their way, to the check that writing them back gives
// the bytes read (when there is one).
class CheckedSink : public TKanjiSink {
public:
    CheckedSink(TKanjiSink& target, TKanjiRoundTrip* check) : target_(target), check_(check) {}
    char* Room(std::size_t n) override { return room_ = target_.Room(n); }
    void Commit(std::size_t written) override {
        if (check_) check_->Converted(std::string_view(room_, written));
        target_.Commit(written);
    }

private:
    TKanjiSink& target_;
    TKanjiRoundTrip* check_;
    char* room_ = nullptr;
};

// How far a Decoder checks that writing its text back gives the bytes read: not at all, by
// the cheap scan (which knows for sure only that a plain text survives), or exactly.
enum class TCheck { None, Plain, Exact };

// The bytes of a file in its code, read piece after piece, go to Sink in Shift-JIS; the text
// ends at the first NUL. Tells whether there was one, and whether writing the text back in
// the code gives the bytes read. With Ahead (for a text of many pieces) the pieces are
// converted on a second thread (TConvertAhead, cutting where it says) while the next ones are
// read and scanned; InputRoom then gives the buffer for the next piece.
class Decoder {
public:
    // Table: EUC's outside characters (JIS X 0212, bytes of no character) go there; reading
    // with it gives back every byte on writing, so no check is needed.
    Decoder(TConversion conversion, TConverter converter, TKanjiSink& sink, TCheck check,
            std::optional<TConvertAhead::TCutOn> ahead = std::nullopt, TOutsideCharTable* table = nullptr)
        : scan_(conversion), exact_(conversion), checked_(sink, check == TCheck::Exact ? &exact_ : nullptr),
          check_(table ? TCheck::None : check) {
        jconvert::TConvertOptions options;
        if (table) options.Codes = &codes_.emplace(table);
        if (ahead && TConvertAhead::Usable(converter))
            ahead_ = std::make_unique<TConvertAhead>(conversion, converter, checked_, *ahead, options);
        else
            converter_.emplace(conversion, converter, checked_, options);
    }
    // The next piece (Last: the file ends after it); false once a NUL has ended the text.
    bool Add(std::string_view piece, bool last) {
        const std::size_t nul = piece.find('\0');
        hasNul_ = nul != std::string_view::npos;
        piece = piece.substr(0, nul);
        // Plain so far (but for a cut character at the end): the converter may cut it cheaply.
        bool plain = false;
        if (check_ == TCheck::Plain)
            plain = scan_.Add(piece);
        else if (check_ == TCheck::Exact)
            exact_.Read(piece);
        last = last || hasNul_;
        if (!ahead_) {
            converter_->Convert(piece, last, plain);
        } else {
            ahead_->Convert(piece, last, plain);
            if (last) ahead_->Finish();
        }
        return !hasNul_;
    }
    // A buffer of kReadPiece bytes for the next piece; Used is the one the last piece was in.
    char* InputRoom(char* used) { return ahead_ ? ahead_->InputRoom(kReadPiece) : used; }
    bool HasNul() const { return hasNul_; }
    // After the last piece. With TCheck::Plain, false means only that the exact check must tell.
    bool KeepsBytes() {
        if (codes_) return codes_->Unkept() == 0;
        if (check_ == TCheck::Plain) return scan_.Finish();
        return check_ == TCheck::None || exact_.Finish();
    }
    std::size_t Unkept() const { return codes_ ? codes_->Unkept() : 0; }
    std::size_t StrayBytes() const { return codes_ ? codes_->StrayBytes() : 0; }

private:
    TKanjiPlainScan scan_;
    TKanjiRoundTrip exact_;
    CheckedSink checked_;
    TCheck check_;
    std::optional<TPageCodes> codes_;
    std::optional<TKanjiConverter> converter_;
    std::unique_ptr<TConvertAhead> ahead_;
    bool hasNul_ = false;
};

// Hands Bytes to D piece by piece.
void feedBytes(Decoder& d, std::string_view bytes) {
    for (std::size_t i = 0;
         d.Add(bytes.substr(i, kReadPiece), i + kReadPiece >= bytes.size()) && i + kReadPiece < bytes.size();)
        i += kReadPiece;
}

// Whether writing back the text of Feed gives its bytes, found the long way: the text is read
// once more and written back. Needed only for a text that is not plain, so most files never
// pay for it.
// An EUC text read with its table needs no such check: Decoder told already.
bool keepsBytesExactly(TConversion conversion, TConverter converter, const std::function<void(Decoder&)>& feed) {
    if (conversion == TConversion::EucToSjis) return false;
    TKanjiOutputSink discard([](std::string_view) {});
    Decoder d(conversion, converter, discard, TCheck::Exact);
    feed(d);
    return d.KeepsBytes();
}

// The table an EUC text's outside characters go to (made in R), or none for the other codes.
TOutsideCharTable* eucTable(TConversion conversion, TKanjiText& r) {
    if (conversion != TConversion::EucToSjis) return nullptr;
    if (!r.CharTable) r.CharTable = std::make_shared<TOutsideCharTable>();
    r.CharTable->SetExactUnicode(false); // what is typed takes code page 932's near codes
    return r.CharTable.get();
}

// Converts Bytes whole, as Decoder does, and tells R what it found (KeepsBytes only when
// Check).
void decodeWhole(TConversion conversion, TConverter converter, std::string_view bytes, TKanjiSink& sink, TKanjiText& r,
                 bool check = true) {
    using TCutOn = TConvertAhead::TCutOn;
    Decoder d(conversion, converter, sink, check ? TCheck::Plain : TCheck::None,
              bytes.size() > kReadPiece ? std::optional(TCutOn::Caller) : std::nullopt, eucTable(conversion, r));
    feedBytes(d, bytes);
    r.HasNul = d.HasNul();
    r.Unkept = d.Unkept();
    r.StrayBytes = d.StrayBytes();
    r.KeepsBytes =
        d.KeepsBytes() || keepsBytesExactly(conversion, converter, [bytes](Decoder& e) { feedBytes(e, bytes); });
}

// Converted text goes straight into the blocks of a loader.
class LoaderSink : public TKanjiSink {
public:
    explicit LoaderSink(TTextLoader& loader) : loader_(loader) {}
    char* Room(std::size_t n) override { return loader_.Room(n); }
    void Commit(std::size_t written) override { loader_.Commit(written); }

private:
    TTextLoader& loader_;
};

// Converted text goes to the end of a string.
class StringSink : public TKanjiSink {
public:
    explicit StringSink(std::string& text) : text_(text) {}
    char* Room(std::size_t n) override {
        used_ = text_.size();
        text_.resize(used_ + n);
        return text_.data() + used_;
    }
    void Commit(std::size_t written) override { text_.resize(used_ + written); }

private:
    std::string& text_;
    std::size_t used_ = 0;
};

// UTF-8 bytes (a byte order mark first names the code "UTF-8 BOM" and is dropped) to Sink in
// Shift-JIS, piece by piece; the text ends at the first NUL. R gets the table of the
// characters code page 932 lacks, and keeps its bytes unless the table ran out of codes.
void decodeUtf8(std::string_view bytes, TKanjiSink& sink, TKanjiText& r) {
    const bool bom = utf8::StartsWithBom(bytes);
    r.KanjiCode = bom ? jconvert::kUtf8BomName : jconvert::kUtf8Name;
    if (bom) bytes.remove_prefix(utf8::kBom.size());
    const std::size_t nul = bytes.find('\0');
    r.HasNul = nul != std::string_view::npos;
    bytes = bytes.substr(0, nul);
    if (!r.CharTable) r.CharTable = std::make_shared<TOutsideCharTable>();
    utf8::ReserveOwnCodes(bytes, *r.CharTable);
    utf8::TToShiftJis result;
    while (!bytes.empty()) {
        const std::size_t n = utf8::PieceEnd(bytes, kReadPiece);
        char* room = sink.Room(utf8::MaxShiftJisSize(n));
        sink.Commit(utf8::ConvertPiece(bytes.substr(0, n), *r.CharTable, room, result));
        bytes.remove_prefix(n);
    }
    r.Unkept = result.Unkept;
    r.KeepsBytes = result.Unkept == 0;
}

// UTF-16 bytes (the byte order mark, when there is one, is dropped and names the code) to
// Sink in Shift-JIS, piece by piece; the text ends at the first U+0000. Like UTF-8, R gets the
// table of the characters code page 932 lacks.
void decodeUtf16(std::string_view bytes, bool big, TKanjiSink& sink, TKanjiText& r) {
    using namespace jconvert;
    const bool bom = bytes.substr(0, 2) == (big ? utf16::kBomBe : utf16::kBomLe);
    r.KanjiCode = big ? (bom ? kUtf16BeName : kUtf16BeNoBomName) : (bom ? kUtf16LeName : kUtf16LeNoBomName);
    if (bom) bytes.remove_prefix(2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '\0' && bytes[i + 1] == '\0') {
            r.HasNul = true;
            bytes = bytes.substr(0, i);
            break;
        }
    }
    if (!r.CharTable) r.CharTable = std::make_shared<TOutsideCharTable>();
    utf16::ReserveOwnCodes(bytes, big, *r.CharTable);
    utf16::TToShiftJis result;
    while (!bytes.empty()) {
        const std::size_t n = utf16::PieceEnd(bytes, kReadPiece, big);
        char* room = sink.Room(utf16::MaxShiftJisSize(n));
        sink.Commit(utf16::ConvertPiece(bytes.substr(0, n), big, *r.CharTable, room, result));
        bytes.remove_prefix(n);
    }
    r.Unkept = result.Unkept;
    r.KeepsBytes = result.Unkept == 0 && result.Invalid == 0;
}

// Decodes Bytes read whole in the code of Reading into Sink; R gets what reading found.
void decodeIn(const TReading& reading, std::string_view bytes, TConverter converter, TKanjiSink& sink, TKanjiText& r,
              bool check = true) {
    if (reading.Utf8) {
        decodeUtf8(bytes, sink, r);
    } else if (reading.Utf16) {
        decodeUtf16(bytes, reading.BigEndian, sink, r);
    } else if (reading.Conversion) {
        if (*reading.Conversion == TConversion::JisToSjis) {
            JisAsciiFinder jisAscii;
            jisAscii.Feed(bytes);
            r.KanjiCode = jisAscii.Code();
        }
        decodeWhole(*reading.Conversion, converter, bytes, sink, r, check);
    }
}

} // namespace

int DetectFileCode(std::string_view bytes) noexcept {
    if (utf16::Detect(bytes).Utf16) return jconvert::kdUtf16;
    if (utf8::IsUtf8File(bytes)) return jconvert::kdUtf8;
    return jconvert::ResolveDetection(bytes, jconvert::DetectKanjiCode(bytes));
}

QString ReadFailureMessage(const QString& Path, const TRegularFileRead& Read) {
    QString reason;
    switch (Read.Failure) {
    case TReadFailure::Missing: reason = QStringLiteral("ファイルがありません"); break;
    case TReadFailure::NotRegular: reason = QStringLiteral("通常のファイルではありません"); break;
    case TReadFailure::TooLarge:
        reason = QStringLiteral("%1 MB を超えるファイルは開けません").arg(MaxTextFileSize >> 20);
        break;
    case TReadFailure::System:
        reason = Read.Errno == EACCES || Read.Errno == EPERM ? QStringLiteral("読み込む権限がありません")
                                                             : SystemErrorText(Read.Errno);
        break;
    case TReadFailure::None: break;
    }
    return QStringLiteral("ファイルを読み込めませんでした（%1）。\r\r%2").arg(reason, DisplayPath(Path));
}

bool SameInCode(std::string_view A, std::string_view B, std::string_view KanjiCode) {
    return TKanjiRoundTrip::Same(A, B, KanjiCode);
}

TKanjiText GuessKanjiText(std::string_view bytes, std::optional<int> detection) {
    TKanjiText r;
    r.Detection = detection ? *detection : DetectFileCode(bytes);
    r.KanjiCode = codeOf(r.Detection);
    if (r.Detection == jconvert::kdUtf16) {
        const utf16::TKind kind = utf16::Detect(bytes);
        using namespace jconvert;
        r.KanjiCode = kind.BigEndian ? (kind.Bom ? kUtf16BeName : kUtf16BeNoBomName)
                                     : (kind.Bom ? kUtf16LeName : kUtf16LeNoBomName);
        if (!bytes.empty()) r.LineEndCode = lineEndName(lineEndIn(bytes, readingOf(r.KanjiCode)));
        return r;
    }
    if (!bytes.empty()) r.LineEndCode = lineEndName(jconvert::DetectLineEnd(bytes));
    if (r.Detection == jconvert::kdUtf8 && utf8::StartsWithBom(bytes)) r.KanjiCode = jconvert::kUtf8BomName;
    if (r.Detection == jconvert::kdJis) {
        JisAsciiFinder jisAscii;
        jisAscii.Feed(bytes);
        r.KanjiCode = jisAscii.Code();
    }
    return r;
}

TKanjiText DecodeKanjiText(std::string_view bytes, TConverter converter, std::string_view asCode,
                           std::optional<int> detection) {
    TKanjiText r = GuessKanjiText(bytes, detection);
    const TReading reading = readingOf(asCode.empty() ? std::string_view(r.KanjiCode) : asCode);
    if (!bytes.empty()) r.LineEndCode = lineEndName(lineEndIn(bytes, reading));
    r.KanjiCode = reading.Code;
    StringSink sink(r.Text);
    if (reading.Utf8 || reading.Utf16 || reading.Conversion) {
        if (reading.Conversion) r.Text.reserve(bytes.size());
        decodeIn(reading, bytes, converter, sink, r);
    } else {
        const std::size_t nul = bytes.find('\0');
        r.HasNul = nul != std::string_view::npos;
        r.Text.assign(bytes.substr(0, nul));
    }
    return r;
}

TKanjiText ReadKanjiFile(const QString& path, TConverter converter, std::string_view asCode) {
    const TRegularFileRead read = ReadRegularFile(path, MaxTextFileSize);
    if (!read.Ok()) throw EPlatformError(ReadFailureMessage(path, read).toStdString());
    const QByteArray& bytes = read.Bytes;
    return DecodeKanjiText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), converter,
                           asCode);
}

namespace {

// Hands D the rest of a file (its first N bytes are in Buffer), piece by piece, each seen by
// Look first.
void feedFile(Decoder& d, TRegularFileReader& reader, const QString& path, char* buffer, std::size_t n,
              const std::function<void(std::string_view)>& look) {
    for (;;) {
        const std::string_view piece(buffer, n);
        if (look) look(piece);
        const bool last = n < kReadPiece;
        if (!d.Add(piece, last) || last) break;
        buffer = d.InputRoom(buffer);
        n = readSome(reader, path, buffer, kReadPiece);
    }
}

// Reads the rest of a JIS or EUC file (its first N bytes are in Buffer) and converts it piece
// by piece into Loader.
void streamToSjis(TRegularFileReader& reader, const QString& path, TConversion conversion, TConverter converter,
                  char* buffer, std::size_t n, TTextLoader& loader, TKanjiText& r) {
    LineEndFinder lineEnd;
    JisAsciiFinder jisAscii;
    const bool jis = conversion == TConversion::JisToSjis;
    LoaderSink sink(loader);
    // This thread reads the file and splits its rows: the converting thread cuts the pieces.
    using TCutOn = TConvertAhead::TCutOn;
    Decoder d(conversion, converter, sink, TCheck::Plain,
              n == kReadPiece ? std::optional(TCutOn::Converter) : std::nullopt, eucTable(conversion, r));
    feedFile(d, reader, path, buffer, n, [&](std::string_view piece) {
        lineEnd.Feed(piece);
        if (jis) jisAscii.Feed(piece);
    });
    r.LineEndCode = lineEndName(lineEnd.Kind());
    if (jis) r.KanjiCode = jisAscii.Code();
    r.HasNul = d.HasNul();
    r.Unkept = d.Unkept();
    r.StrayBytes = d.StrayBytes();
    r.KeepsBytes = d.KeepsBytes() || keepsBytesExactly(conversion, converter, [&](Decoder& e) {
                       // The file once more, from its start.
                       TRegularFileReader again(path, MaxTextFileSize);
                       if (!again.Ok()) failRead(path, again);
                       feedFile(e, again, path, buffer, readSome(again, path, buffer, kReadPiece), nullptr);
                   });
}

} // namespace

TKanjiText ReadKanjiFile(const QString& path, TTextLoader& loader, TConverter converter, std::string_view asCode) {
    TRegularFileReader reader(path, MaxTextFileSize);
    if (!reader.Ok()) failRead(path, reader);
    const std::unique_ptr<char[]> buffer(new char[kReadPiece]);
    const std::size_t n = readSome(reader, path, buffer.get(), kReadPiece);
    const std::string_view first(buffer.get(), n);
    TKanjiText r;
    std::optional<TReading> reading;
    if (!asCode.empty()) {
        reading = readingOf(asCode);
    } else if (n == kReadPiece) {
        // A larger file: its first piece decides JIS and EUC nearly always, which then go on
        // piece by piece. UTF-16 and UTF-8 are decided by the whole file (UTF-8 valid
        // throughout): a file whose first piece may be either is read whole first, as are
        // Shift-JIS (into the block its rows use) and a text still undecided. The piece may
        // end inside a UTF-8 sequence that the next piece finishes.
        const int detection = jconvert::DetectKanjiCode(first);
        const bool maybeUnicode = utf16::Detect(first).Utf16 || maybeUtf8(first);
        if (!maybeUnicode && decided(detection) && detection != jconvert::kdBinary) {
            r.Detection = detection;
            reading = readingOf(codeOf(detection));
        }
    }
    if (n > 0 && reading && reading->Conversion) {
        r.KanjiCode = reading->Code;
        streamToSjis(reader, path, *reading->Conversion, converter, buffer.get(), n, loader, r);
        return r;
    }
    TTextBlock block = readWhole(reader, path, buffer.get(), n);
    const std::string_view bytes(block.Data(), block.Size());
    if (!reading) {
        const TKanjiText guess = GuessKanjiText(bytes);
        r.Detection = guess.Detection;
        reading = readingOf(guess.KanjiCode);
    }
    r.KanjiCode = reading->Code;
    if (!bytes.empty()) r.LineEndCode = lineEndName(lineEndIn(bytes, *reading));
    if (reading->Utf8 || reading->Utf16 || reading->Conversion) {
        LoaderSink sink(loader);
        decodeIn(*reading, bytes, converter, sink, r);
        return r;
    }
    loader.Add(std::move(block));
    r.HasNul = loader.CutAtNul();
    return r;
}

namespace {

// The conversion that writes Shift-JIS text in the code named Code (none for "S-JIS" and the
// Unicode codes).
std::optional<TConversion> writingOf(std::string_view code) {
    if (jconvert::IsJisName(code)) return TConversion::SjisToJis;
    if (code == jconvert::kEucName) return TConversion::SjisToEuc;
    return std::nullopt;
}

// How JIS and EUC are written for a page with Codes.
jconvert::TConvertOptions writingOptions(std::string_view code, TPageCodes& codes) {
    jconvert::TConvertOptions o;
    o.Codes = &codes;
    o.JisAscii = code == jconvert::kJisAsciiName ? 'B' : 'J';
    return o;
}

int lineEndKindOf(std::string_view name) {
    if (name == jconvert::kCrName) return jconvert::leCr;
    if (name == jconvert::kLfName) return jconvert::leLf;
    return jconvert::leCrLf;
}

std::string_view utf16Bom(std::string_view code) {
    using namespace jconvert;
    return code == kUtf16LeName ? utf16::kBomLe : code == kUtf16BeName ? utf16::kBomBe : std::string_view();
}

} // namespace

std::string EncodeCode(std::string_view text, std::string_view code, TConverter converter,
                       const TOutsideCharTable* table) {
    std::string bytes;
    if (jconvert::IsUtf8Name(code)) {
        if (code == jconvert::kUtf8BomName) bytes = utf8::kBom;
        utf8::FromShiftJis(text, table, bytes);
    } else if (jconvert::IsUtf16Name(code)) {
        bytes = utf16Bom(code);
        utf16::FromShiftJis(text, table, jconvert::IsUtf16BigEndianName(code), bytes);
    } else if (const std::optional<TConversion> conversion = writingOf(code)) {
        bytes.reserve(text.size() + text.size() / (*conversion == TConversion::SjisToJis ? 4 : 8));
        TPageCodes codes(table);
        TKanjiConverter c(
            *conversion, converter, [&bytes](std::string_view s) { bytes += s; }, writingOptions(code, codes));
        c.Convert(text, true);
    } else {
        bytes = table ? ShiftJisOfTable(text, *table) : std::string(text);
    }
    return bytes;
}

std::string EncodePage(std::string_view text, std::string_view code, std::string_view lineEnd, TConverter converter,
                       const TOutsideCharTable* table) {
    std::string bytes = EncodeCode(text, code, converter, table);
    const int kind = lineEndKindOf(lineEnd);
    if (kind == jconvert::leCrLf) return bytes;
    if (jconvert::IsUtf16Name(code)) {
        // The line ends are units: converted as Shift-JIS text, then written again.
        return EncodeCode(jconvert::ConvertLineEnd(text, kind), code, converter, table);
    }
    jconvert::ConvertLineEndInPlace(bytes, kind);
    return bytes;
}

void WritePage(std::string_view text, std::string_view code, std::string_view lineEnd, const QString& path,
               TConverter converter, const TOutsideCharTable* table) {
    WriteWholeFile(path, EncodePage(text, code, lineEnd, converter, table));
}

namespace {

// Whether the character at I of Text (not ASCII; Length its bytes) is kept by Unicode: a byte
// that is no character is lost, and so in UTF-16 is a raw byte of the table.
TKeptChar keptInUnicode(std::string_view text, std::size_t i, bool utf16, const TOutsideCharTable* table) {
    const cp932::TPageChar c = cp932::PageCharAt(text, i, table);
    return {c.Ch != 0 && !(utf16 && c.Ch >= 0xD800 && c.Ch <= 0xDFFF), c.Length};
}

} // namespace

TLostChar FirstLostChar(std::string_view text, std::string_view code, const TOutsideCharTable* table) {
    const bool jis = jconvert::IsJisName(code), euc = code == jconvert::kEucName;
    const bool unicode = jconvert::IsUnicodeName(code), utf16 = jconvert::IsUtf16Name(code);
    // Shift-JIS loses only the table's characters that code page 932 has no code for.
    if (!jis && !euc && !unicode && (!table || table->Empty())) return {};
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (p[i] < 0x80) continue;
        TKeptChar c;
        if (jis || euc) {
            c = KeptInJis(text, i, jis, table);
        } else if (unicode) {
            c = keptInUnicode(text, i, utf16, table);
        } else if (sjis::IsLeadByte(p[i]) && i + 1 < text.size()) {
            const char32_t ch = table->CharOf(p[i], p[i + 1]);
            c = {ch == 0 || ShiftJisCodeOf(ch) >= 0, 2};
        }
        if (!c.Kept) return {i, std::string(text.substr(i, c.Length))};
        i += c.Length - 1;
    }
    return {};
}

namespace {

using TOutput = std::function<void(std::string_view)>;

// The text as the line store holds it and gives it back: every line end (CR LF, a lone CR or
// a lone LF) becomes CR LF. Handed on in pieces that end after a CR LF, but for the last;
// lines that end with CR LF already go on as they are, without a copy.
class CrLfLines {
public:
    explicit CrLfLines(TOutput output) : output_(std::move(output)) {}
    void Add(std::string_view piece) {
        const char* p = piece.data();
        const char* const end = p + piece.size();
        if (afterCr_ && p < end) {
            afterCr_ = false;
            if (*p == '\n') ++p;
        }
        const char* run = p;    // lines in CR LF form from here, not taken into buffer_ yet
        const char* runEnd = p; // ... up to here
        for (const char* e; (e = sjis::FindLineEnd(p, end)) != end;) {
            if (*e == '\r' && e + 1 < end && e[1] == '\n') {
                p = runEnd = e + 2;
                if (!buffer_.empty()) { // what was held goes first, with this line
                    buffer_.append(run, static_cast<std::size_t>(p - run));
                    flush(buffer_.size());
                    run = p;
                }
                continue;
            }
            // A lone CR or LF: the line is taken into buffer_ with a CR LF.
            if (buffer_.empty() && runEnd > run)
                output_(std::string_view(run, static_cast<std::size_t>(runEnd - run)));
            else
                buffer_.append(run, static_cast<std::size_t>(runEnd - run));
            buffer_.append(runEnd, static_cast<std::size_t>(e - runEnd));
            buffer_ += "\r\n";
            complete_ = buffer_.size();
            p = run = runEnd = e + 1;
            if (*e == '\r' && p == end) afterCr_ = true; // an LF may follow in the next piece
            if (complete_ >= kReadPiece) flush(complete_);
        }
        if (buffer_.empty()) {
            if (runEnd > run) output_(std::string_view(run, static_cast<std::size_t>(runEnd - run)));
            buffer_.append(runEnd, static_cast<std::size_t>(end - runEnd));
        } else {
            complete_ = buffer_.size() + static_cast<std::size_t>(runEnd - run);
            buffer_.append(run, static_cast<std::size_t>(end - run));
            if (complete_ >= kReadPiece) flush(complete_);
        }
    }
    void Finish() { flush(buffer_.size()); }

private:
    void flush(std::size_t n) {
        if (n == 0) return;
        output_(std::string_view(buffer_.data(), n));
        buffer_.erase(0, n);
        complete_ = 0;
    }
    TOutput output_;
    std::string buffer_;
    std::size_t complete_ = 0; // buffer_ up to here ends after a CR LF
    bool afterCr_ = false;
};

std::string_view lineEndBytes(int kind) {
    return kind == jconvert::leCrLf ? "\r\n" : kind == jconvert::leCr ? "\r" : kind == jconvert::leLf ? "\n" : "";
}

// The line ends of a text's own kind (the kind of its first line end) become Target, as
// ConvertLineEnd does with the whole text, piece by piece.
class LineEndStream {
public:
    LineEndStream(int target, TOutput output) : target_(target), output_(std::move(output)) {}
    void Add(std::string_view piece) {
        if (own_ < 0) {
            held_.append(piece);
            const std::size_t i = held_.find_first_of("\r\n");
            if (i == std::string::npos || (held_[i] == '\r' && i + 1 == held_.size())) return; // not known yet
            own_ = jconvert::DetectLineEnd(held_);
            const std::string held = std::move(held_);
            held_.clear();
            convert(held);
            return;
        }
        convert(piece);
    }
    void Finish() {
        if (own_ < 0) { // the whole text was held: its kind is known now
            own_ = jconvert::DetectLineEnd(held_);
            const std::string held = std::move(held_);
            held_.clear();
            convert(held);
        }
        if (!held_.empty()) output_(held_); // a CR at the very end, which no LF followed
        held_.clear();
    }

private:
    void convert(std::string_view piece) {
        const std::string_view from = lineEndBytes(own_), to = lineEndBytes(target_);
        if (own_ == jconvert::leNone || own_ == target_) {
            output_(piece);
            return;
        }
        out_.clear();
        if (!held_.empty() && !piece.empty()) { // a CR that ended the last piece
            if (piece[0] == '\n') {
                out_ += to;
                piece.remove_prefix(1);
            } else {
                out_ += held_;
            }
            held_.clear();
        }
        for (std::size_t i = 0; i < piece.size();) {
            const std::size_t hit = std::min(piece.find(from[0], i), piece.size());
            out_.append(piece.substr(i, hit - i));
            i = hit;
            if (i == piece.size()) break;
            if (from.size() == 2 && i + 1 == piece.size()) {
                held_.assign(1, '\r'); // the next piece tells whether a CR LF begins here
                break;
            }
            const bool whole = piece.compare(i, from.size(), from) == 0;
            out_ += whole ? to : piece.substr(i, 1);
            i += whole ? from.size() : 1;
        }
        if (!out_.empty()) output_(out_);
    }

    int target_;
    TOutput output_;
    int own_ = -1; // the text's own kind, -1 while not known
    std::string held_;
    std::string out_;
};

} // namespace

TKanjiText ResaveKanjiText(std::string_view bytes, std::string_view code, std::string_view lineEnd,
                           TConverter converter, const TOutput& output, const TInspect& inspect) {
    TKanjiText r = GuessKanjiText(bytes);
    const TReading reading = readingOf(r.KanjiCode);
    const std::string_view codeName = code.empty() ? std::string_view(r.KanjiCode) : code;
    const int kind =
        lineEndKindOf(lineEnd.empty() ? std::string_view(r.LineEndCode.value_or(jconvert::kCrLfName)) : lineEnd);
    // The table the reading fills is there from the start: the pieces are written as they
    // are read.
    if (reading.Utf8 || reading.Utf16 || reading.Conversion == TConversion::EucToSjis)
        r.CharTable = std::make_shared<TOutsideCharTable>();
    const TOutsideCharTable* table = r.CharTable.get();

    // The stages, from the last to the first: line ends (UTF-16's among the Shift-JIS, whose
    // line ends are all CR LF here), the code written, the text as the line store holds it,
    // the code read.
    const bool toUtf8 = jconvert::IsUtf8Name(codeName), toUtf16 = jconvert::IsUtf16Name(codeName);
    LineEndStream lineEnds(kind, output);
    const TOutput written =
        kind == jconvert::leCrLf || toUtf16 ? output : TOutput([&lineEnds](std::string_view s) { lineEnds.Add(s); });
    const std::optional<TConversion> writing = writingOf(codeName);
    TPageCodes codes(table);
    std::optional<TKanjiConverter> encoder;
    if (writing) encoder.emplace(*writing, converter, written, writingOptions(codeName, codes));
    if (codeName == jconvert::kUtf8BomName) written(utf8::kBom);
    written(utf16Bom(codeName));
    std::string piece;
    CrLfLines lines([&](std::string_view s) { // the pieces end after a CR LF, never inside a character
        if (inspect) inspect(s, table);
        piece.clear();
        if (encoder) {
            encoder->Convert(s, false);
        } else if (toUtf8) {
            utf8::FromShiftJis(s, table, piece);
            written(piece);
        } else if (toUtf16) {
            const std::string ends = kind == jconvert::leCrLf ? std::string() : jconvert::ConvertLineEnd(s, kind);
            utf16::FromShiftJis(kind == jconvert::leCrLf ? s : ends, table, jconvert::IsUtf16BigEndianName(codeName),
                                piece);
            written(piece);
        } else if (table && !table->Empty()) {
            written(ShiftJisOfTable(s, *table));
        } else {
            written(s);
        }
    });
    if (reading.Utf8 || reading.Utf16 || reading.Conversion) {
        TKanjiOutputSink sink([&lines](std::string_view s) { lines.Add(s); });
        decodeIn(reading, bytes, converter, sink, r, false);
    } else {
        const std::size_t nul = bytes.find('\0');
        r.HasNul = nul != std::string_view::npos;
        for (std::size_t i = 0; i < std::min(nul, bytes.size()); i += kReadPiece)
            lines.Add(bytes.substr(i, std::min(kReadPiece, nul - i)));
    }
    lines.Finish();
    if (encoder) encoder->Convert({}, true);
    if (kind != jconvert::leCrLf && !toUtf16) lineEnds.Finish();
    return r;
}

} // namespace quire

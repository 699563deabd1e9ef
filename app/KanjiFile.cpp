// Reading and writing files in the three kanji codes.
#include "KanjiFile.h"

#include "ConvertAhead.h"
#include "Cp932Codec.h"
#include "KanjiPlainScan.h"
#include "KanjiRoundTrip.h"
#include "OutsideCharTable.h"
#include "PathCodec.h"
#include "PlatformError.h"
#include "RegularFileReader.h"
#include "SafeFile.h"
#include "ShiftJis.h"
#include "TextLoader.h"
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
// text taken as it is, or for UTF-8, which has a conversion of its own).
struct TReading {
    const char* Code;
    std::optional<TConversion> Conversion;
    bool Utf8 = false;
};

TReading readingOf(std::string_view code) {
    using namespace jconvert;
    if (IsUtf8Name(code)) return {kUtf8Name, std::nullopt, true};
    if (code == kJisName) return {kJisName, TConversion::JisToSjis};
    if (code == kEucName) return {kEucName, TConversion::EucToSjis};
    return {kShiftJisName, std::nullopt};
}

const char* codeOf(int detection) {
    using namespace jconvert;
    return detection == kdJis    ? kJisName
           : detection == kdEuc  ? kEucName
           : detection == kdUtf8 ? kUtf8Name
                                 : kShiftJisName;
}

// The detection of a text's first bytes holds for the whole text once it is decided (the scan
// stops at its first decision and looks no further than the bytes it has), but only when the
// first 513 bytes are among them (the check for binary bytes reads that far).
bool decided(int detection) { return detection != jconvert::kdAscii && detection != jconvert::kdEucOrSjis; }

const char* lineEndName(int kind) {
    return kind == jconvert::leCr   ? jconvert::kCrName
           : kind == jconvert::leLf ? jconvert::kLfName
                                    : jconvert::kCrLfName;
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
    Decoder(TConversion conversion, TConverter converter, TKanjiSink& sink, TCheck check,
            std::optional<TConvertAhead::TCutOn> ahead = std::nullopt)
        : scan_(conversion), exact_(conversion), checked_(sink, check == TCheck::Exact ? &exact_ : nullptr),
          check_(check) {
        if (ahead && TConvertAhead::Usable(converter))
            ahead_ = std::make_unique<TConvertAhead>(conversion, converter, checked_, *ahead);
        else
            converter_.emplace(conversion, converter, checked_);
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
        if (check_ == TCheck::Plain) return scan_.Finish();
        return check_ == TCheck::None || exact_.Finish();
    }

private:
    TKanjiPlainScan scan_;
    TKanjiRoundTrip exact_;
    CheckedSink checked_;
    TCheck check_;
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
bool keepsBytesExactly(TConversion conversion, TConverter converter, const std::function<void(Decoder&)>& feed) {
    TKanjiOutputSink discard([](std::string_view) {});
    Decoder d(conversion, converter, discard, TCheck::Exact);
    feed(d);
    return d.KeepsBytes();
}

// Converts Bytes whole, as Decoder does, and tells R what it found (KeepsBytes only when
// Check).
void decodeWhole(TConversion conversion, TConverter converter, std::string_view bytes, TKanjiSink& sink, TKanjiText& r,
                 bool check = true) {
    using TCutOn = TConvertAhead::TCutOn;
    Decoder d(conversion, converter, sink, check ? TCheck::Plain : TCheck::None,
              bytes.size() > kReadPiece ? std::optional(TCutOn::Caller) : std::nullopt);
    feedBytes(d, bytes);
    r.HasNul = d.HasNul();
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
    r.CharTable = std::make_shared<TOutsideCharTable>();
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

} // namespace

int DetectFileCode(std::string_view bytes) noexcept {
    return utf8::IsUtf8File(bytes) ? jconvert::kdUtf8 : jconvert::DetectKanjiCode(bytes);
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

TKanjiText GuessKanjiText(std::string_view bytes) {
    TKanjiText r;
    if (!bytes.empty()) r.LineEndCode = lineEndName(jconvert::DetectLineEnd(bytes));
    r.Detection = DetectFileCode(bytes);
    r.KanjiCode = codeOf(r.Detection);
    if (r.Detection == jconvert::kdUtf8 && utf8::StartsWithBom(bytes)) r.KanjiCode = jconvert::kUtf8BomName;
    return r;
}

TKanjiText DecodeKanjiText(std::string_view bytes, TConverter converter, std::string_view asCode) {
    TKanjiText r = GuessKanjiText(bytes);
    const TReading reading = readingOf(asCode.empty() ? std::string_view(r.KanjiCode) : asCode);
    r.KanjiCode = reading.Code;
    if (reading.Utf8) {
        StringSink sink(r.Text);
        decodeUtf8(bytes, sink, r);
    } else if (reading.Conversion) {
        r.Text.reserve(bytes.size());
        StringSink sink(r.Text);
        decodeWhole(*reading.Conversion, converter, bytes, sink, r);
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
    LoaderSink sink(loader);
    // This thread reads the file and splits its rows: the converting thread cuts the pieces.
    using TCutOn = TConvertAhead::TCutOn;
    Decoder d(conversion, converter, sink, TCheck::Plain,
              n == kReadPiece ? std::optional(TCutOn::Converter) : std::nullopt);
    feedFile(d, reader, path, buffer, n, [&lineEnd](std::string_view piece) { lineEnd.Feed(piece); });
    r.LineEndCode = lineEndName(lineEnd.Kind());
    r.HasNul = d.HasNul();
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
    // The first piece decides the code nearly always: JIS and EUC go on piece by piece,
    // Shift-JIS (and a text still undecided) is read whole into the block its rows use.
    const std::unique_ptr<char[]> buffer(new char[kReadPiece]);
    const std::size_t n = readSome(reader, path, buffer.get(), kReadPiece);
    TKanjiText r;
    const std::string_view first(buffer.get(), n);
    r.Detection = jconvert::DetectKanjiCode(first);
    if (n == 0) {
        r.KanjiCode = asCode.empty() ? jconvert::kShiftJisName : readingOf(asCode).Code;
        if (readingOf(asCode).Utf8) r.CharTable = std::make_shared<TOutsideCharTable>();
        return r;
    }
    // UTF-8 is decided by the whole file (valid throughout): a file whose first piece may be
    // UTF-8 is read whole first.
    const bool utf8Asked = readingOf(asCode).Utf8;
    const bool maybeUtf8 = utf8Asked || (asCode.empty() && utf8::IsUtf8File(first.substr(0, utf8::PieceEnd(first, n))));
    if (!maybeUtf8 && (!asCode.empty() || decided(r.Detection) || n < kReadPiece)) {
        const TReading reading = readingOf(asCode.empty() ? std::string_view(codeOf(r.Detection)) : asCode);
        r.KanjiCode = reading.Code;
        if (reading.Conversion) {
            streamToSjis(reader, path, *reading.Conversion, converter, buffer.get(), n, loader, r);
            return r;
        }
    }
    TTextBlock block = readWhole(reader, path, buffer.get(), n);
    const std::string_view bytes(block.Data(), block.Size());
    r.LineEndCode = lineEndName(jconvert::DetectLineEnd(bytes));
    if (maybeUtf8 && (utf8Asked || utf8::IsUtf8File(bytes))) {
        if (!utf8Asked) r.Detection = jconvert::kdUtf8;
        LoaderSink sink(loader);
        decodeUtf8(bytes, sink, r);
        return r;
    }
    if (!decided(r.Detection)) r.Detection = jconvert::DetectKanjiCode(bytes);
    const TReading reading = readingOf(asCode.empty() ? std::string_view(codeOf(r.Detection)) : asCode);
    r.KanjiCode = reading.Code;
    if (reading.Conversion) { // decided only after the first piece: converted from the block
        LoaderSink sink(loader);
        decodeWhole(*reading.Conversion, converter, bytes, sink, r);
        return r;
    }
    loader.Add(std::move(block));
    r.HasNul = loader.CutAtNul();
    return r;
}

namespace {

// The conversion that writes Shift-JIS text in the code named Code (none for "S-JIS").
std::optional<TConversion> writingOf(std::string_view code) {
    if (code == jconvert::kJisName) return TConversion::SjisToJis;
    if (code == jconvert::kEucName) return TConversion::SjisToEuc;
    return std::nullopt;
}

int lineEndKindOf(std::string_view name) {
    if (name == jconvert::kCrName) return jconvert::leCr;
    if (name == jconvert::kLfName) return jconvert::leLf;
    return jconvert::leCrLf;
}

} // namespace

std::string EncodeCode(std::string_view text, std::string_view code, TConverter converter,
                       const TOutsideCharTable* table) {
    std::string bytes;
    if (jconvert::IsUtf8Name(code)) {
        if (code == jconvert::kUtf8BomName) bytes = utf8::kBom;
        utf8::FromShiftJis(text, table, bytes);
    } else if (const std::optional<TConversion> conversion = writingOf(code)) {
        bytes.reserve(text.size() + text.size() / (*conversion == TConversion::SjisToJis ? 4 : 8));
        TKanjiConverter c(*conversion, converter, [&bytes](std::string_view s) { bytes += s; });
        c.Convert(text, true);
    } else {
        bytes.assign(text);
    }
    return bytes;
}

std::string EncodePage(std::string_view text, std::string_view code, std::string_view lineEnd, TConverter converter,
                       const TOutsideCharTable* table) {
    std::string bytes = EncodeCode(text, code, converter, table);
    const int kind = lineEndKindOf(lineEnd);
    if (kind != jconvert::leCrLf) jconvert::ConvertLineEndInPlace(bytes, kind);
    return bytes;
}

void WritePage(std::string_view text, std::string_view code, std::string_view lineEnd, const QString& path,
               TConverter converter, const TOutsideCharTable* table) {
    WriteWholeFile(path, EncodePage(text, code, lineEnd, converter, table));
}

TLostChar FirstLostChar(std::string_view text, std::string_view code, const TOutsideCharTable* table) {
    if (code == jconvert::kJisName || code == jconvert::kEucName) {
        auto unsafe = jconvert::FindJisUnsafeChars(text, 1);
        if (unsafe.empty()) return {};
        return {unsafe[0].Offset, std::move(unsafe[0].Bytes)};
    }
    const bool toUtf8 = jconvert::IsUtf8Name(code);
    if (!toUtf8 && (!table || table->Empty())) return {};
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (p[i] < 0x80 || (p[i] >= 0xA1 && p[i] <= 0xDF)) continue;
        const bool pair = sjis::IsLeadByte(p[i]) && i + 1 < text.size();
        const bool inTable = pair && table && table->CharOf(p[i], p[i + 1]) != 0;
        // UTF-8 loses only bytes that are no character; the other codes lose the table's.
        const bool lost = toUtf8 ? !inTable && (!pair || cp932::DecodeChar(p[i], p[i + 1]) == 0) : inTable;
        if (lost) return {i, std::string(text.substr(i, pair && !toUtf8 ? 2 : 1))};
        if (pair) ++i;
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
                           TConverter converter, const TOutput& output,
                           const std::function<void(std::string_view, std::size_t)>& inspect) {
    TKanjiText r = GuessKanjiText(bytes);
    const TReading reading = readingOf(r.KanjiCode);
    const std::string_view codeName = code.empty() ? std::string_view(r.KanjiCode) : code;
    const int kind =
        lineEndKindOf(lineEnd.empty() ? std::string_view(r.LineEndCode.value_or(jconvert::kCrLfName)) : lineEnd);

    // The stages, from the last to the first: line ends, the code written, the text as the
    // line store holds it, the code read.
    LineEndStream lineEnds(kind, output);
    const TOutput written =
        kind == jconvert::leCrLf ? output : TOutput([&lineEnds](std::string_view s) { lineEnds.Add(s); });
    const std::optional<TConversion> writing = writingOf(codeName);
    std::optional<TKanjiConverter> encoder;
    if (writing) encoder.emplace(*writing, converter, written);
    const bool toUtf8 = jconvert::IsUtf8Name(codeName);
    if (codeName == jconvert::kUtf8BomName) written(utf8::kBom);
    std::string utf8Piece;
    std::size_t offset = 0;
    CrLfLines lines([&](std::string_view s) {
        if (inspect) inspect(s, offset);
        offset += s.size();
        if (encoder) {
            encoder->Convert(s, false);
        } else if (toUtf8) { // the pieces end after a CR LF, never inside a character
            utf8Piece.clear();
            utf8::FromShiftJis(s, r.CharTable.get(), utf8Piece);
            written(utf8Piece);
        } else {
            written(s);
        }
    });
    const std::size_t nul = bytes.find('\0');
    r.HasNul = nul != std::string_view::npos;
    if (reading.Utf8) {
        TKanjiOutputSink sink([&lines](std::string_view s) { lines.Add(s); });
        decodeUtf8(bytes, sink, r);
    } else if (reading.Conversion) {
        TKanjiOutputSink sink([&lines](std::string_view s) { lines.Add(s); });
        decodeWhole(*reading.Conversion, converter, bytes, sink, r, false);
    } else {
        for (std::size_t i = 0; i < std::min(nul, bytes.size()); i += kReadPiece)
            lines.Add(bytes.substr(i, std::min(kReadPiece, nul - i)));
    }
    lines.Finish();
    if (encoder) encoder->Convert({}, true);
    if (kind != jconvert::leCrLf) lineEnds.Finish();
    return r;
}

} // namespace quire

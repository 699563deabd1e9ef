// The recovery journal's file format.
#include "JournalFormat.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <unistd.h>
#include <zlib.h>

namespace quire::journal {

namespace {

void putU32(std::string& out, uint32_t v) {
    const char bytes[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.append(bytes, 4);
}

uint32_t getU32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

// Zigzag: small negative numbers stay short.
uint64_t zigzag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t unzigzag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

bool getSigned(std::string_view& in, int64_t& value) {
    uint64_t v = 0;
    if (!GetVarint(in, v)) return false;
    value = unzigzag(v);
    return true;
}

bool getByte(std::string_view& in, uint8_t& value) {
    if (in.empty()) return false;
    value = static_cast<uint8_t>(in.front());
    in.remove_prefix(1);
    return true;
}

} // namespace

uint32_t Crc32(std::string_view Bytes, uint32_t Crc) noexcept {
    return static_cast<uint32_t>(
        crc32_z(Crc, reinterpret_cast<const Bytef*>(Bytes.data()), static_cast<z_size_t>(Bytes.size())));
}

void PutVarint(std::string& Out, uint64_t Value) {
    while (Value >= 0x80) {
        Out += static_cast<char>((Value & 0x7F) | 0x80);
        Value >>= 7;
    }
    Out += static_cast<char>(Value);
}

bool GetVarint(std::string_view& In, uint64_t& Value) {
    uint64_t v = 0;
    for (std::size_t i = 0; i < In.size() && i < 10; ++i) {
        const auto b = static_cast<uint8_t>(In[i]);
        if (i == 9 && b > 1) return false; // more than 64 bits
        v |= uint64_t(b & 0x7F) << (7 * i);
        if (!(b & 0x80)) {
            Value = v;
            In.remove_prefix(i + 1);
            return true;
        }
    }
    return false;
}

void PutString(std::string& Out, std::string_view Value) {
    PutVarint(Out, Value.size());
    Out += Value;
}

bool GetString(std::string_view& In, std::string_view& Value) {
    uint64_t n = 0;
    std::string_view rest = In;
    if (!GetVarint(rest, n) || n > rest.size()) return false;
    Value = rest.substr(0, static_cast<std::size_t>(n));
    In = rest.substr(static_cast<std::size_t>(n));
    return true;
}

std::size_t BeginFrame(std::string& Out, TFrameKind Kind) {
    const std::size_t start = Out.size();
    Out += static_cast<char>(Kind);
    Out.append(4, '\0');
    return start;
}

bool EndFrame(std::string& Out, std::size_t Start) {
    const std::size_t length = Out.size() - Start - 5;
    if (length > std::numeric_limits<uint32_t>::max()) {
        Out.resize(Start);
        return false;
    }
    std::string len;
    putU32(len, static_cast<uint32_t>(length));
    Out.replace(Start + 1, 4, len);
    putU32(Out, Crc32(std::string_view(Out).substr(Start)));
    return true;
}

void AppendFrame(std::string& Out, TFrameKind Kind, std::string_view Payload) {
    const std::size_t start = BeginFrame(Out, Kind);
    Out += Payload;
    EndFrame(Out, start);
}

std::string EncodeHeader(const TJournalHeader& Header) {
    std::string out;
    PutString(out, Header.Id);
    PutVarint(out, Header.Generation);
    PutVarint(out, Header.Pid);
    PutVarint(out, zigzag(Header.CreatedMs));
    return out;
}

bool DecodeHeader(std::string_view Payload, TJournalHeader& Header) {
    std::string_view id;
    if (!GetString(Payload, id) || !GetVarint(Payload, Header.Generation) || !GetVarint(Payload, Header.Pid) ||
        !getSigned(Payload, Header.CreatedMs))
        return false;
    Header.Id = std::string(id);
    return true;
}

std::string EncodePage(const TJournalPage& Page) {
    std::string out;
    for (const std::string* s : {&Page.FileName, &Page.KanjiCode, &Page.LineEndCode, &Page.Mode}) PutString(out, *s);
    out += static_cast<char>((Page.CutAtNul ? 1 : 0) | (Page.KeepsBytes ? 2 : 0) | (Page.Stamp.Exists ? 4 : 0));
    PutVarint(out, zigzag(Page.Stamp.Size));
    PutVarint(out, zigzag(Page.Stamp.ModifiedNs));
    PutVarint(out, Page.Stamp.Inode);
    PutVarint(out, Page.Stamp.Device);
    // The table follows the facts (a journal written before there was one ends here).
    if (Page.HasCharTable) {
        out += static_cast<char>(Page.ExactUnicode ? 1 : 0);
        PutVarint(out, Page.CharTable.size());
        for (const auto& [code, ch] : Page.CharTable) {
            PutVarint(out, static_cast<uint64_t>(code));
            PutVarint(out, ch);
        }
    }
    return out;
}

namespace {

bool getCharTable(std::string_view& In, TJournalPage& Page) {
    uint8_t exact = 0;
    uint64_t count = 0;
    if (!getByte(In, exact) || exact > 1 || !GetVarint(In, count) || count > In.size() / 2) return false;
    Page.HasCharTable = true;
    Page.ExactUnicode = exact == 1;
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t code = 0, ch = 0;
        if (!GetVarint(In, code) || !GetVarint(In, ch) || code > 0xFFFF || ch > 0x10FFFF) return false;
        Page.CharTable.emplace_back(static_cast<int>(code), static_cast<char32_t>(ch));
    }
    return In.empty();
}

} // namespace

bool DecodePage(std::string_view Payload, TJournalPage& Page) {
    std::string_view strings[4];
    for (std::string_view& s : strings)
        if (!GetString(Payload, s)) return false;
    uint8_t flags = 0;
    TJournalStamp stamp;
    if (!getByte(Payload, flags) || !getSigned(Payload, stamp.Size) || !getSigned(Payload, stamp.ModifiedNs) ||
        !GetVarint(Payload, stamp.Inode) || !GetVarint(Payload, stamp.Device))
        return false;
    Page.FileName = std::string(strings[0]);
    Page.KanjiCode = std::string(strings[1]);
    Page.LineEndCode = std::string(strings[2]);
    Page.Mode = std::string(strings[3]);
    Page.CutAtNul = flags & 1;
    Page.KeepsBytes = flags & 2;
    stamp.Exists = flags & 4;
    Page.Stamp = stamp;
    Page.HasCharTable = false;
    Page.ExactUnicode = true;
    Page.CharTable.clear();
    return Payload.empty() || getCharTable(Payload, Page);
}

void EncodeEditPart(std::string& Out, const TEditRecord& Part) {
    PutVarint(Out, Part.Start);
    PutVarint(Out, Part.Deleted);
    PutVarint(Out, Part.Inserted);
    PutVarint(Out, Part.Prefix);
    PutVarint(Out, Part.Suffix);
    PutString(Out, Part.Middle);
    Out += static_cast<char>(Part.LastAttribute);
    PutVarint(Out, Part.Breaks.size());
    uint64_t previous = 0;
    for (uint64_t b : Part.Breaks) {
        PutVarint(Out, b - previous); // ascending: the gaps are short
        previous = b;
    }
}

void EncodeEditSet(std::string& Out, uint64_t Count, std::string_view EncodedParts, uint32_t OldCrc) {
    PutVarint(Out, kEditSetMark);
    PutVarint(Out, Count);
    Out += EncodedParts;
    putU32(Out, OldCrc);
}

void EncodeEdit(std::string& Out, const TEditRecord& Record) {
    if (Record.Parts.empty()) {
        EncodeEditPart(Out, Record);
        putU32(Out, Record.OldCrc);
        return;
    }
    std::string parts;
    for (const TEditRecord& p : Record.Parts) EncodeEditPart(parts, p);
    EncodeEditSet(Out, Record.Parts.size(), parts, Record.OldCrc);
}

namespace {

// The fields of one edit after its Start, up to its check.
bool decodeEditFields(std::string_view& In, TEditRecord& Record) {
    uint8_t attr = 0;
    uint64_t breaks = 0;
    if (!GetVarint(In, Record.Deleted) || !GetVarint(In, Record.Inserted) || !GetVarint(In, Record.Prefix) ||
        !GetVarint(In, Record.Suffix) || !GetString(In, Record.Middle) || !getByte(In, attr) ||
        attr > static_cast<uint8_t>(TRowAttribute::EndOfFile) || !GetVarint(In, breaks) || breaks > In.size())
        return false;
    Record.LastAttribute = static_cast<TRowAttribute>(attr);
    Record.Breaks.clear();
    uint64_t at = 0;
    for (uint64_t i = 0; i < breaks; ++i) {
        uint64_t gap = 0;
        if (!GetVarint(In, gap)) return false;
        at += gap;
        Record.Breaks.push_back(at);
    }
    return true;
}

// The parts of a set, after its mark. Each takes several bytes, so a count larger than what
// is left is damage (and never makes a large allocation).
bool decodeEditParts(std::string_view& In, TEditRecord& Record) {
    uint64_t count = 0;
    if (!GetVarint(In, count) || count == 0 || count > In.size()) return false;
    Record.Parts.resize(static_cast<std::size_t>(count));
    for (TEditRecord& p : Record.Parts) {
        if (!GetVarint(In, p.Start) || p.Start == kEditSetMark || !decodeEditFields(In, p)) return false;
    }
    return true;
}

} // namespace

bool DecodeEdit(std::string_view& In, TEditRecord& Record) {
    Record = TEditRecord{};
    if (!GetVarint(In, Record.Start)) return false;
    if (!(Record.Start == kEditSetMark ? decodeEditParts(In, Record) : decodeEditFields(In, Record))) return false;
    if (In.size() < 4) return false;
    Record.OldCrc = getU32(In.data());
    In.remove_prefix(4);
    return true;
}

bool TJournalSource::Read(uint64_t Offset, std::size_t N, std::string& Out) const {
    if (Offset > FSize || N > FSize - Offset) return false;
    if (FFd < 0) {
        Out.append(FBytes.substr(static_cast<std::size_t>(Offset), N));
        return true;
    }
    const std::size_t start = Out.size();
    Out.resize(start + N);
    std::size_t done = 0;
    while (done < N) {
        const ssize_t n = ::pread(FFd, Out.data() + start + done, N - done, static_cast<off_t>(Offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            Out.resize(start);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool TJournalSource::Crc(uint64_t Offset, uint64_t N, uint32_t& Crc) const {
    if (Offset > FSize || N > FSize - Offset) return false;
    if (FFd < 0) {
        Crc = Crc32(FBytes.substr(static_cast<std::size_t>(Offset), static_cast<std::size_t>(N)), Crc);
        return true;
    }
    constexpr std::size_t kPiece = 1 << 20;
    std::string piece;
    for (uint64_t done = 0; done < N;) {
        const auto n = static_cast<std::size_t>(std::min<uint64_t>(kPiece, N - done));
        piece.clear();
        if (!Read(Offset + done, n, piece)) return false;
        Crc = Crc32(piece, Crc);
        done += n;
    }
    return true;
}

TFrameReader::TFrameReader(const TJournalSource& Source) : FSource(Source) {
    std::string magic;
    FMagicOk = Source.Read(0, kMagic.size(), magic) && magic == kMagic;
    FPos = FMagicOk ? kMagic.size() : 0;
}

bool TFrameReader::Next(TFrame& Frame, TPayloads Keep) {
    const uint64_t size = FSource.Size();
    std::string head;
    if (!FMagicOk || size - FPos < kFrameOverhead || !FSource.Read(FPos, 5, head)) return false;
    const uint64_t length = getU32(head.data() + 1);
    if (length > size - FPos - kFrameOverhead) return false;
    const auto kind = static_cast<TFrameKind>(head[0]);
    const bool keep = Keep == TPayloads::All || kind == TFrameKind::Header || kind == TFrameKind::Page;
    uint32_t crc = Crc32(head);
    FPayload.clear();
    if (keep) {
        if (!FSource.Read(FPos + 5, static_cast<std::size_t>(length), FPayload)) return false;
        crc = Crc32(FPayload, crc);
    } else if (!FSource.Crc(FPos + 5, length, crc)) {
        return false;
    }
    std::string stored;
    if (!FSource.Read(FPos + 5 + length, 4, stored) || crc != getU32(stored.data())) return false;
    Frame.Kind = kind;
    Frame.Payload = FPayload;
    FPos += kFrameOverhead + length;
    return true;
}

} // namespace quire::journal

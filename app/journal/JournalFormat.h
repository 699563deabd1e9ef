// The recovery journal's file format: checksummed frames, numbers and strings, the page's facts.
#pragma once

#include "RowState.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quire::journal {

// A journal file is kMagic followed by frames. A frame is its kind (one byte), the length of
// its payload (32-bit little-endian), the payload, and the CRC-32 of the kind, length and
// payload (32-bit little-endian), so that a frame cut short or damaged by a crash is seen as
// such and nothing after it is trusted. A file holds a Header, a Page and a Snapshot frame,
// then Edits and Page frames in the order they were written.
inline constexpr std::string_view kMagic = "QUIREJ1\n";
inline constexpr std::size_t kFrameOverhead = 1 + 4 + 4;

enum class TFrameKind : uint8_t {
    Header = 'H',   // which journal this is
    Page = 'P',     // the page's file name, code, line end, mode and file stamp
    Snapshot = 'S', // the whole text as rows
    Edits = 'E',    // edit records since the snapshot (or the frame before)
};

// Who wrote the file: the page's journal id, the file's generation (a page's journal starts a
// new file, one generation higher, for each fresh snapshot), the writer's process and when
// the journal was begun (milliseconds since the epoch).
struct TJournalHeader {
    std::string Id;
    uint64_t Generation = 0;
    uint64_t Pid = 0;
    int64_t CreatedMs = 0;
};

// The file a page's text came from, as it was on disk when read or last written.
struct TJournalStamp {
    bool Exists = false;
    int64_t Size = 0;
    int64_t ModifiedNs = 0;
    uint64_t Inode = 0;
    uint64_t Device = 0;
    bool operator==(const TJournalStamp&) const = default;
};

// What, besides the text, a page needs to come back as it was: its file (UTF-8, empty for a
// page never saved), the code and line end it is saved in, its mode, the facts that make a
// save ask first (the text was cut at a NUL; the file did not survive its code), and its table
// of the characters code page 932 lacks (each user-defined code with its character, 0 for a
// code the text itself holds), without which those characters would come back as other ones.
struct TJournalPage {
    std::string FileName;
    std::string KanjiCode;
    std::string LineEndCode;
    std::string Mode;
    bool CutAtNul = false;
    bool KeepsBytes = true;
    TJournalStamp Stamp;
    bool HasCharTable = false;
    bool ExactUnicode = true;
    std::vector<std::pair<int, char32_t>> CharTable;
    bool operator==(const TJournalPage&) const = default;
};

// One edit: rows Start..Start+Deleted-1 were replaced by Inserted rows. The old rows' text
// (each LineEnd row followed by CR LF) and the new rows' text share Prefix bytes at the start
// and Suffix bytes at the end; Middle is what stands between them in the new text. Breaks
// are the offsets in the new text where a Wrapped row ends; LastAttribute is the attribute of
// the last new row (a LineEnd row ends with CR LF, any other takes the text's tail). OldCrc
// is the CRC-32 of the old text: replaying checks it, so a record never applies to rows it
// was not made for.
//
// Many edits made as one (a replace-all, its undo or redo) are one record of Parts, each an
// edit as above applied to the rows the parts before it left, all of them or none. OldCrc then
// checks the old text of every part in turn, and the record's own fields above are unused.
// It is written with kEditSetMark where a record's Start stands (a row no text has, so a
// reader that does not know sets stops there rather than applying it wrongly), the number of
// parts, the parts without their checks, and OldCrc.
inline constexpr uint64_t kEditSetMark = UINT64_MAX;

struct TEditRecord {
    uint64_t Start = 0;
    uint64_t Deleted = 0;
    uint64_t Inserted = 0;
    uint64_t Prefix = 0;
    uint64_t Suffix = 0;
    std::string_view Middle;
    TRowAttribute LastAttribute = TRowAttribute::LineEnd;
    std::vector<uint64_t> Breaks;
    uint32_t OldCrc = 0;
    std::vector<TEditRecord> Parts;
};

uint32_t Crc32(std::string_view Bytes, uint32_t Crc = 0) noexcept;

void PutVarint(std::string& Out, uint64_t Value);
void PutString(std::string& Out, std::string_view Value);
// Each reader takes its value from the front of In; false (In unchanged or partly read) when
// In ends too early or the value is malformed.
bool GetVarint(std::string_view& In, uint64_t& Value);
bool GetString(std::string_view& In, std::string_view& Value);

// A frame written in place: BeginFrame appends its kind and room for its length and returns
// where it starts; the payload is appended to Out; EndFrame fills in the length and appends
// the checksum. False from EndFrame when the payload is too long for a frame.
std::size_t BeginFrame(std::string& Out, TFrameKind Kind);
bool EndFrame(std::string& Out, std::size_t Start);
void AppendFrame(std::string& Out, TFrameKind Kind, std::string_view Payload);

std::string EncodeHeader(const TJournalHeader& Header);
bool DecodeHeader(std::string_view Payload, TJournalHeader& Header);
std::string EncodePage(const TJournalPage& Page);
bool DecodePage(std::string_view Payload, TJournalPage& Page);
void EncodeEdit(std::string& Out, const TEditRecord& Record);
bool DecodeEdit(std::string_view& In, TEditRecord& Record);
// A set of edits encoded as its parts come: each part without its check, then the record of
// them all (Count parts, the check of their old text in turn).
void EncodeEditPart(std::string& Out, const TEditRecord& Part);
void EncodeEditSet(std::string& Out, uint64_t Count, std::string_view EncodedParts, uint32_t OldCrc);

struct TFrame {
    TFrameKind Kind = TFrameKind::Header;
    std::string_view Payload; // empty when the payload was only checked, not kept
};

// The bytes of a journal file: in memory, or in an open file read piece by piece, so that a
// file of any size is walked without being held whole.
class TJournalSource {
public:
    explicit TJournalSource(std::string_view Bytes) noexcept : FBytes(Bytes), FSize(Bytes.size()) {}
    // Fd stays the caller's and open while the source is used; Size is the file's size.
    TJournalSource(int Fd, uint64_t Size) noexcept : FFd(Fd), FSize(Size) {}
    uint64_t Size() const noexcept { return FSize; }
    // Appends N bytes from Offset to Out; false when they cannot all be read.
    bool Read(uint64_t Offset, std::size_t N, std::string& Out) const;
    // Continues Crc over N bytes from Offset, reading them in pieces; false when they cannot
    // all be read.
    bool Crc(uint64_t Offset, uint64_t N, uint32_t& Crc) const;

private:
    std::string_view FBytes;
    int FFd = -1;
    uint64_t FSize = 0;
};

// Which payloads a walk of the frames keeps: all of them, or only those of the Header and
// Page frames (the others are checked against their checksums without being held).
enum class TPayloads { All, FactsOnly };

// Walks the frames of a journal file's bytes. Next stops at the end or at the first frame
// that is cut short or fails its checksum; GoodEnd is then the length of the bytes that hold
// whole frames, and Torn tells whether anything followed them. A kept payload is read into a
// buffer of the reader's own: it stays valid until the next call of Next, or is taken over
// with TakePayload.
class TFrameReader {
public:
    explicit TFrameReader(const TJournalSource& Source);
    bool MagicOk() const noexcept { return FMagicOk; }
    bool Next(TFrame& Frame, TPayloads Keep = TPayloads::All);
    std::string TakePayload() { return std::move(FPayload); }
    uint64_t GoodEnd() const noexcept { return FPos; }
    bool Torn() const noexcept { return FPos < FSource.Size(); }

private:
    const TJournalSource& FSource;
    uint64_t FPos = 0;
    bool FMagicOk = false;
    std::string FPayload;
};

} // namespace quire::journal

// TJournalReader: a journal's snapshot and edits replayed into the page's text.
#include "JournalReader.h"

#include "SplitVector.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace quire {

using namespace journal;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The rows being rebuilt. Invariant: every row's bytes lie either in the snapshot (Base) or
// in Arena, which grows by the new rows of each record, so rows are moved as small records
// and no row text is copied until the whole text is put together. Arena holds the new rows
// of every record, also those replaced since: when it must grow and more of it holds such
// rows than rows in use (and than some room, at least a few bytes a row so that the walk over
// the rows is paid for), only the rows in use move to the new arena. So records that each
// rewrite a long line cost that line a few times, not once a record.
class ReplayRows {
public:
    // The snapshot's payload: a row count, then the rows, each ended by LF (LineEnd) or CR
    // (Wrapped), the last one perhaps by the end (EndOfFile). False when the bytes do not
    // hold that many rows.
    bool Load(std::string Snapshot);
    // Applies one edit record (a set: all its parts); false (the rows untouched) when it does
    // not fit them.
    bool Apply(const TEditRecord& R);
    std::string Text() const;
    uint64_t HeldBytes() const noexcept { return FHeld; }
    uint64_t BuiltBytes() const noexcept { return FBuilt; }

private:
    struct Ref {
        uint64_t Offset;
        uint32_t Length;
        TRowAttribute Attribute;
        bool InArena;
    };
    static constexpr std::size_t kCompactRoom = std::size_t(1) << 20;
    static constexpr std::size_t kCompactRoomPerRow = 16;

    std::string_view bytes(const Ref& r) const {
        return (r.InArena ? std::string_view(FArena) : std::string_view(FBase))
            .substr(static_cast<std::size_t>(r.Offset), r.Length);
    }
    // Each piece of the text of rows Start..Start+Count-1 in turn: a row's bytes, then CR LF
    // after a LineEnd row.
    template <typename Piece>
    void forEachPiece(std::size_t Start, std::size_t Count, Piece piece) const {
        for (std::size_t i = Start; i < Start + Count; ++i) {
            piece(bytes(FRows[i]));
            if (FRows[i].Attribute == TRowAttribute::LineEnd) piece(kCrLf);
        }
    }
    // Appends N bytes of that text, from its byte From, to the arena (whose room was made).
    void appendText(std::size_t Start, std::size_t Count, uint64_t From, uint64_t N);
    // What the parts of a set applied so far replaced, to put back should a later one not fit.
    struct TApplied {
        std::size_t Start, Inserted, RemovedFrom, RemovedCount;
    };
    struct TUndoLog {
        std::vector<TApplied> Applied;
        std::vector<Ref> Removed;
    };
    // Applies one edit. With Log (a part of a set) its old text continues the check in *SetCrc
    // rather than being checked on its own, and what it replaced goes to Log.
    bool applyEdit(const TEditRecord& R, uint32_t* SetCrc, TUndoLog* Log);
    bool applySet(const TEditRecord& R);
    void undo(const TUndoLog& Log);
    // Replaces the refs of rows Start..Start+Count-1 by Rows, keeping the arena's count in use.
    void replaceRefs(std::size_t Start, std::size_t Count, const Ref* Rows, std::size_t N);
    // The new rows of R, taken from the new text Text (which starts at Arena offset At).
    bool splitNew(const TEditRecord& R, std::string_view Text, uint64_t At, std::vector<Ref>& Rows) const;
    // Makes room in the arena for Needed more bytes: a larger arena, or, once most of it holds
    // rows replaced since, a fresh one with only the rows in use.
    void makeRoom(uint64_t Needed);
    void held(std::size_t Extra = 0) { FHeld = std::max<uint64_t>(FHeld, FBase.size() + FArena.size() + Extra); }

    std::string FBase;
    std::string FArena;
    uint64_t FArenaInUse = 0; // the arena's bytes that rows still use
    SplitVector<Ref> FRows;
    uint64_t FHeld = 0;
    uint64_t FBuilt = 0;
};

bool ReplayRows::Load(std::string Snapshot) {
    FBase = std::move(Snapshot);
    std::string_view serial = FBase;
    uint64_t count = 0;
    if (!GetVarint(serial, count)) return false;
    const char* const begin = serial.data();
    const char* const end = begin + serial.size();
    const char* p = begin;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', serial.size()));
    const uint64_t base = static_cast<uint64_t>(serial.data() - FBase.data());
    FRows.Reserve(static_cast<std::size_t>(std::min<uint64_t>(count, serial.size() + 1)));
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        if (cr && cr < p) cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        const bool wrapped = cr && (!lf || cr < lf);
        const char* stop = wrapped ? cr : lf ? lf : end;
        const auto length = static_cast<uint64_t>(stop - p);
        if (length > UINT32_MAX) return false;
        const TRowAttribute attr = stop == end ? TRowAttribute::EndOfFile
                                   : wrapped   ? TRowAttribute::Wrapped
                                               : TRowAttribute::LineEnd;
        FRows.PushBack(Ref{base + static_cast<uint64_t>(p - begin), static_cast<uint32_t>(length), attr, false});
        p = stop == end ? end : stop + 1;
    }
    // An empty last row without a line end leaves no bytes behind it.
    if (FRows.Size() + 1 == count) FRows.PushBack(Ref{base + serial.size(), 0, TRowAttribute::EndOfFile, false});
    held();
    return FRows.Size() == count;
}

void ReplayRows::appendText(std::size_t Start, std::size_t Count, uint64_t From, uint64_t N) {
    uint64_t at = 0;
    forEachPiece(Start, Count, [&](std::string_view piece) {
        const uint64_t end = at + piece.size();
        if (N > 0 && end > From) {
            const auto skip = static_cast<std::size_t>(From > at ? From - at : 0);
            const auto take = static_cast<std::size_t>(std::min<uint64_t>(piece.size() - skip, N));
            FArena.append(piece.data() + skip, take); // within the room made: the piece stays put
            From += take;
            N -= take;
        }
        at = end;
    });
}

bool ReplayRows::splitNew(const TEditRecord& R, std::string_view Text, uint64_t At, std::vector<Ref>& Rows) const {
    std::size_t pos = 0;
    std::size_t b = 0;
    auto add = [&](std::size_t to, TRowAttribute attr) {
        Rows.push_back(Ref{At + pos, static_cast<uint32_t>(to - pos), attr, true});
    };
    for (;;) {
        const std::size_t crlf = Text.find(kCrLf, pos);
        if (b < R.Breaks.size() && (crlf == std::string_view::npos || R.Breaks[b] <= crlf)) {
            if (R.Breaks[b] < pos || R.Breaks[b] > Text.size()) return false;
            add(static_cast<std::size_t>(R.Breaks[b]), TRowAttribute::Wrapped);
            pos = static_cast<std::size_t>(R.Breaks[b++]);
        } else if (crlf != std::string_view::npos) {
            add(crlf, TRowAttribute::LineEnd);
            pos = crlf + 2;
        } else {
            break;
        }
    }
    if (R.LastAttribute != TRowAttribute::LineEnd)
        add(Text.size(), R.LastAttribute);
    else if (pos != Text.size())
        return false;
    return Rows.size() == R.Inserted && b == R.Breaks.size();
}

bool ReplayRows::Apply(const TEditRecord& R) { return R.Parts.empty() ? applyEdit(R, nullptr, nullptr) : applySet(R); }

bool ReplayRows::applySet(const TEditRecord& R) {
    TUndoLog log;
    uint32_t crc = 0;
    for (const TEditRecord& part : R.Parts) {
        if (!applyEdit(part, &crc, &log)) {
            undo(log);
            return false;
        }
    }
    if (crc == R.OldCrc) return true;
    undo(log);
    return false;
}

void ReplayRows::undo(const TUndoLog& Log) {
    for (auto a = Log.Applied.rbegin(); a != Log.Applied.rend(); ++a)
        replaceRefs(a->Start, a->Inserted, Log.Removed.data() + a->RemovedFrom, a->RemovedCount);
}

void ReplayRows::replaceRefs(std::size_t Start, std::size_t Count, const Ref* Rows, std::size_t N) {
    for (std::size_t i = Start; i < Start + Count; ++i)
        if (FRows[i].InArena) FArenaInUse -= FRows[i].Length;
    for (std::size_t i = 0; i < N; ++i)
        if (Rows[i].InArena) FArenaInUse += Rows[i].Length;
    FRows.Delete(Start, Count);
    FRows.InsertN(Start, N, Ref{});
    for (std::size_t i = 0; i < N; ++i) FRows[Start + i] = Rows[i];
}

bool ReplayRows::applyEdit(const TEditRecord& R, uint32_t* SetCrc, TUndoLog* Log) {
    const std::size_t size = FRows.Size();
    if (R.Start > size || R.Deleted > size - R.Start) return false;
    const auto start = static_cast<std::size_t>(R.Start);
    const auto deleted = static_cast<std::size_t>(R.Deleted);
    // The old text is checked where it lies, not copied.
    uint64_t oldSize = 0;
    uint32_t crc = SetCrc ? *SetCrc : 0;
    forEachPiece(start, deleted, [&](std::string_view piece) {
        crc = Crc32(piece, crc);
        oldSize += piece.size();
    });
    if ((!SetCrc && crc != R.OldCrc) || R.Prefix > oldSize || R.Suffix > oldSize - R.Prefix) return false;
    const uint64_t newSize = R.Prefix + R.Middle.size() + R.Suffix;
    // Room for the whole new text first: the old rows' bytes it copies may lie in the arena.
    if (FArena.capacity() - FArena.size() < newSize) makeRoom(newSize);
    const uint64_t at = FArena.size();
    appendText(start, deleted, 0, R.Prefix);
    FArena += R.Middle;
    appendText(start, deleted, oldSize - R.Suffix, R.Suffix);
    std::vector<Ref> rows;
    const std::string_view text = std::string_view(FArena).substr(static_cast<std::size_t>(at));
    if ((R.Inserted > 0 && !splitNew(R, text, at, rows)) || (R.Inserted == 0 && !text.empty())) {
        FArena.resize(static_cast<std::size_t>(at));
        return false;
    }
    FBuilt += newSize;
    if (SetCrc) *SetCrc = crc;
    if (Log) {
        Log->Applied.push_back(TApplied{start, rows.size(), Log->Removed.size(), deleted});
        for (std::size_t i = start; i < start + deleted; ++i) Log->Removed.push_back(FRows[i]);
    }
    replaceRefs(start, deleted, rows.data(), rows.size());
    held();
    return true;
}

void ReplayRows::makeRoom(uint64_t Needed) {
    const uint64_t room = std::max<uint64_t>(kCompactRoom, uint64_t(FRows.Size()) * kCompactRoomPerRow);
    std::string fresh;
    if (FArena.size() - FArenaInUse <= std::max(room, FArenaInUse)) {
        // Mostly in use: a larger arena, the bytes as they are.
        fresh.reserve(static_cast<std::size_t>(std::max<uint64_t>(FArena.size() + Needed, FArena.capacity() * 3 / 2)));
        held(fresh.capacity());
        fresh.append(FArena);
    } else {
        // Mostly bytes of rows replaced since: only the rows in use move to the new arena.
        fresh.reserve(static_cast<std::size_t>((FArenaInUse + Needed) * 3 / 2));
        held(fresh.capacity());
        for (std::size_t i = 0; i < FRows.Size(); ++i) {
            Ref& r = FRows[i];
            if (!r.InArena) continue;
            const std::string_view b = bytes(r);
            r.Offset = fresh.size();
            fresh += b;
        }
    }
    FArena.swap(fresh);
}

std::string ReplayRows::Text() const {
    std::size_t size = 0;
    forEachPiece(0, FRows.Size(), [&](std::string_view piece) { size += piece.size(); });
    std::string text;
    text.reserve(size);
    forEachPiece(0, FRows.Size(), [&](std::string_view piece) { text += piece; });
    return text;
}

// Walks the frames of a file in the order the writer made them: Header, Page, Snapshot, then
// Edits and Page. OnSnapshot (given the reader, to take the payload over) and OnEdits return
// false when their frame cannot be used; the walk ends there and the content is marked
// incomplete.
template <typename Snapshot, typename Edits>
TJournalContent walk(const TJournalSource& File, TPayloads Keep, Snapshot onSnapshot, Edits onEdits) {
    TJournalContent c;
    TFrameReader reader(File);
    TFrame f;
    bool header = false, page = false, ok = true;
    uint64_t usedEnd = reader.GoodEnd();
    while (ok && reader.Next(f, Keep)) {
        switch (f.Kind) {
        case TFrameKind::Header: ok = !header && DecodeHeader(f.Payload, c.Header) && (header = true); break;
        case TFrameKind::Page: ok = header && DecodePage(f.Payload, c.Page) && (page = true); break;
        case TFrameKind::Snapshot: ok = page && !c.Usable && onSnapshot(reader) && (c.Usable = true); break;
        case TFrameKind::Edits: ok = c.Usable && onEdits(f.Payload, c.EditCount); break;
        default: break; // a frame this version does not know
        }
        if (ok) usedEnd = reader.GoodEnd();
    }
    c.LostBytes = File.Size() - usedEnd;
    c.Complete = c.LostBytes == 0;
    return c;
}

// Runs Read; a file that needs more memory than there is gives a content that says so.
template <typename Read>
TJournalContent withinMemory(Read read) {
    try {
        return read();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    TJournalContent c;
    c.Complete = false;
    c.OutOfMemory = true;
    return c;
}

} // namespace

TJournalContent TJournalReader::Summary(const TJournalSource& File) {
    return withinMemory([&] {
        return walk(
            File, TPayloads::FactsOnly, [](TFrameReader&) { return true; },
            [](std::string_view, uint64_t&) { return true; });
    });
}

TJournalContent TJournalReader::Replay(const TJournalSource& File) {
    return withinMemory([&] {
        ReplayRows rows;
        TJournalContent c = walk(
            File, TPayloads::All, [&](TFrameReader& reader) { return rows.Load(reader.TakePayload()); },
            [&](std::string_view payload, uint64_t& applied) {
                // The records of one frame apply one by one; a record that does not fit stops
                // the replay after the ones before it.
                TEditRecord r;
                while (!payload.empty()) {
                    if (!DecodeEdit(payload, r) || !rows.Apply(r)) return false;
                    ++applied;
                }
                return true;
            });
        if (c.Usable) c.Text = rows.Text();
        c.HeldBytes = rows.HeldBytes();
        c.BuiltBytes = rows.BuiltBytes();
        return c;
    });
}

} // namespace quire

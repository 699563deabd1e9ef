// TJournalReader: a journal's snapshot and edits replayed into the page's text.
#include "JournalReader.h"

#include "SplitVector.h"

#include <cstring>

namespace quire {

using namespace journal;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// The rows being rebuilt. Invariant: every row's bytes lie either in the snapshot (Base) or
// in Arena, which only grows, so rows are moved as small records and no row text is copied
// until the whole text is put together.
class ReplayRows {
public:
    explicit ReplayRows(std::string_view Base) : FBase(Base) {}

    // The snapshot's rows: Count rows, each ended by LF (LineEnd) or CR (Wrapped), the last
    // one perhaps by the end (EndOfFile). False when the bytes do not hold Count rows.
    bool Load(uint64_t Count, std::string_view Serial);
    // Applies one edit record; false (the rows untouched) when it does not fit them.
    bool Apply(const TEditRecord& R);
    std::string Text() const;

private:
    struct Ref {
        uint64_t Offset;
        uint32_t Length;
        TRowAttribute Attribute;
        bool InArena;
    };
    std::string_view bytes(const Ref& r) const {
        return (r.InArena ? std::string_view(FArena) : FBase).substr(static_cast<std::size_t>(r.Offset), r.Length);
    }
    // The new rows of R, taken from the new text Text (which starts at Arena offset At).
    bool splitNew(const TEditRecord& R, std::string_view Text, uint64_t At, std::vector<Ref>& Rows) const;

    std::string_view FBase;
    std::string FArena;
    SplitVector<Ref> FRows;
};

bool ReplayRows::Load(uint64_t Count, std::string_view Serial) {
    const char* const begin = Serial.data();
    const char* const end = begin + Serial.size();
    const char* p = begin;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', Serial.size()));
    const uint64_t base = static_cast<uint64_t>(Serial.data() - FBase.data());
    FRows.Reserve(static_cast<std::size_t>(std::min<uint64_t>(Count, Serial.size() + 1)));
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
    if (FRows.Size() + 1 == Count) FRows.PushBack(Ref{base + Serial.size(), 0, TRowAttribute::EndOfFile, false});
    return FRows.Size() == Count;
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

bool ReplayRows::Apply(const TEditRecord& R) {
    const std::size_t size = FRows.Size();
    if (R.Start > size || R.Deleted > size - R.Start) return false;
    const auto start = static_cast<std::size_t>(R.Start);
    const auto deleted = static_cast<std::size_t>(R.Deleted);
    std::string old;
    for (std::size_t i = start; i < start + deleted; ++i) {
        old += bytes(FRows[i]);
        if (FRows[i].Attribute == TRowAttribute::LineEnd) old += kCrLf;
    }
    if (Crc32(old) != R.OldCrc || R.Prefix > old.size() || R.Suffix > old.size() - R.Prefix) return false;
    const uint64_t at = FArena.size();
    FArena.append(old, 0, static_cast<std::size_t>(R.Prefix));
    FArena += R.Middle;
    FArena.append(old, old.size() - static_cast<std::size_t>(R.Suffix), static_cast<std::size_t>(R.Suffix));
    std::vector<Ref> rows;
    if (R.Inserted > 0 && !splitNew(R, std::string_view(FArena).substr(static_cast<std::size_t>(at)), at, rows)) {
        FArena.resize(static_cast<std::size_t>(at));
        return false;
    }
    if (R.Inserted == 0 && FArena.size() != at) {
        FArena.resize(static_cast<std::size_t>(at));
        return false;
    }
    FRows.Delete(start, deleted);
    FRows.InsertN(start, rows.size(), Ref{});
    for (std::size_t i = 0; i < rows.size(); ++i) FRows[start + i] = rows[i];
    return true;
}

std::string ReplayRows::Text() const {
    std::size_t size = 0;
    for (std::size_t i = 0; i < FRows.Size(); ++i)
        size += FRows[i].Length + (FRows[i].Attribute == TRowAttribute::LineEnd ? 2 : 0);
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < FRows.Size(); ++i) {
        text += bytes(FRows[i]);
        if (FRows[i].Attribute == TRowAttribute::LineEnd) text += kCrLf;
    }
    return text;
}

// Walks the frames of a file in the order the writer made them: Header, Page, Snapshot, then
// Edits and Page. OnSnapshot and OnEdits return false when their frame cannot be used; the
// walk ends there and the content is marked incomplete.
template <typename Snapshot, typename Edits>
TJournalContent walk(std::string_view File, Snapshot onSnapshot, Edits onEdits) {
    TJournalContent c;
    TFrameReader reader(File);
    TFrame f;
    bool header = false, page = false, ok = true;
    std::size_t usedEnd = reader.GoodEnd();
    while (ok && reader.Next(f)) {
        switch (f.Kind) {
        case TFrameKind::Header: ok = !header && DecodeHeader(f.Payload, c.Header) && (header = true); break;
        case TFrameKind::Page: ok = header && DecodePage(f.Payload, c.Page) && (page = true); break;
        case TFrameKind::Snapshot: ok = page && !c.Usable && onSnapshot(f.Payload) && (c.Usable = true); break;
        case TFrameKind::Edits: ok = c.Usable && onEdits(f.Payload, c.EditCount); break;
        default: break; // a frame this version does not know
        }
        if (ok) usedEnd = reader.GoodEnd();
    }
    c.LostBytes = File.size() - usedEnd;
    c.Complete = c.LostBytes == 0;
    return c;
}

} // namespace

TJournalContent TJournalReader::Summary(std::string_view File) {
    return walk(
        File, [](std::string_view) { return true; }, [](std::string_view, uint64_t&) { return true; });
}

TJournalContent TJournalReader::Replay(std::string_view File) {
    ReplayRows rows(File);
    TJournalContent c = walk(
        File,
        [&](std::string_view payload) {
            uint64_t count = 0;
            return GetVarint(payload, count) && rows.Load(count, payload);
        },
        [&](std::string_view payload, uint64_t& applied) {
            // The records of one frame apply one by one; a record that does not fit stops the
            // replay after the ones before it.
            TEditRecord r;
            while (!payload.empty()) {
                if (!DecodeEdit(payload, r) || !rows.Apply(r)) return false;
                ++applied;
            }
            return true;
        });
    if (c.Usable) c.Text = rows.Text();
    return c;
}

} // namespace quire

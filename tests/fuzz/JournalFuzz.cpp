// libFuzzer target: the recovery journal's reader on any bytes. Reading never fails beyond
// saying so; a file read piece by piece from its descriptor gives what its bytes read whole
// give; what Replay rebuilds, Summary also finds whole; an edit record that decodes encodes
// into bytes that decode to it again.
//
// The first byte chooses the mode. Raw: the rest is the file. Frames: the rest is cut into
// frames (a byte choosing the kind, a byte giving the length, the payload) that are written
// with correct lengths and checksums, after a valid header and page when the mode says so,
// so that the fuzzer reaches the snapshot and the records instead of failing checksums.
#include "JournalReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

using namespace quire;
using namespace quire::journal;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

std::string framed(const uint8_t* data, size_t size, bool facts) {
    std::string file(kMagic);
    if (facts) {
        AppendFrame(file, TFrameKind::Header, EncodeHeader(TJournalHeader{"fuzz", 1, 1, 0}));
        TJournalPage page;
        page.FileName = "/f.txt";
        page.KanjiCode = "S-JIS";
        page.LineEndCode = "CRLF";
        AppendFrame(file, TFrameKind::Page, EncodePage(page));
    }
    static const TFrameKind kinds[] = {TFrameKind::Snapshot, TFrameKind::Edits, TFrameKind::Edits,
                                       TFrameKind::Edits,    TFrameKind::Page,  TFrameKind::Header};
    for (size_t i = 0; i + 2 <= size;) {
        const auto kind = data[i] < 0xF0 ? kinds[data[i] % 6] : static_cast<TFrameKind>(data[i]);
        const size_t length = std::min<size_t>(data[i + 1] * (data[i] & 0x80 ? 16 : 1), size - i - 2);
        const std::string_view payload(reinterpret_cast<const char*>(data + i + 2), length);
        AppendFrame(file, kind, payload);
        // Whatever decodes as an edit record encodes into bytes that decode to it again.
        std::string_view in = payload;
        TEditRecord r;
        if (kind == TFrameKind::Edits && DecodeEdit(in, r)) {
            std::string again;
            EncodeEdit(again, r);
            std::string_view back = again;
            TEditRecord s;
            check(DecodeEdit(back, s) && back.empty());
            check(s.Start == r.Start && s.Deleted == r.Deleted && s.Inserted == r.Inserted && s.Prefix == r.Prefix &&
                  s.Suffix == r.Suffix && s.Middle == r.Middle && s.LastAttribute == r.LastAttribute &&
                  s.Breaks == r.Breaks && s.OldCrc == r.OldCrc && s.Parts.size() == r.Parts.size());
        }
        i += 2 + length;
    }
    return file;
}

// The same bytes read from a file descriptor, piece by piece.
TJournalContent replayFromFile(const std::string& file) {
    const int fd = ::memfd_create("journal", MFD_CLOEXEC);
    if (fd < 0) std::abort();
    check(::write(fd, file.data(), file.size()) == static_cast<ssize_t>(file.size()));
    TJournalContent c = TJournalReader::Replay(TJournalSource(fd, file.size()));
    ::close(fd);
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0];
    const std::string file = mode & 1 ? framed(data + 1, size - 1, mode & 2)
                                      : std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    const TJournalContent replayed = TJournalReader::Replay(file);
    const TJournalContent summary = TJournalReader::Summary(file);
    check(!replayed.OutOfMemory && !summary.OutOfMemory);
    check(replayed.LostBytes <= file.size() && summary.LostBytes <= file.size());
    if (replayed.Usable) {
        check(summary.Usable);
        check(summary.Header.Id == replayed.Header.Id);
        check(replayed.HeldBytes <= 16 * (file.size() + replayed.Text.size()) + (8 << 20));
    }
    const TJournalContent fromFile = replayFromFile(file);
    check(fromFile.Usable == replayed.Usable && fromFile.Text == replayed.Text &&
          fromFile.Complete == replayed.Complete && fromFile.Page == replayed.Page);
    return 0;
}

// TJournalReader: reading a recovery journal file back, up to its last whole record.
#pragma once

#include "JournalFormat.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quire {

// What a journal file holds.
struct TJournalContent {
    // The header, the page and the snapshot were read whole: there is a text to give back.
    bool Usable = false;
    journal::TJournalHeader Header;
    journal::TJournalPage Page; // as last recorded
    // Every byte of the file was a whole frame and every record applied. When not, the text
    // is the one after the last record that did (a record is never applied in part), and
    // LostBytes says how much of the file was left unused.
    bool Complete = true;
    uint64_t LostBytes = 0;
    uint64_t EditCount = 0;
    // The memory the file needed was not to be had: nothing could be read.
    bool OutOfMemory = false;
    // The page's text, each LineEnd row followed by CR LF (Replay only).
    std::string Text;
    // What rebuilding the text cost (Replay only): the most bytes of text it held at once
    // (the snapshot and the records' new rows), and the bytes of new rows it built in all.
    uint64_t HeldBytes = 0;
    uint64_t BuiltBytes = 0;
};

// Both read the file's frames one by one (a journal is never held whole), and neither raises:
// a file whose frames need more memory than there is comes back with OutOfMemory.
class TJournalReader {
public:
    // The header, the page as last recorded, and whether the file ends with whole frames,
    // without rebuilding the text (the snapshot and the records are only checked).
    static TJournalContent Summary(const journal::TJournalSource& File);
    static TJournalContent Summary(std::string_view File) { return Summary(journal::TJournalSource(File)); }
    // The text rebuilt: the snapshot, then each edit record in turn. It stops at the first
    // frame that is cut short or damaged, and at a record whose rows do not match the ones
    // it was made for (its check of the old text fails, or its new rows do not come out as
    // recorded). The memory it needs stays within a small multiple of the snapshot and the
    // text it rebuilds, however many records there are.
    static TJournalContent Replay(const journal::TJournalSource& File);
    static TJournalContent Replay(std::string_view File) { return Replay(journal::TJournalSource(File)); }
};

} // namespace quire

// TStoreObserver: what the document store tells one outside listener about every change of its rows.
#pragma once

#include <string_view>

namespace quire {

class TEditorScreenStrings;

// The store calls its observer (at most one, none by default) synchronously, right after a
// change of its rows, so that the listener can keep its own record of the text (a recovery
// journal) without the store knowing what it does with it. The calls must be cheap: they
// run once per keystroke.
class TStoreObserver {
public:
    virtual ~TStoreObserver() = default;

    // Rows Row..Row+Deleted-1 were replaced by the Inserted rows that now stand at
    // Row..Row+Inserted-1 of Rows. RemovedText is the text of the rows that went, each LineEnd
    // row followed by CR LF (as GetRowsText gives it). Told for every edit, undo and redo.
    virtual void RowsReplaced(const TEditorScreenStrings& Rows, int Row, int Deleted, int Inserted,
                              std::string_view RemovedText) = 0;
    // Many changes made as one (a replace-all, its undo or redo): the RowsReplaced calls between
    // these two are parts of one edit, in the order they were made.
    virtual void ChangesBegun(const TEditorScreenStrings&) {}
    virtual void ChangesEnded(const TEditorScreenStrings&) {}
    // Rows Row..Row+Count-1 are about to be replaced (Count may be 0: rows are inserted at
    // Row); Rows still holds them as they were. Told before each RowsReplaced.
    virtual void RowsChanging(const TEditorScreenStrings& /*Rows*/, int /*Row*/, int /*Count*/) {}
    // The rows were made anew as a whole (a new text, a load, Clear, a re-wrap): nothing the
    // observer knows of the old rows applies to the new ones.
    virtual void TextReplaced(const TEditorScreenStrings& Rows) = 0;
};

} // namespace quire

// TRowSearch: find and replace's search over a document's rows where they lie, without a copy of the text.
#pragma once

#include "Search.h"

#include <string>
#include <string_view>
#include <vector>

namespace quire {

class TEditorScreenStrings;

// Searches the text of a store (in its CR LF form, offsets as SelStart's) as TSearcher searches
// one string, a stretch of whole lines at a time: each stretch is read in place where the rows
// lie in their block as the text has them, else copied (TEditorScreenStrings::RowsText). The
// stretches grow from a few kilobytes near the start of the search to some megabytes, so a hit
// close by costs little and a long search little more per byte than its scan. A match may run
// over line ends (a pattern with CR LF): each stretch is then searched with enough of the lines
// after it that every match starting in it lies whole in what is searched.
class TRowSearch {
public:
    // Rows must stay unchanged while the search is used.
    TRowSearch(const TEditorScreenStrings& Rows, std::string_view Pattern, TSearchOptions Options);

    // As TSearcher::Find on the whole text.
    bool Find(int& SelStart, int& SelLength);

    // The starts of the matches that replacing one match after another with Replacement from
    // the selection on would replace, as offsets in the text as it stands now, ascending (see
    // TFindReplace::ReplaceLoop for why they are the same matches).
    std::vector<int> FindAll(int SelStart, int SelLength, std::string_view Replacement);

private:
    // A stretch of whole lines: rows FirstRow..PrimaryEnd-1 are the stretch proper, the rows up to
    // LastRow-1 after them are read as well so that matches starting in it lie whole in Text.
    struct TStretch {
        int FirstRow = 0, PrimaryEnd = 0, LastRow = 0;
        int Offset = 0;       // of FirstRow in the text
        int PrimaryBytes = 0; // of the stretch proper
        std::string_view Text;
        int Following = -1; // the byte after Text in the text, or -1 at its end
    };
    TStretch stretch(int FirstRow, int PrimaryEnd);
    // The stretch of whole lines from the line of row Row on (forward) or up to it (backward).
    TStretch forwardStretch(int Row, std::size_t Bytes);
    TStretch backwardStretch(int Row, std::size_t Bytes);
    // Searches S from First (an offset in the text) toward its end or start; End, when at least
    // 0, is where the text is cut for the search, with Following after it.
    bool findIn(const TStretch& S, int First, bool Forward, int& Start, int End = -1, int Following = -1);
    bool findForward(int First, int& Start);
    bool findBackward(int First, int& Start, int End, int Following);

    const TEditorScreenStrings& FRows;
    std::string FPattern;
    TSearchOptions FOptions;
    int FLineEnds = 0; // CR and LF bytes in the pattern
    std::string FBuffer;
};

} // namespace quire

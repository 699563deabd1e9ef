// TEditorStrings: the editor's Lines, the document seen as logical lines.
#pragma once

#include "EditorLink.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quire {

class TEditorScreenStrings;
class TTextLoader;

// Holds no text: every operation works on the owning editor's document. Indices are
// logical lines. Put, Insert, Add and Delete drop the selection, hide the caret while they
// run, are one undo step each and place the caret after the changed text. An index beyond
// the last line raises std::out_of_range.
class TEditorStrings {
public:
    explicit TEditorStrings(TEditorLink& Editor) : FEditor(Editor) {}

    int Count() const;
    std::string Get(int Index) const;
    void Put(int Index, std::string_view S);
    int Add(std::string_view S);
    void Insert(int Index, std::string_view S);
    void Delete(int Index);
    void Clear();

    std::string Text() const;
    void SetText(std::string_view Value);
    // Replaces the text as SetText does, with a text Fill hands to the loader in pieces; the
    // document stays as it was when Fill raises.
    void LoadText(const std::function<void(TTextLoader&)>& Fill);
    // Replaces the text with the lines of Source; the caret goes below the last line.
    void Assign(const std::vector<std::string>& Source);
    void LoadFromFile(const std::string& FileName);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    // The first row of logical line Index.
    int LineToRow(int Index) const;

private:
    TEditorScreenStrings& rows() const { return FEditor.ScreenStrings(); }
    void checkIndex(int Index) const;

    TEditorLink& FEditor;
    int FUpdateCount = 0;
};

} // namespace quire

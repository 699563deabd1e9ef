// libFuzzer target: the input is a program of edits (ReplaceRows, Undo, Redo, wrap switches
// and rule changes) run against a store and mirrored on a plain string; after every step the
// store's invariants must hold and its text must equal the string.
#include "StoreInvariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace quire;
using namespace quire::test;

namespace {

class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool Empty() const { return p_ >= end_; }
    uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
    std::string Bytes(size_t n) {
        std::string s;
        while (n-- > 0 && p_ < end_) s.push_back(static_cast<char>(*p_++));
        return s;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    FakeEditor e;
    e.Screen = 1 + in.Byte() % 4;
    TEditorScreenStrings& s = *e.Store;
    std::string model;
    TModelHistory history;
    for (int step = 0; step < 64 && !in.Empty(); ++step) {
        const uint8_t op = in.Byte();
        switch (op % 8) {
        default: { // ReplaceRows
            const int n = s.Count();
            const int row = in.Byte() % (n + 1);
            const int count = std::min<int>(in.Byte() % 4, n - row);
            std::string text = in.Bytes(in.Byte() % 12);
            for (char& c : text)
                if (c == '\0') c = ' '; // NUL is a separate matter (the text of a file stops there)
            if (count == 0 && text.empty()) break;
            auto [offset, length] = RowSpan(s, row, count);
            history.Edited(model, s.UndoObj().ListMax());
            model = NormalizedLineEnds(model.replace(offset, length, text));
            s.ReplaceRows(row, count, text);
            break;
        }
        case 5:
            history.StepBack(model);
            s.Undo();
            break;
        case 6:
            history.StepForward(model);
            s.Redo();
            break;
        case 7: {
            const uint8_t what = in.Byte();
            if (what & 1) {
                s.SetWordWrap(!s.WordWrap());
                history.Clear();
            } else {
                TEditorWrapOption& w = s.WrapOption();
                w.BeginUpdate();
                w.SetWrapByte(in.Byte());
                w.SetWordBreak(what & 2);
                w.SetFollowPunctuation(what & 4);
                w.SetLeading(what & 8);
                w.SetFollowRetMark(what & 16);
                w.EndUpdate();
                if (s.WordWrap()) history.Clear();
            }
            break;
        }
        }
        if (s.UndoObj().CanUndo() != !history.Undo.empty()) fail("CanUndo disagrees with the model");
        if (s.UndoObj().CanRedo() != !history.Redo.empty()) fail("CanRedo disagrees with the model");
        const std::string problem = CheckStoreInvariants(s, model);
        if (!problem.empty()) fail(problem + " at step " + std::to_string(step));
    }
    return 0;
}

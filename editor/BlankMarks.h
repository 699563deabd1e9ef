// Marks drawn over blanks: full-width spaces, half-width spaces and tabs, each in a colour of
// its own, so that the user can see what white space a row holds.
#pragma once

#include "FountainColor.h"

class QPainter;
class QRect;

namespace quire {

class TEditor;

struct TBlankMarks {
    bool Space = false;  // full-width space: a box in its two cells
    bool HSpace = false; // half-width space: a short stroke at mid-height
    bool Tab = false;    // tab: an arrow across one cell
    TColor SpaceColor = 0xC0C0C0, HSpaceColor = 0xC0C0C0, TabColor = 0xC0C0C0;

    bool Any() const noexcept { return Space || HSpace || Tab; }
};

// Draws the marks of row Row of Editor, whose column 0 is at X and top at Y, inside Rect (the
// painted part of the row). Selected draws them in the selection's text colour.
void DrawBlankMarks(TEditor& Editor, QPainter& Painter, const TBlankMarks& Marks, int Row, int X, int Y,
                    const QRect& Rect, bool Selected);

} // namespace quire

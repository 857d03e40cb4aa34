#pragma once

#include "res/dialogs.h"

#include <functional>
#include <vector>

// How a dialog template becomes a window, as Windows' dialog manager lays
// one out, for any toolkit: the Qt window places its widgets from this, and
// the Win32 window takes from it what the system does not do itself (labels
// that grow to their text). Plain data, with no window.
namespace layout {

// A face's dialog base units, as Windows derives them: half the rounded
// average width of the 52 letters, and the font's height.
struct BaseUnits {
    int x = 0;
    int y = 0;
};
BaseUnits FromFace(int widthOf52Letters, int height);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect &) const = default;
};

// Dialog units to pixels, rounded to the nearest, as MapDialogRect converts them.
Rect ToPixels(const BaseUnits &units, int x, int y, int cx, int cy);

// A text of one line (under two lines of dialog units tall) grows to its
// text in a face wider than the template's, rather than being cut.
bool IsOneLineLabel(const res::ControlTemplate &control);

// Labels, frames and icons: nothing a user acts on, and clicks pass through them.
bool TakesFocus(res::ControlKind kind);

// A control as it goes into the window. The controls come in template
// order, which is also the tab order and the stacking order: an earlier
// control lies above a later one.
struct Placed {
    Rect rect;              // in pixels; a one-line label as wide as its text
    bool takesFocus = true; // else clicks pass through it
    bool tabStop = false;   // Tab stops on it
    int radioGroup = -1;    // radio buttons that exclude each other share a number; -1 for the rest
};

// A list column as wide as an entry whose text (its TAB laid out) is
// `textWidth` pixels: the toolkit's inset of the text on either side, and a
// pixel on either side for the focus rectangle.
int ColumnWidth(int textWidth, int textInset);

// Where each control goes; `textWidth` measures a label's text in the face.
std::vector<Placed> LayOut(const res::DialogTemplate &dialog, const BaseUnits &units,
                           const std::function<int(const char *text)> &textWidth);

} // namespace layout

#include "dialogs/layout.h"

#include <algorithm>
#include <cmath>

namespace layout {
namespace {

// A dialog unit is a quarter of the base width and an eighth of the base height.
constexpr double kUnitsPerBaseX = 4.0;
constexpr double kUnitsPerBaseY = 8.0;
// The height, in dialog units, of one line of text.
constexpr int kLineUnits = 8;
// The focus rectangle's pixel on either side of a list entry.
constexpr int kFocusRectangle = 2;

int Scaled(int units, int base, double unitsPerBase)
{
    return static_cast<int>(std::lround(units * base / unitsPerBase));
}

} // namespace

BaseUnits FromFace(int widthOf52Letters, int height)
{
    return {(widthOf52Letters / 26 + 1) / 2, height};
}

Rect ToPixels(const BaseUnits &units, int x, int y, int cx, int cy)
{
    return {Scaled(x, units.x, kUnitsPerBaseX), Scaled(y, units.y, kUnitsPerBaseY),
            Scaled(cx, units.x, kUnitsPerBaseX), Scaled(cy, units.y, kUnitsPerBaseY)};
}

bool IsOneLineLabel(const res::ControlTemplate &control)
{
    return control.kind == res::ControlKind::Static && control.cy < 2 * kLineUnits;
}

int ColumnWidth(int textWidth, int textInset)
{
    return textWidth + 2 * textInset + kFocusRectangle;
}

bool TakesFocus(res::ControlKind kind)
{
    return kind != res::ControlKind::Static && kind != res::ControlKind::GroupBox &&
           kind != res::ControlKind::Icon;
}

std::vector<Placed> LayOut(const res::DialogTemplate &dialog, const BaseUnits &units,
                           const std::function<int(const char *text)> &textWidth)
{
    std::vector<Placed> placed;
    placed.reserve(dialog.controls.size());
    int group = -1, groups = 0;
    for (const auto &c : dialog.controls) {
        Placed p{ToPixels(units, c.x, c.y, c.cx, c.cy), TakesFocus(c.kind), (c.styles & res::TabStop) != 0};
        if (IsOneLineLabel(c))
            p.rect.width = std::max(p.rect.width, textWidth(c.text));
        // A radio group runs to the next control that starts a group.
        if (c.styles & res::Group)
            group = -1;
        if (c.kind == res::ControlKind::AutoRadioButton) {
            if (group < 0)
                group = groups++;
            p.radioGroup = group;
        }
        placed.push_back(p);
    }
    return placed;
}

} // namespace layout

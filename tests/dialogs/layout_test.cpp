#include "dialogs/layout.h"
#include "res/dialogs.h"
#include "res/resource.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

// Dialog units become pixels as Windows' MapDialogRect makes them, from the
// base units it derives from a face: MS Sans Serif 8 at 96 DPI has 6 by 13.
TEST(Layout, DialogUnitsBecomePixelsAsWindowsMapsThem)
{
    const auto units = layout::FromFace(312, 13); // the 52 letters 312 pixels wide
    EXPECT_EQ(std::pair(units.x, units.y), std::pair(6, 13));
    EXPECT_EQ(layout::FromFace(300, 16).x, 6) << "the average rounded: (300 / 26 + 1) / 2";
    EXPECT_EQ(layout::ToPixels(units, 7, 9, 211, 153), (layout::Rect{11, 15, 317, 249}))
        << "rounded to the nearest";
    EXPECT_EQ(layout::ColumnWidth(100, 2), 106)
        << "a list column: the text, its inset either side, the focus rectangle";
}

// The main dialog as a toolkit builds it, in template order: each control's
// identifier, then T where Tab stops, C where clicks pass through, G where a
// one-line label grew to its text (6 pixels a letter here), R and the number
// of the radio group it belongs to. The unit buttons are one group, and the
// field after them starts the next; the text of two lines and more keeps its size.
TEST(Layout, MainDialogLabelsGrowClicksPassLabelsAndTheUnitsAreOneGroup)
{
    const auto &dialog = res::GetDialogTemplate(IDD_PLAXOMET_DIALOG);
    const auto placed = layout::LayOut(
        dialog, {6, 13}, [](const char *text) { return 6 * static_cast<int>(std::strlen(text)); });
    std::string shown;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const auto &c = dialog.controls[i];
        const auto &p = placed[i];
        const bool grown = p.rect.width != layout::ToPixels({6, 13}, c.x, c.y, c.cx, c.cy).width;
        shown += std::to_string(c.id) + (p.tabStop ? " T" : "") + (p.takesFocus ? "" : " C") +
                 (grown ? " G" : "") + (p.radioGroup >= 0 ? " R" + std::to_string(p.radioGroup) : "") + ", ";
    }
    EXPECT_EQ(shown,
              "1005 R0, 1006 R0, 1000 T, 1001 T, 1002 T, 1 T, 2 T, -1 C G, -1 C G, -1 C G, -1 C, 1009 T, "
              "1017 C, 1018 C, -1 C, -1 C, ");
}

} // namespace

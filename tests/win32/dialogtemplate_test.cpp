#include "res/dialogs.h"
#include "res/resource.h"
#include "win32/dialogtemplate.h"

#include <gtest/gtest.h>

namespace {

// The template builder alone, without a window: the words DialogBoxIndirect
// reads (DLGTEMPLATE, then each DLGITEMTEMPLATE on a DWORD boundary, a class
// and an icon given by ordinal after 0xFFFF), spelt out for a caption and a
// text of odd length, which need the padding.
TEST(DialogTemplate, BuildsTheWordsDialogBoxIndirectReads)
{
    const res::ControlTemplate controls[] = {
        {IDC_NEW, res::ControlKind::PushButton, "ab", 1, 2, 3, 4, res::TabStop | res::Group},
        {IDR_MAINFRAME, res::ControlKind::Icon, "", -5, 6, 7, 8, res::Hidden},
    };
    const res::DialogTemplate dialog{99, "Ca", 10, 20, "F", 8, controls, res::DialogAppWindow};
    constexpr DWORD kDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
    // clang-format off
    const std::vector<WORD> expected = {
        LOWORD(kDialog), HIWORD(kDialog), LOWORD(WS_EX_APPWINDOW), HIWORD(WS_EX_APPWINDOW), 2, 0, 0, 10, 20,
        0, 0, 'C', 'a', 0, 8, 'F', 0, /* padding */ 0,
        LOWORD(kButton), HIWORD(kButton), 0, 0, 1, 2, 3, 4, IDC_NEW, 0xFFFF, 0x0080, 'a', 'b', 0, 0, /* padding */ 0,
        LOWORD(WS_CHILD | SS_ICON), HIWORD(WS_CHILD | SS_ICON), 0, 0, 0xFFFB, 6, 7, 8, 0xFFFF, 0xFFFF, 0x0082,
        0xFFFF, IDR_MAINFRAME, 0};
    // clang-format on
    EXPECT_EQ(BuildDialogTemplate(dialog), expected);
}

} // namespace

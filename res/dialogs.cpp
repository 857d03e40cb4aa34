#include "res/dialogs.h"

#include "res/resource.h"

#include <stdexcept>

namespace res {
namespace {

using K = ControlKind;

constexpr ControlTemplate kAboutControls[] = {
    {IDR_MAINFRAME, K::Icon, "", 11, 17, 20, 20, 0},
    {IDC_STATIC, K::Static, "Plaxomet Version 1.01\nby the Plaxomet team", 40, 10, 119, 19, NoPrefix},
    {IDC_STATIC, K::Static, "Check a proof print before you engrave.", 40, 31, 119, 8, 0},
    {IDOK, K::DefPushButton, "OK", 178, 7, 50, 14, Group | TabStop},
};

constexpr ControlTemplate kMainControls[] = {
    {IDC_INCHES, K::AutoRadioButton, "inches", 54, 58, 37, 10, Group | RightAligned},
    {IDC_CENTIMETERS, K::AutoRadioButton, "centimeters", 93, 58, 52, 10, RightAligned},
    {IDC_STAVEWIDTH, K::Edit, "", 94, 98, 40, 14, Border | AutoHScroll | TabStop | Group},
    {IDC_STAVESIZE, K::Edit, "", 94, 80, 40, 14, Border | AutoHScroll | TabStop},
    {IDC_PAGEHEIGHT, K::Edit, "", 94, 132, 40, 14, Border | AutoHScroll | TabStop},
    {IDOK, K::DefPushButton, "Calculate...", 154, 115, 50, 14, TabStop},
    {IDCANCEL, K::PushButton, "Exit", 154, 132, 50, 14, TabStop},
    {IDC_STATIC, K::Static, "Stave width required", 7, 100, 66, 8, 0, IDC_STAVEWIDTH},
    {IDC_STATIC, K::Static, "Stave size required", 7, 82, 61, 8, 0, IDC_STAVESIZE},
    {IDC_STATIC, K::Static, "Page height (HS) required", 7, 132, 82, 8, 0, IDC_PAGEHEIGHT},
    {IDC_STATIC, K::Static,
     "This program will produce a report that calculates the size you need to print at to "
     "achieve the dimensions and sizes entered below whilst keeping your files' stave width at "
     "the full 200 Orvel units. ",
     7, 7, 197, 33, 0},
    {IDC_TEXTSIZES, K::PushButton, "Text Sizes...", 154, 90, 50, 14, Hidden | TabStop},
    {IDC_STAVEWIDTHUNITS, K::Static, "in", 138, 98, 15, 8, 0},
    {IDC_PAGEHEIGHTUNITS, K::Static, "in", 138, 132, 15, 8, 0},
    {IDC_STATIC, K::GroupBox, "Measurement units", 54, 46, 98, 28, 0},
    {IDC_STATIC, K::Static, "(remember to subtract left/right margins from page width!)", 7, 110, 135, 17, 0},
};

constexpr ControlTemplate kTextStylesControls[] = {
    {IDC_STYLESLIST, K::ListBox, "", 7, 7, 89, 212,
     Sorted | Notify | UseTabStops | NoIntegralHeight | MultiColumn | ExtendedSel | Border | VScroll |
         TabStop},
    {IDOK, K::DefPushButton, "OK", 105, 7, 50, 14, TabStop},
    {IDCANCEL, K::PushButton, "Cancel", 105, 24, 50, 14, TabStop},
    {IDC_NEW, K::PushButton, "New...", 105, 63, 50, 14, TabStop},
    {IDC_EDIT, K::PushButton, "Edit...", 105, 81, 50, 14, TabStop},
    {IDC_DELETE, K::PushButton, "Delete...", 105, 100, 50, 14, TabStop},
};

constexpr ControlTemplate kEditTextStylesControls[] = {
    {IDC_ENTRYNAME, K::Edit, "", 35, 7, 81, 14, Border | AutoHScroll | TabStop},
    {IDC_ENTRYSIZE, K::Edit, "", 35, 25, 40, 14, Border | AutoHScroll | TabStop},
    {IDOK, K::DefPushButton, "OK", 121, 7, 50, 14, TabStop},
    {IDCANCEL, K::PushButton, "Cancel", 121, 24, 50, 14, TabStop},
    {IDC_STATIC, K::Static, "Name", 7, 9, 20, 8, 0, IDC_ENTRYNAME},
    {IDC_STATIC, K::Static, "Size", 7, 27, 14, 8, 0, IDC_ENTRYSIZE},
};

constexpr DialogTemplate kTemplates[] = {
    {IDD_ABOUTBOX, "About Plaxomet", 235, 50, "MS Sans Serif", 8, kAboutControls},
    {IDD_PLAXOMET_DIALOG, "Plaxomet", 211, 153, "MS Sans Serif", 8, kMainControls,
     DialogVisible | DialogAppWindow},
    {IDD_TEXTSTYLES, "Text Sizes (in Orvel units)", 162, 226, "MS Sans Serif", 8, kTextStylesControls},
    {IDD_EDITTEXTSTYLES, "Edit Text Size (in Orvel units)", 178, 46, "MS Sans Serif", 8,
     kEditTextStylesControls},
};

} // namespace

const DialogTemplate &GetDialogTemplate(int id)
{
    for (const auto &dialog : kTemplates) {
        if (dialog.id == id)
            return dialog;
    }
    throw std::out_of_range("no dialog template " + std::to_string(id));
}

} // namespace res

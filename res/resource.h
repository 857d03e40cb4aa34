#pragma once

// res/: what the program shows, as data: identifiers, strings, dialog
// templates and icons.

// Identifiers of the dialogs, their controls and commands.
enum : int {
    IDC_STATIC = -1,
// The commands OK and Cancel, numbered as Windows numbers them (its headers name them too).
#ifndef IDOK
    IDOK = 1,
    IDCANCEL = 2,
#endif

    IDR_MAINFRAME = 128,
    IDD_ABOUTBOX = 100,
    IDD_PLAXOMET_DIALOG = 102,
    IDD_TEXTSTYLES = 129,
    IDD_EDITTEXTSTYLES = 130,

    IDC_STAVEWIDTH = 1000,
    IDC_STAVESIZE = 1001,
    IDC_PAGEHEIGHT = 1002,
    IDC_NEW = 1004,
    IDC_INCHES = 1005,
    IDC_CENTIMETERS = 1006,
    IDC_EDIT = 1007,
    IDC_DELETE = 1008,
    IDC_TEXTSIZES = 1009,
    IDC_STYLESLIST = 1009,
    IDC_ENTRYNAME = 1010,
    IDC_ENTRYSIZE = 1011,
    IDC_STAVEWIDTHUNITS = 1017,
    IDC_PAGEHEIGHTUNITS = 1018,

    IDM_ABOUTBOX = 0x0010,
    ID_HELP = 57670,
};

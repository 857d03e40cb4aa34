#pragma once

#include <vector>

#include <windows.h>

namespace res {
struct DialogTemplate;
}

// An in-memory DLGTEMPLATE (DWORD-aligned words) of the program's template
// data, for DialogBoxIndirectParamW.
std::vector<WORD> BuildDialogTemplate(const res::DialogTemplate &dialogTemplate);

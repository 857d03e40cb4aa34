// The yardstick for start-up under Windows: the least a Win32 program does to
// show a dialog with one line of text, from an in-memory template.
#include <windows.h>

#include <vector>

namespace {

void Text(std::vector<WORD> &words, const wchar_t *text)
{
    for (; *text; ++text)
        words.push_back(*text);
    words.push_back(0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    std::vector<WORD> t;
    const DWORD style =
        WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE | DS_CENTER;
    t.insert(t.end(), {LOWORD(style), HIWORD(style), 0, 0, 1, 0, 0, 211, 153, 0, 0});
    Text(t, L"Minimal");
    t.push_back(8);
    Text(t, L"MS Sans Serif");
    if (t.size() % 2)
        t.push_back(0);
    const DWORD label = WS_CHILD | WS_VISIBLE | SS_LEFT;
    t.insert(t.end(), {LOWORD(label), HIWORD(label), 0, 0, 7, 100, 66, 8, 0xFFFF, 0xFFFF, 0x0082});
    Text(t, L"Stave width required");
    t.push_back(0);
    return static_cast<int>(::DialogBoxIndirectParamW(
        instance, reinterpret_cast<const DLGTEMPLATE *>(t.data()), nullptr,
        [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; }, 0));
}

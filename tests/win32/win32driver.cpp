#include "tests/win32/win32driver.h"

#include "dialogs/dialog.h"
#include "win32/win32services.h"

#include <gtest/gtest.h>
#include <map>

namespace {

std::map<UINT_PTR, std::function<void()>> g_posted;

// A thread timer fires in whichever message loop runs: a nested dialog's or a message box's.
void CALLBACK RunPosted(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    const auto it = g_posted.find(id);
    if (it == g_posted.end())
        return;
    auto function = std::move(it->second);
    g_posted.erase(it);
    function();
}

// Shift is held only for the key it modifies.
void SetShift(bool down)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring LineOf(HWND list, int index)
{
    std::wstring line(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
    line.resize(static_cast<std::size_t>(
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data()))));
    return line;
}

LPARAM ItemCentre(HWND list, int index)
{
    RECT rect{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

} // namespace

Win32DialogWindow &Win32Driver::Window(CDialog &dialog)
{
    return dynamic_cast<Win32DialogWindow &>(dialog.Window());
}

void Win32Driver::Post(std::function<void()> function)
{
    const UINT_PTR id = ::SetTimer(nullptr, 0, 2, RunPosted);
    g_posted[id] = [function = std::move(function)] {
        SetShift(false);
        function();
    };
}

bool Win32Driver::IsReady(CDialog &dialog)
{
    const HWND hwnd = Window(dialog).Handle();
    // Without a window manager nothing hands the activation back to a dialog
    // when the one it opened closes; a user would click on it.
    if (hwnd && ::IsWindowVisible(hwnd) && ::GetActiveWindow() != hwnd)
        ::SetActiveWindow(hwnd);
    // A dialog a message box has disabled takes no keys or clicks until the box is answered.
    return dialog.Window().IsActive() && ::IsWindowEnabled(hwnd);
}

void Win32Driver::Type(CDialog &dialog, int id, const std::string &text)
{
    const HWND dlg = Window(dialog).Handle();
    const HWND edit = ::GetDlgItem(dlg, id);
    ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (const wchar_t c : WideFromUtf8(text))
        ::SendMessageW(edit, WM_CHAR, c, 0);
}

void Win32Driver::Press(CDialog &dialog, Key key)
{
    HWND target = ::GetFocus();
    if (!target)
        target = Window(dialog).Handle();
    WPARAM vk = VK_RETURN;
    switch (key) {
    case Key::Enter: vk = VK_RETURN; break;
    case Key::Escape: vk = VK_ESCAPE; break;
    case Key::Tab: vk = VK_TAB; break;
    case Key::ShiftTab:
        vk = VK_TAB;
        SetShift(true);
        break;
    }
    // Posted, so that the dialog's own loop sees it as the dialog manager expects a key.
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

void Win32Driver::Click(CDialog &dialog, int id)
{
    ::SendMessageW(::GetDlgItem(Window(dialog).Handle(), id), BM_CLICK, 0, 0);
}

void Win32Driver::ClickItem(CDialog &dialog, int listId, int index, bool control)
{
    const HWND list = ::GetDlgItem(Window(dialog).Handle(), listId);
    const WPARAM keys = MK_LBUTTON | (control ? MK_CONTROL : 0);
    ::SendMessageW(list, WM_LBUTTONDOWN, keys, ItemCentre(list, index));
    ::SendMessageW(list, WM_LBUTTONUP, keys & ~MK_LBUTTON, ItemCentre(list, index));
}

void Win32Driver::DoubleClickItem(CDialog &dialog, int listId, int index)
{
    const HWND list = ::GetDlgItem(Window(dialog).Handle(), listId);
    const LPARAM at = ItemCentre(list, index);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

void Win32Driver::CloseBox(CDialog &dialog)
{
    ::PostMessageW(Window(dialog).Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Win32Driver::ChooseSystemMenuItem(CDialog &dialog, const std::string &text)
{
    const HWND hwnd = Window(dialog).Handle();
    const HMENU menu = ::GetSystemMenu(hwnd, FALSE);
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t label[128] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), label, 128, MF_BYPOSITION);
        if (Utf8FromWide(label) == text) {
            ::SendMessageW(hwnd, WM_SYSCOMMAND, ::GetMenuItemID(menu, i), 0);
            return;
        }
    }
    ADD_FAILURE() << "no system menu entry " << text;
}

std::string Win32Driver::Caption(CDialog &dialog)
{
    return Utf8FromWide(TextOf(Window(dialog).Handle()));
}

std::string Win32Driver::SelectedText(CDialog &dialog, int id)
{
    const HWND edit = ::GetDlgItem(Window(dialog).Handle(), id);
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return Utf8FromWide(TextOf(edit).substr(start, end - start));
}

std::vector<std::string> Win32Driver::ListLines(CDialog &dialog, int id)
{
    const HWND list = ::GetDlgItem(Window(dialog).Handle(), id);
    const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        lines.push_back(Utf8FromWide(LineOf(list, i)));
    return lines;
}

bool Win32Driver::ShowsWhole(CDialog &dialog, int listId, int index)
{
    const HWND list = ::GetDlgItem(Window(dialog).Handle(), listId);
    RECT cell{}, client{};
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
    ::GetClientRect(list, &client);
    return cell.right - cell.left >= Window(dialog).EntryWidth(listId, LineOf(list, index)) &&
           cell.bottom <= client.bottom &&
           (cell.right <= client.right || (::GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL));
}

std::pair<int, int> Win32Driver::OffCentre(CDialog &dialog)
{
    const HWND hwnd = Window(dialog).Handle();
    RECT window{}, area{};
    ::GetWindowRect(hwnd, &window);
    if (const HWND owner = ::GetWindow(hwnd, GW_OWNER))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {(window.left + window.right - area.left - area.right) / 2,
            (window.top + window.bottom - area.top - area.bottom) / 2};
}

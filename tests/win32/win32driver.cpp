// The native dialogs' test program: a driver that acts with the messages a
// user's keys and clicks make, under which the scenario tables and the
// Win32-only tests run.
#include "dialogs/dialog.h"
#include "tests/dialogs/driver.h"
#include "win32/win32dialogwindow.h"
#include "win32/win32services.h"

#include <gtest/gtest.h>
#include <map>

namespace {

std::map<UINT_PTR, std::function<void()>> g_posted;

// A thread timer fires in whichever message loop runs: a nested dialog's or a message box's.
void CALLBACK RunPosted(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    if (auto posted = g_posted.extract(id))
        posted.mapped()();
}

// Shift is held only for the key it modifies.
void SetShift(bool down)
{
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

// Captions, fields and list entries here are far shorter than 256 characters.
std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

std::wstring LineOf(HWND list, int index)
{
    wchar_t line[256] = {};
    ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
    return line;
}

HWND Handle(CDialog &dialog)
{
    return dynamic_cast<Win32DialogWindow &>(dialog.Window()).Handle();
}

HWND Item(CDialog &dialog, int id)
{
    return ::GetDlgItem(Handle(dialog), id);
}

class Win32Driver : public IDialogDriver {
public:
    IToolkit &Toolkit() override { return m_toolkit; }

    void Post(std::function<void()> function) override
    {
        g_posted[::SetTimer(nullptr, 0, 2, RunPosted)] = [function = std::move(function)] {
            SetShift(false);
            function();
        };
    }

    bool IsReady(CDialog &dialog) override
    {
        const HWND hwnd = Handle(dialog);
        // Without a window manager nothing hands the activation back to a dialog
        // when the one it opened closes; a user would click on it.
        if (hwnd && ::IsWindowVisible(hwnd) && ::GetActiveWindow() != hwnd)
            ::SetActiveWindow(hwnd);
        // A dialog a message box has disabled takes no keys or clicks until the box is answered.
        return dialog.Window().IsActive() && ::IsWindowEnabled(hwnd);
    }

    void Type(CDialog &dialog, int id, const std::string &text) override
    {
        const HWND edit = Item(dialog, id);
        ::SendMessageW(Handle(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, WM_CHAR, VK_BACK, 0);
        for (const wchar_t c : WideFromUtf8(text))
            ::SendMessageW(edit, WM_CHAR, c, 0);
    }

    void Press(CDialog &dialog, Key key) override
    {
        const HWND target = ::GetFocus() ? ::GetFocus() : Handle(dialog);
        // F1 is a key the system turns into WM_HELP as it reads the keyboard: it comes as input.
        if (key == Key::F1) {
            INPUT input[2] = {{INPUT_KEYBOARD, {.ki = {VK_F1, 0, 0, 0, 0}}},
                              {INPUT_KEYBOARD, {.ki = {VK_F1, 0, KEYEVENTF_KEYUP, 0, 0}}}};
            return static_cast<void>(::SendInput(2, input, sizeof(INPUT)));
        }
        const WPARAM keys[] = {VK_RETURN, VK_ESCAPE, VK_TAB, VK_TAB};
        SetShift(key == Key::ShiftTab);
        // Posted, so that the dialog's own loop sees it as the dialog manager expects a key.
        ::PostMessageW(target, WM_KEYDOWN, keys[static_cast<int>(key)], 1);
        ::PostMessageW(target, WM_KEYUP, keys[static_cast<int>(key)], 0xC0000001);
    }

    void Click(CDialog &dialog, int id) override { ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0); }

    void CloseBox(CDialog &dialog) override { ::PostMessageW(Handle(dialog), WM_SYSCOMMAND, SC_CLOSE, 0); }

    void ChooseSystemMenuItem(CDialog &dialog, const std::string &text) override
    {
        const HMENU menu = ::GetSystemMenu(Handle(dialog), FALSE);
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t label[128] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), label, 128, MF_BYPOSITION);
            if (Utf8FromWide(label) == text) {
                ::SendMessageW(Handle(dialog), WM_SYSCOMMAND, ::GetMenuItemID(menu, i), 0);
                return;
            }
        }
        ADD_FAILURE() << "no system menu entry " << text;
    }

    std::string Caption(CDialog &dialog) override { return Utf8FromWide(TextOf(Handle(dialog))); }

    std::vector<std::string> ListLines(CDialog &dialog, int id) override
    {
        std::vector<std::string> lines(
            static_cast<std::size_t>(::SendMessageW(Item(dialog, id), LB_GETCOUNT, 0, 0)));
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = Utf8FromWide(LineOf(Item(dialog, id), static_cast<int>(i)));
        return lines;
    }

    bool ShowsWhole(CDialog &dialog, int listId, int index) override
    {
        const HWND list = Item(dialog, listId);
        RECT cell{}, client{};
        ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
        ::GetClientRect(list, &client);
        // At least the name and the size side by side, whatever room the TAB takes.
        std::wstring parts = LineOf(list, index);
        parts.erase(parts.find(L'\t'), 1);
        const HDC dc = ::GetDC(list);
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
        SIZE least{};
        ::GetTextExtentPoint32W(dc, parts.c_str(), static_cast<int>(parts.size()), &least);
        ::ReleaseDC(list, dc);
        return cell.right - cell.left >= least.cx && cell.bottom <= client.bottom &&
               (cell.right <= client.right || (::GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL));
    }

    std::string Owner(CDialog &dialog) override
    {
        const HWND owner = ::GetWindow(Handle(dialog), GW_OWNER);
        return owner ? Utf8FromWide(TextOf(owner)) : "";
    }

private:
    Win32Toolkit m_toolkit;
};

} // namespace

int main(int argc, char *argv[])
{
    testing::InitGoogleTest(&argc, argv);
    Win32Driver driver;
    g_driver = &driver;
    return RUN_ALL_TESTS();
}

#include "win32/win32dialogwindow.h"

#include "dialogs/dialog.h"
#include "dialogs/layout.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "win32/widetext.h"

#include <algorithm>

namespace {

// Pixels a list box leaves between an entry's text and either edge of its cell.
constexpr int kListTextInset = 2;

// Posted to itself once the dialog manager has scaled the dialog to a new DPI.
constexpr UINT kDpiFollowed = WM_APP + 1;

std::wstring WideText(HWND control)
{
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

Win32DialogWindow::Win32DialogWindow(const res::DialogTemplate &dialogTemplate, IDialogEvents &events,
                                     Win32DialogWindow *owner)
    : m_template(dialogTemplate), m_events(events), m_owner(owner)
{}

HWND InnermostDialog()
{
    // The dialog classes keep the one list of running dialogs.
    const CDialog *dialog = CDialog::ActiveModal();
    const auto *window = dialog ? dynamic_cast<const Win32DialogWindow *>(&dialog->Window()) : nullptr;
    return window ? window->Handle() : nullptr;
}

int Win32DialogWindow::RunModal()
{
    const auto data = BuildDialogTemplate(m_template);
    const HWND owner = m_owner ? m_owner->m_hwnd : nullptr;
    const auto result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                                                  reinterpret_cast<const DLGTEMPLATE *>(data.data()), owner,
                                                  DialogProc, reinterpret_cast<LPARAM>(this));
    return static_cast<int>(result);
}

INT_PTR CALLBACK Win32DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto *self = reinterpret_cast<Win32DialogWindow *>(lParam);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, lParam);
    }
    auto *self = reinterpret_cast<Win32DialogWindow *>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const HWND control = Item(id);
        wchar_t className[16] = {};
        if (control)
            ::GetClassNameW(control, className, 16);
        const bool isList = ::lstrcmpiW(className, L"ListBox") == 0;
        if (isList && HIWORD(wParam) == LBN_DBLCLK)
            m_events.DoubleClick(id);
        else if (!isList && HIWORD(wParam) == BN_CLICKED) {
            KeepTemplateTabStops();
            m_events.Command(id);
        }
        return TRUE;
    }
    case WM_SYSCOMMAND:
        // The entries the dialog added; every other command is the system's own.
        if (std::find(m_systemCommands.begin(), m_systemCommands.end(),
                      static_cast<unsigned>(wParam & 0xFFF0)) != m_systemCommands.end()) {
            m_events.SysCommand(static_cast<unsigned>(wParam));
            return TRUE;
        }
        return FALSE;
    // F1 in the dialog or any of its controls: the help command.
    case WM_HELP: m_events.Command(ID_HELP); return TRUE;
    // Moved to a monitor of another scale, a per-monitor aware dialog is
    // scaled by the dialog manager itself; what the program measured in
    // pixels follows once that is done.
    case WM_DPICHANGED: ::PostMessageW(m_hwnd, kDpiFollowed, 0, 0); return FALSE;
    case kDpiFollowed: FollowDpiChange(); return TRUE;
    case WM_PAINT: return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_NCDESTROY: m_hwnd = nullptr; return FALSE;
    default: return FALSE;
    }
}

// A one-line label whose text is wider than its place, in a face wider than
// the template's, grows rather than being cut (the rest of the layout is the
// dialog manager's own).
void Win32DialogWindow::FitLabels()
{
    const HDC dc = ::GetDC(m_hwnd);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const auto &c = m_template.controls[i];
        if (layout::IsOneLineLabel(c)) {
            const std::wstring text = WideFromUtf8(c.text);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            RECT rect{};
            ::GetWindowRect(m_controls[i], &rect);
            if (extent.cx > rect.right - rect.left)
                ::SetWindowPos(m_controls[i], nullptr, 0, 0, extent.cx, rect.bottom - rect.top,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hwnd, dc);
}

// Screen readers name an edit field by the static text just before it in
// window order: Active Accessibility walks GW_HWNDPREV from the field and
// stops at the first static text, or at a control with WS_GROUP or
// WS_TABSTOP ("Providing the Name Property"). Each label moves there; it has
// no tab stop, so Tab goes as the template says. A label before a field that
// starts a group starts it too, so that the group before (the unit buttons)
// does not take it in.
void Win32DialogWindow::PlaceLabelsBeforeFields()
{
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        const HWND field = m_template.controls[i].labelFor ? Item(m_template.controls[i].labelFor) : nullptr;
        if (!field)
            continue;
        const HWND before = ::GetWindow(field, GW_HWNDPREV);
        ::SetWindowPos(m_controls[i], before ? before : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (::GetWindowLongPtrW(field, GWL_STYLE) & WS_GROUP)
            ::SetWindowLongPtrW(m_controls[i], GWL_STYLE,
                                ::GetWindowLongPtrW(m_controls[i], GWL_STYLE) | WS_GROUP);
    }
}

bool Win32DialogWindow::OnInitDialog()
{
    for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child && m_controls.size() < m_template.controls.size();
         child = ::GetWindow(child, GW_HWNDNEXT))
        m_controls.push_back(child);
    FitLabels();
    PlaceLabelsBeforeFields();
    RECT before{};
    ::GetWindowRect(m_hwnd, &before);
    bool focusFirst = false;
    if (!m_events.InitDialog(focusFirst)) {
        ::EndDialog(m_hwnd, -1);
        return false;
    }
    // A dialog opens centred unless its initialisation moved it.
    RECT after{};
    ::GetWindowRect(m_hwnd, &after);
    if (after.left == before.left && after.top == before.top)
        CenterWindow();
    return focusFirst;
}

// A minimised window shows the icon, centred in its client area.
bool Win32DialogWindow::OnPaint()
{
    if (!::IsIconic(m_hwnd) || !m_hIcon)
        return false;
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hwnd, &paint);
    ::SendMessageW(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cxIcon = SystemMetric(SM_CXICON);
    const int cyIcon = SystemMetric(SM_CYICON);
    RECT rect;
    ::GetClientRect(m_hwnd, &rect);
    ::DrawIconEx(dc, (rect.right - cxIcon + 1) / 2, (rect.bottom - cyIcon + 1) / 2, m_hIcon, cxIcon, cyIcon,
                 0, nullptr, DI_NORMAL);
    ::EndPaint(m_hwnd, &paint);
    return true;
}

void Win32DialogWindow::EndDialog(int result)
{
    ::EndDialog(m_hwnd, result);
}

void Win32DialogWindow::CenterWindow()
{
    RECT area{};
    const HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{sizeof monitor, {}, {}, 0};
        ::GetMonitorInfoW(::MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT window{};
    ::GetWindowRect(m_hwnd, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    ::SetWindowPos(m_hwnd, nullptr, (area.left + area.right - width) / 2,
                   (area.top + area.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A system measure at the window's own scale, which may differ from the main monitor's.
int Win32DialogWindow::SystemMetric(int index) const
{
    return ::GetSystemMetricsForDpi(index, ::GetDpiForWindow(m_hwnd));
}

void Win32DialogWindow::FollowDpiChange()
{
    FitLabels();
    if (m_iconId)
        SetIcon(m_iconId);
    if (m_tabStopList) {
        ListSetTabStop(m_tabStopList, m_tabStopUnits);
        std::vector<std::wstring> entries;
        const HWND list = Item(m_tabStopList);
        for (int i = 0; i < ListCount(m_tabStopList); ++i) {
            std::wstring entry(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                               L'\0');
            entry.resize(static_cast<std::size_t>(
                ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
            entries.push_back(std::move(entry));
        }
        m_columnWidth = 0;
        WidenColumns(m_tabStopList, WidestEntry(m_tabStopList, entries));
    }
}

void Win32DialogWindow::SetIcon(int iconId)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_iconId = iconId;
    // Both images at the window's scale: the big one for Alt+Tab and a minimised window, the small one
    // for the caption and the taskbar.
    m_hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                              SystemMetric(SM_CXICON), SystemMetric(SM_CYICON), LR_SHARED));
    const auto small =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                        SystemMetric(SM_CXSMICON), SystemMetric(SM_CYSMICON), LR_SHARED));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : m_hIcon));
}

void Win32DialogWindow::SetCaption(const std::string &text)
{
    ::SetWindowTextW(m_hwnd, WideFromText8(text).c_str());
}

void Win32DialogWindow::AppendSystemMenuItem(unsigned command, const std::string &text)
{
    const HMENU menu = ::GetSystemMenu(m_hwnd, FALSE);
    if (!menu)
        return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, command, WideFromText8(text).c_str());
    m_systemCommands.push_back(command);
}

bool Win32DialogWindow::IsActive() const
{
    return m_hwnd && ::IsWindowVisible(m_hwnd) && ::GetActiveWindow() == m_hwnd;
}

std::string Win32DialogWindow::GetText(int id) const
{
    return Text8FromWide(WideText(Item(id)));
}

void Win32DialogWindow::SetText(int id, const std::string &text)
{
    ::SetDlgItemTextW(m_hwnd, id, WideFromText8(text).c_str());
}

bool Win32DialogWindow::GetCheck(int id) const
{
    return ::IsDlgButtonChecked(m_hwnd, id) == BST_CHECKED;
}

void Win32DialogWindow::SetCheck(int id, bool checked)
{
    ::CheckDlgButton(m_hwnd, id, checked ? BST_CHECKED : BST_UNCHECKED);
    KeepTemplateTabStops();
}

// A radio button that becomes checked, by the program or by a click, gives
// itself a tab stop; the template's say holds, so that Tab and the first
// focus pass the unit buttons by.
void Win32DialogWindow::KeepTemplateTabStops()
{
    for (const auto &control : m_template.controls) {
        const HWND button = control.kind == res::ControlKind::AutoRadioButton ? Item(control.id) : nullptr;
        if (!button)
            continue;
        const LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
        const LONG_PTR tabStop = (control.styles & res::TabStop) ? WS_TABSTOP : 0;
        ::SetWindowLongPtrW(button, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_TABSTOP)) | tabStop);
    }
}

void Win32DialogWindow::SetFocus(int id)
{
    // Through the dialog manager, so that a push button given the focus becomes the default one.
    if (const HWND control = Item(id))
        ::SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

int Win32DialogWindow::GetFocus() const
{
    const HWND focus = ::GetFocus();
    return focus && ::IsChild(m_hwnd, focus) ? ::GetDlgCtrlID(focus) : 0;
}

void Win32DialogWindow::SelectAllText(int id)
{
    ::SendDlgItemMessageW(m_hwnd, id, EM_SETSEL, 0, -1);
}

void Win32DialogWindow::LimitText(int id, int count)
{
    ::SendDlgItemMessageW(m_hwnd, id, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
}

int Win32DialogWindow::ListCount(int id) const
{
    return static_cast<int>(::SendDlgItemMessageW(m_hwnd, id, LB_GETCOUNT, 0, 0));
}

int Win32DialogWindow::EntryWidth(int listId, const std::wstring &entry) const
{
    return WidestEntry(listId, {entry});
}

int Win32DialogWindow::WidestEntry(int listId, const std::vector<std::wstring> &entries) const
{
    const HWND list = Item(listId);
    const HDC dc = ::GetDC(list);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    const int tabStop = m_tabStop;
    int widest = 0;
    for (const auto &entry : entries) {
        const DWORD extent = ::GetTabbedTextExtentW(dc, entry.c_str(), static_cast<int>(entry.size()),
                                                    tabStop ? 1 : 0, tabStop ? &tabStop : nullptr);
        widest = std::max(widest, layout::ColumnWidth(LOWORD(extent), kListTextInset));
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(list, dc);
    return widest;
}

void Win32DialogWindow::WidenColumns(int listId, int width)
{
    if (width <= m_columnWidth)
        return;
    m_columnWidth = width;
    ::SendDlgItemMessageW(m_hwnd, listId, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

void Win32DialogWindow::ListInsert(int id, int index, const std::string &entry)
{
    const std::wstring text = WideFromText8(entry);
    // Inserting at an index leaves the order to the program, so both builds sort alike.
    ::SendDlgItemMessageW(m_hwnd, id, LB_INSERTSTRING, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(text.c_str()));
    WidenColumns(id, EntryWidth(id, text));
}

void Win32DialogWindow::ListDelete(int id, int index)
{
    if (index >= 0 && index < ListCount(id))
        ::SendDlgItemMessageW(m_hwnd, id, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32DialogWindow::ListReset(int id, const std::vector<std::string> &entries)
{
    const HWND list = Item(id);
    const int caret = ListCaret(id);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_INITSTORAGE, entries.size(), entries.size() * 24);
    std::vector<std::wstring> texts;
    texts.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        texts.push_back(WideFromText8(entries[i]));
        ::SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(texts.back().c_str()));
    }
    m_columnWidth = 0;
    WidenColumns(id, WidestEntry(id, texts));
    if (caret >= 0)
        ListSetCaret(id, caret);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int Win32DialogWindow::ListCaret(int id) const
{
    // An empty list has no item with the focus rectangle, whatever the control says.
    if (ListCount(id) == 0)
        return -1;
    return static_cast<int>(::SendDlgItemMessageW(m_hwnd, id, LB_GETCARETINDEX, 0, 0));
}

void Win32DialogWindow::ListSetCaret(int id, int index)
{
    if (index >= 0 && index < ListCount(id))
        ::SendDlgItemMessageW(m_hwnd, id, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
}

bool Win32DialogWindow::ListSelected(int id, int index) const
{
    return ::SendDlgItemMessageW(m_hwnd, id, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void Win32DialogWindow::ListSetSelected(int id, int index, bool selected)
{
    // -1 would mean every item to the list box.
    if (index >= 0 && index < ListCount(id))
        ::SendDlgItemMessageW(m_hwnd, id, LB_SETSEL, selected, static_cast<LPARAM>(index));
}

void Win32DialogWindow::ListSetTabStop(int id, int dialogUnits)
{
    m_tabStopList = id;
    m_tabStopUnits = dialogUnits;
    int stops[] = {dialogUnits};
    ::SendDlgItemMessageW(m_hwnd, id, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(stops));
    RECT rect{0, 0, dialogUnits, 0};
    ::MapDialogRect(m_hwnd, &rect);
    m_tabStop = rect.right;
}

std::unique_ptr<IDialogWindow> Win32Toolkit::CreateDialogWindow(int templateId, IDialogEvents &events,
                                                                IDialogWindow *owner)
{
    return std::make_unique<Win32DialogWindow>(res::GetDialogTemplate(templateId), events,
                                               dynamic_cast<Win32DialogWindow *>(owner));
}

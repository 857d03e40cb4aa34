#include "win32/win32dialogwindow.h"

#include "res/dialogs.h"
#include "res/resource.h"
#include "win32/win32services.h"

#include <algorithm>

namespace {

// The predefined window classes, by atom.
constexpr WORD kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kListBox = 0x0083;

// An in-memory DLGTEMPLATE, its items DWORD-aligned.
class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value)
    {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const std::wstring &text)
    {
        m_words.insert(m_words.end(), text.begin(), text.end());
        Word(0);
    }
    void Align()
    {
        if (m_words.size() % 2)
            Word(0);
    }
    std::vector<WORD> Words() && { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

struct ItemStyle {
    WORD windowClass;
    DWORD style;
    DWORD extendedStyle = 0;
};

ItemStyle StyleOf(const res::ControlTemplate &c)
{
    DWORD common = WS_CHILD;
    if (!(c.styles & res::Hidden))
        common |= WS_VISIBLE;
    if (c.styles & res::Group)
        common |= WS_GROUP;
    if (c.styles & res::TabStop)
        common |= WS_TABSTOP;
    if (c.styles & res::Border)
        common |= WS_BORDER;
    if (c.styles & res::VScroll)
        common |= WS_VSCROLL;
    switch (c.kind) {
    case res::ControlKind::PushButton: return {kButton, common | BS_PUSHBUTTON};
    case res::ControlKind::DefPushButton: return {kButton, common | BS_DEFPUSHBUTTON};
    case res::ControlKind::AutoRadioButton:
        return {kButton, common | BS_AUTORADIOBUTTON,
                static_cast<DWORD>((c.styles & res::RightAligned) ? WS_EX_RIGHT : 0)};
    case res::ControlKind::Edit:
        return {kEdit, common | ES_LEFT | ((c.styles & res::AutoHScroll) ? ES_AUTOHSCROLL : 0)};
    case res::ControlKind::Static:
        return {kStatic, common | SS_LEFT | ((c.styles & res::NoPrefix) ? SS_NOPREFIX : 0)};
    case res::ControlKind::GroupBox: return {kButton, common | BS_GROUPBOX};
    case res::ControlKind::Icon: return {kStatic, common | SS_ICON};
    case res::ControlKind::ListBox: {
        DWORD style = common;
        if (c.styles & res::Sorted)
            style |= LBS_SORT;
        if (c.styles & res::Notify)
            style |= LBS_NOTIFY;
        if (c.styles & res::UseTabStops)
            style |= LBS_USETABSTOPS;
        if (c.styles & res::NoIntegralHeight)
            style |= LBS_NOINTEGRALHEIGHT;
        if (c.styles & res::ExtendedSel)
            style |= LBS_EXTENDEDSEL;
        // Columns run on to the right, so the scroll bar that reaches them is horizontal.
        if (c.styles & res::MultiColumn)
            style |= LBS_MULTICOLUMN | WS_HSCROLL;
        return {kListBox, style};
    }
    }
    return {kStatic, common};
}

void WriteTemplate(TemplateWriter &out, const res::DialogTemplate &t)
{
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    if (t.styles & res::DialogVisible)
        style |= WS_VISIBLE;
    out.Dword(style);
    out.Dword((t.styles & res::DialogAppWindow) ? WS_EX_APPWINDOW : 0);
    out.Word(static_cast<WORD>(t.controls.size()));
    for (const short value : {short{0}, short{0}, static_cast<short>(t.cx), static_cast<short>(t.cy)})
        out.Word(static_cast<WORD>(value));
    out.Word(0); // no menu
    out.Word(0); // the dialog class
    out.Text(WideFromUtf8(t.caption));
    out.Word(static_cast<WORD>(t.pointSize));
    out.Text(WideFromUtf8(t.fontName));
    for (const auto &c : t.controls) {
        out.Align();
        const ItemStyle item = StyleOf(c);
        out.Dword(item.style);
        out.Dword(item.extendedStyle);
        for (const int value : {c.x, c.y, c.cx, c.cy})
            out.Word(static_cast<WORD>(static_cast<short>(value)));
        const bool icon = c.kind == res::ControlKind::Icon;
        out.Word(static_cast<WORD>(icon ? IDC_STATIC : c.id));
        out.Word(0xFFFF);
        out.Word(item.windowClass);
        if (icon) {
            out.Word(0xFFFF);
            out.Word(static_cast<WORD>(c.id));
        } else {
            out.Text(WideFromUtf8(c.text));
        }
        out.Word(0); // no creation data
    }
}

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

std::vector<WORD> BuildDialogTemplate(const res::DialogTemplate &dialogTemplate)
{
    TemplateWriter writer;
    WriteTemplate(writer, dialogTemplate);
    return std::move(writer).Words();
}

namespace {

// The dialogs running modally, innermost last.
std::vector<const Win32DialogWindow *> g_running;

} // namespace

HWND InnermostDialog()
{
    return g_running.empty() ? nullptr : g_running.back()->Handle();
}

int Win32DialogWindow::RunModal()
{
    const auto data = BuildDialogTemplate(m_template);
    const HWND owner = m_owner ? m_owner->m_hwnd : nullptr;
    g_running.push_back(this);
    const auto result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                                                  reinterpret_cast<const DLGTEMPLATE *>(data.data()), owner,
                                                  DialogProc, reinterpret_cast<LPARAM>(this));
    g_running.pop_back();
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
    case WM_PAINT: return OnPaint() ? TRUE : FALSE;
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_NCDESTROY: m_hwnd = nullptr; return FALSE;
    default: return FALSE;
    }
}

// A one-line label whose text is wider than its place, in a face wider than
// the template's, grows rather than being cut.
void Win32DialogWindow::FitLabels()
{
    const HDC dc = ::GetDC(m_hwnd);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0)));
    HWND child = ::GetWindow(m_hwnd, GW_CHILD);
    for (const auto &c : m_template.controls) {
        if (!child)
            break;
        if (c.kind == res::ControlKind::Static && c.cy <= 8) {
            const std::wstring text = WideFromUtf8(c.text);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            RECT rect{};
            ::GetWindowRect(child, &rect);
            if (extent.cx > rect.right - rect.left)
                ::SetWindowPos(child, nullptr, 0, 0, extent.cx, rect.bottom - rect.top,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hwnd, dc);
}

bool Win32DialogWindow::OnInitDialog()
{
    FitLabels();
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
    const int cxIcon = ::GetSystemMetrics(SM_CXICON);
    const int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    ::GetClientRect(m_hwnd, &rect);
    ::DrawIcon(dc, (rect.right - cxIcon + 1) / 2, (rect.bottom - cyIcon + 1) / 2, m_hIcon);
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

void Win32DialogWindow::SetIcon(int iconId)
{
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    m_hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(iconId));
    const auto small = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                                       ::GetSystemMetrics(SM_CXSMICON),
                                                       ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
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
        widest = std::max(widest, static_cast<int>(LOWORD(extent)) + 6); // room for the focus rectangle
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

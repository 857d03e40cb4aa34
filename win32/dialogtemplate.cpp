#include "win32/dialogtemplate.h"

#include "res/dialogs.h"
#include "res/resource.h"
#include "win32/widetext.h"

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

} // namespace

std::vector<WORD> BuildDialogTemplate(const res::DialogTemplate &dialogTemplate)
{
    TemplateWriter writer;
    WriteTemplate(writer, dialogTemplate);
    return std::move(writer).Words();
}

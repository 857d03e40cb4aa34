#include "base/fileio.h"
#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"
#include "tests/win32/win32driver.h"
#include "win32/win32services.h"

#include <cstring>
#include <cwchar>

#include <gtest/gtest.h>

// What only the native windows can show: the system menu, window styles,
// the list box's columns and the edit field's own limit.
namespace {

void LookAt(CDialog &dialog, const std::function<void(Win32DialogWindow &)> &look)
{
    Play(Driver(), dialog,
         {{dialog.TemplateId(), "look",
           [&](IDialogDriver &, CDialog &dlg) { look(Win32Driver::Window(dlg)); }},
          Press(dialog.TemplateId(), Key::Escape)});
}

TEST(Win32MainWindow, TheAboutEntryEndsTheSystemMenuAndTheWindowHasATaskbarButton)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("SETTINGS", kDefaultSettings);
    RecordingMessageService messages;
    RecordingLauncher launcher;
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    LookAt(dlg, [](Win32DialogWindow &w) {
        const HMENU menu = ::GetSystemMenu(w.Handle(), FALSE);
        const int count = ::GetMenuItemCount(menu);
        ASSERT_GE(count, 2);
        wchar_t label[64] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(count - 1), label, 64, MF_BYPOSITION);
        EXPECT_EQ(Utf8FromWide(label), "&About Plaxomet...");
        EXPECT_EQ(::GetMenuItemID(menu, count - 1), 16u);
        EXPECT_EQ(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
                  static_cast<UINT>(MF_SEPARATOR));
        EXPECT_TRUE(::GetWindowLongPtrW(w.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
        EXPECT_FALSE(::IsWindowVisible(w.Item(IDC_TEXTSIZES)));
        EXPECT_TRUE(::GetWindowLongPtrW(w.Item(IDC_INCHES), GWL_EXSTYLE) & WS_EX_RIGHT);
    });
}

TEST(Win32TextSizes, ColumnsAreWideEnoughForEveryEntryAndTheNameStopsAtSeventeen)
{
    TemporaryWorkingDirectory dir;
    std::string records = StylesRecord("WWWWWWWWWWWWWWWWW", 3.4028235e38f);
    for (int i = 1; i < 40; ++i)
        records += StylesRecord("N" + std::to_string(i), static_cast<float>(i));
    WriteBytes("STYLES", records);
    RecordingMessageService messages;
    CTextStylesDlg dlg(Driver().Toolkit(), messages);
    LookAt(dlg, [](Win32DialogWindow &w) {
        const HWND list = w.Item(IDC_STYLESLIST);
        EXPECT_TRUE(::GetWindowLongPtrW(list, GWL_STYLE) & LBS_MULTICOLUMN);
        const int count = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
        ASSERT_EQ(count, 40);
        RECT first{};
        ::SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        for (int i = 0; i < count; ++i) {
            std::wstring line(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            line.resize(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                                                reinterpret_cast<LPARAM>(line.data()))));
            EXPECT_GE(first.right - first.left, w.EntryWidth(IDC_STYLESLIST, line)) << i;
        }
    });
}

HWND g_boxOwner = nullptr;

// Finds the message box once it is up, notes its owner and answers it.
void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND box = ::FindWindowW(L"#32770", L"win32_tests");
    if (!box)
        return;
    ::KillTimer(nullptr, timer);
    g_boxOwner = ::GetWindow(box, GW_OWNER);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// MessageBoxW's box is modal to the window it is given: that is the
// innermost dialog running, even while another program's window is active.
TEST(Win32MessageBox, IsOwnedByTheInnermostDialogWhateverWindowIsActive)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("SETTINGS", kDefaultSettings);
    RecordingMessageService messages;
    RecordingLauncher launcher;
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    HWND dialog = nullptr;
    g_boxOwner = nullptr;
    const Step fail{IDD_PLAXOMET_DIALOG, "a save fails while another program is in front",
                    [&](IDialogDriver &, CDialog &main) {
                        dialog = Win32Driver::Window(main).Handle();
                        const HWND other = ::CreateWindowExW(0, L"STATIC", L"another program",
                                                             WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                                             nullptr, nullptr, nullptr, nullptr);
                        ::SetActiveWindow(other);
                        ASSERT_EQ(::GetActiveWindow(), other);
                        ::SetTimer(nullptr, 0, 20, AnswerTheBox);
                        Win32MessageService service;
                        EXPECT_EQ(service.ShowMessage("Disk full while accessing SETTINGS.", MsgButtons::OK),
                                  AnswerOK);
                        ::DestroyWindow(other);
                    }};
    Play(Driver(), dlg, {fail, CloseBox(IDD_PLAXOMET_DIALOG)});
    EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(g_boxOwner, dialog);
}

// On a Cyrillic Windows the ANSI code page is 1251: a name typed there is
// stored as its bytes in that code page, upper-cased as the system does it
// (ё to Ё, which Windows-1252's rules would leave alone), and a folder named
// in that script reads right in a message.
TEST(Win32CodePage, ACyrillicNameIsStoredInTheSystemsCodePageUpperCased)
{
    if (::GetACP() != 1251)
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1251 (the Cyrillic run sets LC_ALL)";
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    CTextStylesDlg dlg(Driver().Toolkit(), messages);
    constexpr int T = IDD_TEXTSTYLES, E = IDD_EDITTEXTSTYLES;
    Play(Driver(), dlg,
         {Click(T, IDC_NEW), Type(E, IDC_ENTRYNAME, "\u0451\u0436"), Type(E, IDC_ENTRYSIZE, "1"),
          Press(E, Key::Enter), ExpectList(T, {"\u0401\u0416\t1.00"}, 0, {0}), Click(T, IDOK)});
    EXPECT_EQ(ReadBytes("STYLES"), StylesRecord("\xA8\xC6", 1.0f));

    const auto folder = dir.Path() / std::filesystem::path(u8"\u041F\u0430\u043F\u043A\u0430");
    std::filesystem::create_directory(folder);
    const std::string path = fileio::FullPath(folder / "SETTINGS");
    EXPECT_NE(path.find("\\\xCF\xE0\xEF\xEA\xE0\\SETTINGS"), std::string::npos) << path;
}

// The native edit field takes a paste as the Qt build now does: its first
// line, as much of it as the limit leaves room for.
TEST(Win32EditTextSize, APasteIsCutToTheLimitAndToItsFirstLine)
{
    const struct {
        int field;
        const wchar_t *clipboard;
        const char *expected;
    } cases[] = {
        {IDC_ENTRYNAME, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234", "ABCDEFGHIJKLMNOPQ"},
        {IDC_ENTRYNAME, L"AB\r\nCD", "AB"},
        {IDC_ENTRYSIZE, L"12.5\r\n7", "12.5"},
    };
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    for (const auto &c : cases) {
        CEditTextStylesDlg edit(Driver().Toolkit(), messages);
        std::string text;
        LookAt(edit, [&](Win32DialogWindow &w) {
            ASSERT_TRUE(::OpenClipboard(w.Handle()));
            ::EmptyClipboard();
            const std::size_t bytes = (std::wcslen(c.clipboard) + 1) * sizeof(wchar_t);
            HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
            std::memcpy(::GlobalLock(memory), c.clipboard, bytes);
            ::GlobalUnlock(memory);
            ::SetClipboardData(CF_UNICODETEXT, memory);
            ::CloseClipboard();
            const HWND field = w.Item(c.field);
            ::SendMessageW(field, EM_SETSEL, 0, -1);
            ::SendMessageW(field, WM_PASTE, 0, 0);
            text = w.GetText(c.field);
        });
        EXPECT_EQ(text, c.expected);
    }
}

} // namespace

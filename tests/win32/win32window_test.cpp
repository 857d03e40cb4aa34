#include "base/fileio.h"
#include "base/systemerror.h"
#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"
#include "win32/win32dialogwindow.h"
#include "win32/win32services.h"

#include <gtest/gtest.h>

// What only the native windows can show: the owner of a message box and the
// system's code page.
namespace {

// MessageBoxW's box is modal to the window it is given: that is the
// innermost dialog running, even while another program's window is active.
// (The main dialog has a taskbar button of its own, having no owner.)
TEST(Win32MessageBox, IsOwnedByTheInnermostDialogWhateverWindowIsActive)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("SETTINGS", kDefaultSettings);
    RecordingMessageService messages;
    RecordingLauncher launcher;
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    HWND dialog = nullptr, boxOwner = nullptr;
    const Step fail = On{IDD_PLAXOMET_DIALOG}.Then([&](IDialogDriver &, CDialog &main) {
        dialog = dynamic_cast<Win32DialogWindow &>(main.Window()).Handle();
        EXPECT_TRUE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        const HWND other =
            ::CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                              100, nullptr, nullptr, nullptr, nullptr);
        ::SetActiveWindow(other);
        ASSERT_EQ(::GetActiveWindow(), other);
        // Runs in the box's own message loop, once the box is up.
        Driver().Post([&boxOwner] {
            const HWND box = ::FindWindowW(L"#32770", L"win32_tests");
            boxOwner = ::GetWindow(box, GW_OWNER);
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(Win32MessageService().ShowMessage("Disk full while accessing SETTINGS.", MsgButtons::OK),
                  AnswerOK);
        ::DestroyWindow(other);
    });
    Play(Driver(), dlg, {fail, On{IDD_PLAXOMET_DIALOG}.CloseBox()});
    EXPECT_NE(dialog, nullptr);
    EXPECT_EQ(boxOwner, dialog);
}

// The viewer is started as WinExec starts it; one that cannot be started (a
// Notepad removed, as the optional feature of Windows 10 and 11 may be, or a
// file that is no program: CreateProcess's ERROR_BAD_EXE_FORMAT) is said
// with the system's words.
TEST(Win32ViewerLauncher, SaysWhenTheViewerCannotBeStarted)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("BROKEN.EXE", "not a program");
    for (const auto &[program, error] : {std::pair{"NO-SUCH-VIEWER.EXE", ERROR_FILE_NOT_FOUND},
                                         std::pair{"BROKEN.EXE", ERROR_BAD_EXE_FORMAT}}) {
        std::string failure;
        Win32ViewerLauncher(program).Open("PlaxometReport.txt",
                                          [&](const std::string &what) { failure = what; });
        const std::error_code code(static_cast<int>(error), std::system_category());
        EXPECT_EQ(failure, std::string(program) + " could not be started. " + SystemErrorText(code));
    }
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
    constexpr On T{IDD_TEXTSTYLES}, E{IDD_EDITTEXTSTYLES};
    Play(Driver(), dlg,
         {T.Click(IDC_NEW), E.Type(IDC_ENTRYNAME, "\u0451\u0436"), E.Type(IDC_ENTRYSIZE, "1"),
          E.Press(Key::Enter), T.ExpectList({"\u0401\u0416\t1.00"}, 0, {0}), T.Click(IDOK)});
    EXPECT_EQ(ReadBytes("STYLES"), StylesRecord("\xA8\xC6", 1.0f));

    const auto folder = dir.Path() / std::filesystem::path(u8"\u041F\u0430\u043F\u043A\u0430");
    std::filesystem::create_directory(folder);
    const std::string path = fileio::FullPath(folder / "SETTINGS");
    EXPECT_NE(path.find("\\\xCF\xE0\xEF\xEA\xE0\\SETTINGS"), std::string::npos) << path;
}

} // namespace

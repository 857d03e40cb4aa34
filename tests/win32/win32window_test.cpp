#include "base/fileio.h"
#include "base/systemerror.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"
#include "win32/win32dialogwindow.h"
#include "win32/win32services.h"

#include <gtest/gtest.h>
#include <tuple>
#include <utility>

// What only the native windows and services can show: Notepad, the labels
// a screen reader reads, and the system's code page.
namespace {

constexpr On M{IDD_PLAXOMET_DIALOG}, T{IDD_TEXTSTYLES}, E{IDD_EDITTEXTSTYLES};

// The viewer is Notepad of the system folder only: a NOTEPAD.EXE in the
// current folder, which the search path CreateProcess uses without a program
// name would find first, is never started. One that cannot be started (a
// Notepad removed, as the optional feature of Windows 10 and 11 may be, or a
// file that is no program) is said with the system's words.
TEST(Win32ViewerLauncher, StartsOnlyTheSystemFoldersNotepadAndSaysWhenItCannot)
{
    TemporaryWorkingDirectory dir;
    std::filesystem::create_directory("system");
    WriteBytes("NOTEPAD.EXE", "planted: no program, so that starting it would fail otherwise");
    WriteBytes("system/BROKEN.EXE", "not a program");
    const auto system = (dir.Path() / "system").wstring();
    const auto cannot = [](const char *program, int error) {
        return std::string(program) + " could not be started. " +
               SystemErrorText(std::error_code(error, std::system_category()));
    };
    // The last: a system that could not name its folder (GetSystemDirectoryW gave 0) starts nothing.
    for (const auto &[program, folder, said] :
         {std::tuple{"NOTEPAD.EXE", system, cannot("NOTEPAD.EXE", ERROR_FILE_NOT_FOUND)},
          std::tuple{"BROKEN.EXE", system, cannot("BROKEN.EXE", ERROR_BAD_EXE_FORMAT)},
          std::tuple{"NOTEPAD.EXE", std::wstring(), cannot("NOTEPAD.EXE", ERROR_PATH_NOT_FOUND)}}) {
        std::string failure;
        Win32ViewerLauncher(program, folder).Open("PlaxometReport.txt", [&](const std::string &what) {
            failure = what;
        });
        EXPECT_EQ(failure, said);
    }
}

// A screen reader names an edit field by the static text just before it in
// window order: Active Accessibility walks GW_HWNDPREV from the field to the
// first static text, stopping at a control with WS_GROUP or WS_TABSTOP
// ("Providing the Name Property"). (Wine's oleacc has no object for an edit
// control to ask; the Tab scenarios show the order of the fields unchanged.)
// At any scale (the Windows tests run this at 96 and 144 DPI) every one-line
// label shows its whole text, and every control lies within the dialog.
TEST(Win32Layout, LabelsNameTheirFieldsFitAndNothingIsClipped)
{
    std::string named; // each label, then the field after it
    const auto look = [&](IDialogDriver &, CDialog &dlg) {
        const HWND hwnd = dynamic_cast<Win32DialogWindow &>(dlg.Window()).Handle();
        RECT client{}, rect{}, inside{};
        ::GetClientRect(hwnd, &client);
        const HDC dc = ::GetDC(hwnd);
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        for (HWND child = ::GetWindow(hwnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256] = {}, kind[16] = {};
            ::GetClassNameW(child, kind, 16);
            const int length = ::GetWindowTextW(child, text, 256);
            ::GetWindowRect(child, &rect);
            ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT *>(&rect), 2);
            SIZE extent{};
            ::GetTextExtentPoint32W(dc, text, length, &extent);
            const bool label = std::wstring(kind) == L"Static" && rect.bottom - rect.top < 2 * extent.cy;
            ::IntersectRect(&inside, &rect, &client);
            EXPECT_TRUE(!::IsWindowVisible(child) || ::EqualRect(&inside, &rect)) << Utf8FromWide(text);
            EXPECT_TRUE(!label || extent.cx <= rect.right - rect.left) << Utf8FromWide(text);
            if (const HWND next = ::GetWindow(child, GW_HWNDNEXT);
                label && next && ::SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
                named += Utf8FromWide(text) + " " + std::to_string(::GetDlgCtrlID(next)) + ", ";
        }
        ::ReleaseDC(hwnd, dc);
    };
    // The label moved before the stave width field, which starts a group,
    // starts it itself: the arrow keys in the unit buttons wrap before it.
    const auto groups = [](IDialogDriver &, CDialog &dlg) {
        const HWND hwnd = dynamic_cast<Win32DialogWindow &>(dlg.Window()).Handle();
        for (const auto &[from, other] :
             {std::pair{IDC_INCHES, IDC_CENTIMETERS}, {IDC_CENTIMETERS, IDC_INCHES}}) {
            for (const BOOL previous : {TRUE, FALSE})
                EXPECT_EQ(::GetDlgCtrlID(::GetNextDlgGroupItem(hwnd, ::GetDlgItem(hwnd, from), previous)),
                          other)
                    << IdName(from);
        }
    };
    RunScenario(M, {.name = "main",
                    .before = {{"SETTINGS", kDefaultSettings}},
                    .steps = {M.Then(look), M.Then(groups), M.CloseBox()}});
    RunScenario(T, {.name = "new",
                    .before = {{"STYLES", ""}},
                    .steps = {T.Click(IDC_NEW), E.Then(look), E.Press(Key::Escape), T.Press(Key::Escape)}});
    EXPECT_EQ(named, "Stave width required 1000, Stave size required 1001, Page height (HS) required 1002, "
                     "Name 1010, Size 1011, ");
}

// On a Cyrillic Windows the ANSI code page is 1251: a name typed there is
// stored as its bytes in that code page, upper-cased as the system does it
// (ё to Ё, which Windows-1252's rules would leave alone), and a folder named
// in that script reads right in a message.
TEST(Win32CodePage, ACyrillicNameIsStoredInTheSystemsCodePageUpperCased)
{
    if (::GetACP() != 1251)
        GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << ", not 1251 (the Cyrillic run sets LC_ALL)";
    RunScenario(
        T, {.name = "Cyrillic",
            .before = {{"STYLES", ""}},
            .steps = {T.Click(IDC_NEW), E.Type(IDC_ENTRYNAME, "\u0451\u0436"), E.Type(IDC_ENTRYSIZE, "1"),
                      E.Press(Key::Enter), T.ExpectList({"\u0401\u0416\t1.00"}, 0, {0}), T.Click(IDOK)},
            .after = {{"STYLES", StylesRecord("\xA8\xC6", 1.0f)}}});
    TemporaryWorkingDirectory dir;
    const auto folder = dir.Path() / std::filesystem::path(u8"\u041F\u0430\u043F\u043A\u0430");
    std::filesystem::create_directory(folder);
    const std::string path = fileio::FullPath(folder / "SETTINGS");
    EXPECT_NE(path.find("\\\xCF\xE0\xEF\xEA\xE0\\SETTINGS"), std::string::npos) << path;
}

} // namespace

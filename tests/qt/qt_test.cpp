#include "qt/appearance.h"
#include "qt/qtdialogwindow.h"
#include "qt/qtservices.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <filesystem>

#include <gtest/gtest.h>

// What only the Qt windows and services can show: placement, fonts,
// accessible names, the keys Qt handles, its message boxes and xdg-open.
namespace {

constexpr On M{IDD_PLAXOMET_DIALOG};

QtDialogWindow &QtWindow(CDialog &dialog)
{
    return dynamic_cast<QtDialogWindow &>(dialog.Window());
}

// Each field's label is whole, left of it, and names it for a screen reader;
// labels and frames never take a click meant for a control they overlap.
TEST(QtMainWindow, DrawsTheTemplateAsAUserNeedsIt)
{
    const Step look = M.Then([](IDialogDriver &, CDialog &main) {
        QtDialogWindow &w = QtWindow(main);
        for (auto *label : w.findChildren<QLabel *>()) {
            if (QWidget *edit = label->buddy()) {
                EXPECT_LE(label->geometry().right(), edit->geometry().left()) << "label left of its field";
                EXPECT_LE(label->sizeHint().width(), label->width()) << "label not cut";
                EXPECT_EQ(edit->accessibleName(), label->text());
            }
        }
        // Where the units frame and the margins note overlap a control, the control takes the click.
        for (const int id :
             {IDC_INCHES, IDC_CENTIMETERS, IDC_STAVEWIDTH, IDC_STAVESIZE, IDC_PAGEHEIGHT, IDOK, IDCANCEL}) {
            QWidget *control = w.GetDlgItem(id);
            for (QWidget *other : w.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QRect shared = other->geometry() & control->geometry();
                if (other == control || !other->isVisible() || shared.isEmpty())
                    continue;
                QWidget *hit = w.childAt(shared.center());
                EXPECT_TRUE(hit == control || control->isAncestorOf(hit)) << IdName(id) << " is taken";
            }
        }
        // A click on the circle at the right edge checks the button, as one on its text does.
        auto *inches = qobject_cast<QRadioButton *>(w.GetDlgItem(IDC_INCHES));
        auto *centimetres = qobject_cast<QRadioButton *>(w.GetDlgItem(IDC_CENTIMETERS));
        ASSERT_TRUE(centimetres->isChecked() && !inches->isChecked());
        QTest::mouseClick(inches, Qt::LeftButton, {}, {inches->width() - 4, inches->height() / 2});
        EXPECT_TRUE(inches->isChecked()) << "the circle at the right edge";
        QTest::mouseClick(centimetres, Qt::LeftButton, {}, {2, centimetres->height() / 2});
        EXPECT_TRUE(centimetres->isChecked()) << "the text at the left";
    });
    RunScenario(
        M,
        {.name = "main", .before = {{"SETTINGS", kDefaultSettings}}, .steps = {look, M.Press(Key::Escape)}});
}

// Each box is first sent Esc and its close box, which answer only a box with
// OK or Cancel, as on Windows; a box still open is answered with `press`, or
// with Enter for its default button. The text is the program's 8-bit text,
// drawn in the dialogs' face, not the desktop's default.
TEST(QtMessageBox, ShowsCaptionTextIconAndReturnsTheButtonPressed)
{
    using B = QMessageBox;
    const struct {
        MsgButtons buttons;
        MsgIcon icon;
        B::StandardButton press; // NoButton: Enter, before anything else
        B::Icon shown;
        int answer; // AnswerCancel: the box answered Esc
    } cases[] = {
        {MsgButtons::OK, MsgIcon::Default, B::Ok, B::Warning, AnswerOK},
        {MsgButtons::YesNo, MsgIcon::Default, B::No, B::Question, AnswerNo},
        {MsgButtons::YesNo, MsgIcon::Question, B::NoButton, B::Question, AnswerYes},
        {MsgButtons::OK, MsgIcon::Stop, B::Ok, B::Critical, AnswerOK},
        {MsgButtons::OKCancel, MsgIcon::Default, B::Ok, B::Warning, AnswerCancel},
        {MsgButtons::YesNoCancel, MsgIcon::Default, B::Yes, B::Question, AnswerCancel},
    };
    QtMessageService service;
    const QString face = DialogFont(res::GetDialogTemplate(IDD_PLAXOMET_DIALOG)).family();
    for (const auto &c : cases) {
        // Answers the box once it is shown and active; a box it cannot answer fails the row at once,
        // closed, rather than holding the test until its time-out.
        QTimer::singleShot(0, qApp, [&] {
            QMessageBox *box = nullptr;
            const bool shown = QTest::qWaitFor([&box] {
                box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                return box && box->isVisible() && box->isActiveWindow();
            });
            if (!shown) {
                if (box)
                    box->done(B::Cancel);
                FAIL() << "no active message box opened";
            }
            EXPECT_EQ(box->windowTitle(), "Plaxomet") << "the name the dialogs show";
            EXPECT_EQ(box->text(), QString::fromUtf8("Access to caf\u00e9. was denied."));
            EXPECT_EQ(box->icon(), c.shown);
            EXPECT_EQ(box->font().family(), face);
            QTest::keyClick(box, c.press == B::NoButton ? Qt::Key_Return : Qt::Key_Escape);
            QApplication::processEvents();
            box->close();
            QApplication::processEvents();
            QAbstractButton *button = box->isVisible() ? box->button(c.press) : nullptr;
            EXPECT_TRUE(!box->isVisible() || button) << "no button " << c.press << " to press";
            if (button)
                button->click();
            else if (box->isVisible())
                box->done(B::Cancel);
        });
        EXPECT_EQ(service.ShowMessage("Access to caf\xE9. was denied.", c.buttons, c.icon), c.answer);
    }
}

// The report opens with xdg-open, started in the working folder and not
// waited for; every way it can fail is said when it ends (its statuses: 1 a
// bad command line, 2 a file not there, 3 no program for the file, 4 the
// program failed), and an xdg-open that is not there is said too.
TEST(QtViewerLauncher, OpensTheFileWithXdgOpenAndSaysWhenNothingOpenedIt)
{
    // What xdg-open does once it recorded its call (null: there is none), and what is said.
    // The first waits until the launch has returned: a launch that waited would never see "go".
    const std::pair<const char *, std::string> cases[] = {
        {"for i in $(seq 100); do [ -e go ] && touch done && exit 0; sleep 0.05; done; echo waited > opened",
         ""},
        {"exit 1", "xdg-open ended with status 1."},
        {"exit 2", "xdg-open ended with status 2."},
        {"exit 3", "xdg-open found no program for text files."},
        {"exit 4", "xdg-open ended with status 4."},
        {nullptr, "xdg-open could not be started. No such file or directory."},
    };
    const QByteArray path = qgetenv("PATH");
    for (const auto &[exit, said] : cases) {
        TemporaryWorkingDirectory dir;
        if (exit) {
            WriteBytes("xdg-open", std::string("#!/bin/sh\necho \"$PWD $*\" > opened\n") + exit + "\n");
            std::filesystem::permissions("xdg-open", std::filesystem::perms::owner_all);
        }
        // Without it the folder alone is the search path.
        qputenv("PATH", QByteArray::fromStdString(dir.Path().string()) + (exit ? ":" + path : ""));
        std::string failure = "(none)";
        QtViewerLauncher().Open("PlaxometReport.txt", [&](const std::string &what) { failure = what; });
        WriteBytes("go", "");
        qputenv("PATH", path);
        static_cast<void>(
            QTest::qWaitFor([&] { return failure != "(none)" || std::filesystem::exists("done"); }, 5000));
        EXPECT_EQ(failure, said.empty() ? "(none)" : said);
        EXPECT_EQ(ReadBytes("opened"), exit ? dir.Path().string() + " PlaxometReport.txt\n" : "");
    }
}

// Started from the desktop menu, Plaxomet works in Plaxomet of the documents
// folder the desktop names, made when missing and entered as it is on every
// later start, from whatever folder it starts in. Where it cannot be made
// the user is told, and the program stays where it was.
TEST(DocumentsFolder, IsMadeAndEnteredOrSaidAndLeftAlone)
{
    TemporaryWorkingDirectory dir;
    qputenv("XDG_CONFIG_HOME",
            QByteArray::fromStdString(dir.Path().string())); // user-dirs.dirs is read there
    RecordingMessageService messages;
    std::vector<std::filesystem::path> entered;
    std::filesystem::create_directory(dir.Path() / "elsewhere");
    // The last names a file as the documents folder: the list of folders itself.
    for (const std::string documents : {"Dokumente", "Dokumente", "user-dirs.dirs"}) {
        WriteBytes(dir.Path() / "user-dirs.dirs",
                   "XDG_DOCUMENTS_DIR=\"" + dir.Path().string() + "/" + documents + "\"\n");
        EnterDocumentsFolder(messages);
        entered.push_back(std::filesystem::current_path());
        std::filesystem::current_path(dir.Path() / "elsewhere");
    }
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(entered, (std::vector<std::filesystem::path>{dir.Path() / "Dokumente" / "Plaxomet",
                                                           dir.Path() / "Dokumente" / "Plaxomet",
                                                           dir.Path() / "elsewhere"}));
    EXPECT_EQ(messages.messages, std::vector<Shown>{{(dir.Path() / "user-dirs.dirs/Plaxomet").string() +
                                                     " contains an incorrect path."}});
}

} // namespace

#include "qt/qtservices.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "tests/support/fakes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

// Runs `answer` on the message box once it is shown and active.
void WhenBoxOpens(std::function<void(QMessageBox *)> answer)
{
    QTimer::singleShot(0, qApp, [answer = std::move(answer)] {
        QMessageBox *box = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&box] {
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            return box && box->isVisible() && box->isActiveWindow();
        })) << "no message box opened";
        answer(box);
    });
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
        {MsgButtons::YesNo, MsgIcon::Question, B::Yes, B::Question, AnswerYes},
        {MsgButtons::YesNo, MsgIcon::Question, B::NoButton, B::Question, AnswerYes},
        {MsgButtons::OK, MsgIcon::Stop, B::Ok, B::Critical, AnswerOK},
        {MsgButtons::OKCancel, MsgIcon::Default, B::Ok, B::Warning, AnswerCancel},
        {MsgButtons::YesNoCancel, MsgIcon::Default, B::Yes, B::Question, AnswerCancel},
    };
    QtMessageService service(QStringLiteral("plaxomet"));
    const QString face = DialogFont(res::GetDialogTemplate(IDD_PLAXOMET_DIALOG)).family();
    for (const auto &c : cases) {
        QString caption, text, font;
        B::Icon icon = B::NoIcon;
        WhenBoxOpens([&](QMessageBox *box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            font = box->font().family();
            QTest::keyClick(box, c.press == B::NoButton ? Qt::Key_Return : Qt::Key_Escape);
            for (int tries = 0; tries < 2 && box->isVisible(); ++tries) {
                QApplication::processEvents();
                if (tries == 0)
                    box->close();
            }
            if (box->isVisible())
                box->button(c.press)->click();
        });
        EXPECT_EQ(service.ShowMessage("Access to caf\xE9. was denied.", c.buttons, c.icon), c.answer);
        EXPECT_EQ(caption, "plaxomet");
        EXPECT_EQ(text, QString::fromUtf8("Access to caf\u00e9. was denied."));
        EXPECT_EQ(icon, c.shown);
        EXPECT_EQ(font, face);
    }
}

// The report opens with xdg-open, started in the working folder and not waited for.
TEST(QtViewerLauncher, OpensTheFileWithXdgOpen)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("xdg-open", "#!/bin/sh\necho \"$PWD $*\" > opening && mv opening opened\n");
    std::filesystem::permissions("xdg-open", std::filesystem::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(dir.Path().string()) + ":" + path);
    QtViewerLauncher().Open("PlaxometReport.txt");
    qputenv("PATH", path);
    for (int tries = 0; tries < 200 && !std::filesystem::exists("opened"); ++tries)
        QTest::qWait(25);
    EXPECT_EQ(ReadBytes("opened"), dir.Path().string() + " PlaxometReport.txt\n");
}

TEST(ApplicationName, IsTheExecutableNameWithoutFolderAndExtension)
{
    EXPECT_EQ(ApplicationNameFromPath("/usr/bin/plaxomet"), "plaxomet");
    EXPECT_EQ(ApplicationNameFromPath("C:\\Tools\\plax.v2.EXE"), "plax.v2");
}

} // namespace

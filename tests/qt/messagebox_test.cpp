#include "qt/qtservices.h"
#include "res/dialogs.h"
#include "res/resource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

// Runs `answer` on the message box once it is shown and active.
void WhenBoxOpens(std::function<void(QMessageBox *)> answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [poll, answer = std::move(answer), tries = 0]() mutable {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box && box->isVisible() && box->isActiveWindow()) {
            answer(box);
            *poll = nullptr;
        } else if (++tries < 500) {
            QTimer::singleShot(10, qApp, [poll] { (*poll)(); });
        } else {
            ADD_FAILURE() << "no message box opened";
            *poll = nullptr;
        }
    };
    QTimer::singleShot(0, qApp, [poll] { (*poll)(); });
}

// Each box is first sent Esc and its close box, which answer only a box with
// OK or Cancel, as on Windows; a box still open is answered with `press`.
TEST(QtMessageBox, ShowsCaptionTextIconAndReturnsTheButtonPressed)
{
    const struct {
        MsgButtons buttons;
        MsgIcon icon;
        QMessageBox::StandardButton press;
        QMessageBox::Icon expectedIcon;
        bool escapeAnswers;
        int expectedAnswer;
    } cases[] = {
        {MsgButtons::OK, MsgIcon::Default, QMessageBox::Ok, QMessageBox::Warning, true, AnswerOK},
        {MsgButtons::YesNo, MsgIcon::Default, QMessageBox::No, QMessageBox::Question, false, AnswerNo},
        {MsgButtons::YesNo, MsgIcon::Question, QMessageBox::Yes, QMessageBox::Question, false, AnswerYes},
        {MsgButtons::OK, MsgIcon::Stop, QMessageBox::Ok, QMessageBox::Critical, true, AnswerOK},
        {MsgButtons::OKCancel, MsgIcon::Default, QMessageBox::Ok, QMessageBox::Warning, true, AnswerCancel},
        {MsgButtons::YesNoCancel, MsgIcon::Default, QMessageBox::Yes, QMessageBox::Question, true,
         AnswerCancel},
    };
    QtMessageService service(QStringLiteral("plaxomet"));
    for (const auto &c : cases) {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool answeredByEscape = true;
        WhenBoxOpens([&](QMessageBox *box) {
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            QTest::keyClick(box, Qt::Key_Escape);
            QApplication::processEvents();
            if (box->isVisible()) {
                box->close();
                QApplication::processEvents();
            }
            if (box->isVisible()) {
                answeredByEscape = false;
                box->button(c.press)->click();
            }
        });
        EXPECT_EQ(service.ShowMessage("SETTINGS file not found", c.buttons, c.icon), c.expectedAnswer);
        EXPECT_EQ(caption, "plaxomet");
        EXPECT_EQ(text, "SETTINGS file not found");
        EXPECT_EQ(icon, c.expectedIcon);
        EXPECT_EQ(answeredByEscape, c.escapeAnswers) << static_cast<int>(c.buttons);
    }
}

TEST(QtMessageBox, EnterAnswersTheDefaultButtonInTheDialogsFont)
{
    QtMessageService service(QStringLiteral("plaxomet"));
    QFont font;
    WhenBoxOpens([&](QMessageBox *box) {
        font = box->font();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(service.ShowMessage("Enter a number.", MsgButtons::OK), AnswerOK);
    EXPECT_EQ(font.family(), DialogFont(res::GetDialogTemplate(IDD_PLAXOMET_DIALOG)).family())
        << "a message box draws in the dialogs' face, not the desktop's default";
}

TEST(ApplicationName, IsTheExecutableNameWithoutFolderAndExtension)
{
    EXPECT_EQ(ApplicationNameFromPath("/usr/bin/plaxomet"), "plaxomet");
    EXPECT_EQ(ApplicationNameFromPath("C:\\Tools\\PLAXOMET.EXE"), "PLAXOMET");
    EXPECT_EQ(ApplicationNameFromPath("plax.v2.exe"), "plax.v2");
    EXPECT_EQ(ApplicationNameFromPath("./plaxomet"), "plaxomet");
}

} // namespace

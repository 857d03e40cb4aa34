#include "tests/ui/dialogdriver.h"
#include "ui/qtservices.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

struct BoxCase {
    MsgButtons buttons;
    MsgIcon icon;
    QMessageBox::StandardButton press;
    QMessageBox::Icon expectedIcon;
    int expectedAnswer;
};

TEST(QtMessageBox, ShowsCaptionTextIconAndReturnsTheButtonPressed)
{
    const BoxCase cases[] = {
        {MsgButtons::OK, MsgIcon::Default, QMessageBox::Ok, QMessageBox::Warning, IDOK},
        {MsgButtons::YesNo, MsgIcon::Default, QMessageBox::No, QMessageBox::Question, IDNO},
        {MsgButtons::YesNo, MsgIcon::Question, QMessageBox::Yes, QMessageBox::Question, IDYES},
        {MsgButtons::OK, MsgIcon::Stop, QMessageBox::Ok, QMessageBox::Critical, IDOK},
        {MsgButtons::OKCancel, MsgIcon::Default, QMessageBox::Cancel, QMessageBox::Warning, IDCANCEL},
    };
    QtMessageService service(QStringLiteral("plaxomet"));
    for (const auto &c : cases) {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        driver::WhenModalOpens([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            ASSERT_NE(box, nullptr);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(c.press)->click();
        });
        EXPECT_EQ(service.ShowMessage("SETTINGS file not found", c.buttons, c.icon), c.expectedAnswer);
        EXPECT_EQ(caption, "plaxomet");
        EXPECT_EQ(text, "SETTINGS file not found");
        EXPECT_EQ(icon, c.expectedIcon);
    }
}

TEST(QtMessageBox, EnterAnswersTheDefaultButton)
{
    QtMessageService service(QStringLiteral("plaxomet"));
    driver::WhenModalOpens([](QWidget *modal) { driver::Press(modal, Qt::Key_Return); });
    EXPECT_EQ(service.ShowMessage("Enter a number.", MsgButtons::OK), IDOK);
}

TEST(ApplicationName, IsTheExecutableNameWithoutFolderAndExtension)
{
    EXPECT_EQ(ApplicationNameFromPath("/usr/bin/plaxomet"), "plaxomet");
    EXPECT_EQ(ApplicationNameFromPath("C:\\Tools\\PLAXOMET.EXE"), "PLAXOMET");
    EXPECT_EQ(ApplicationNameFromPath("plax.v2.exe"), "plax.v2");
    EXPECT_EQ(ApplicationNameFromPath("./plaxomet"), "plaxomet");
}

} // namespace

#include "base/fileerror.h"
#include "res/resource.h"
#include "tests/support/fakes.h"
#include "tests/ui/dialogdriver.h"
#include "ui/dataexchange.h"
#include "ui/dialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cerrno>
#include <gtest/gtest.h>
#include <system_error>

namespace {

// A name limited to 17 characters and a size, on the edit dialog's template.
class NameSizeDialog : public CDialog {
public:
    explicit NameSizeDialog(IMessageService &messages) : CDialog(IDD_EDITTEXTSTYLES, messages) {}

    std::string m_strName;
    float m_fSize = 0.0f;
    std::function<void()> extraBinding;

protected:
    void DoDataExchange(CDataExchange *pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 17);
        DDX_Text(pDX, IDC_SIZE, m_fSize);
        if (extraBinding)
            extraBinding();
    }
};

class FieldExchangeTest : public testing::Test {
protected:
    void SetUp() override
    {
        dlg.show();
        QApplication::setActiveWindow(&dlg);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    }

    QLineEdit *Edit(int id) { return qobject_cast<QLineEdit *>(dlg.GetDlgItem(id)); }

    RecordingMessageService messages;
    NameSizeDialog dlg{messages};
};

TEST_F(FieldExchangeTest, ShowsEightBitNamesAsUnicodeAndLongNamesWhole)
{
    dlg.m_strName = "CAF\xC9 \x80 LONGER THAN SEVENTEEN";
    dlg.m_fSize = 1234567.0f;
    ASSERT_TRUE(dlg.UpdateData(false));
    EXPECT_EQ(Edit(IDC_NAME)->text(), QString::fromUtf8("CAF\xC3\x89 \xE2\x82\xAC LONGER THAN SEVENTEEN"));
    EXPECT_EQ(Edit(IDC_SIZE)->text(), "1.23457e+006");
}

TEST_F(FieldExchangeTest, TheKeyboardStopsAtTheLimitButCanShortenALongerText)
{
    ASSERT_TRUE(dlg.UpdateData(false));
    QTest::keyClicks(Edit(IDC_NAME), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(Edit(IDC_NAME)->text(), "abcdefghijklmnopq");

    dlg.m_strName = std::string(20, 'X');
    ASSERT_TRUE(dlg.UpdateData(false));
    Edit(IDC_NAME)->setFocus();
    Edit(IDC_NAME)->end(false);
    QTest::keyClick(Edit(IDC_NAME), Qt::Key_Backspace);
    EXPECT_EQ(Edit(IDC_NAME)->text().size(), 19);
    QTest::keyClicks(Edit(IDC_NAME), "Y");
    EXPECT_EQ(Edit(IDC_NAME)->text().size(), 19) << "a text over the limit cannot grow";
}

TEST_F(FieldExchangeTest, ATooLongNameIsRefusedAfterItIsCopied)
{
    Edit(IDC_NAME)->setText(QString(18, 'N'));
    Edit(IDC_SIZE)->setText("12");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Enter no more than 17 characters.");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dlg.m_strName, std::string(18, 'N'));
    EXPECT_EQ(dlg.m_fSize, 0.0f) << "bindings after the refused one are not read";
    EXPECT_EQ(QApplication::focusWidget(), Edit(IDC_NAME));
    EXPECT_EQ(Edit(IDC_NAME)->selectedText(), QString(18, 'N'));
}

TEST_F(FieldExchangeTest, AccentedCharactersCountAsOneByte)
{
    Edit(IDC_NAME)->setText(QString::fromUtf8("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                                              "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
                                              "\xC3\xA9\xC3\xA9\xC3\xA9"));
    Edit(IDC_SIZE)->setText("1");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strName, std::string(17, '\xE9'));
}

TEST_F(FieldExchangeTest, ARefusedNumberKeepsItsMember)
{
    dlg.m_fSize = 4.5f;
    for (const char *text : {"abc", "", ".", "0x10"}) {
        Edit(IDC_NAME)->setText("BODY");
        Edit(IDC_SIZE)->setText(text);
        EXPECT_FALSE(dlg.UpdateData(true)) << text;
        EXPECT_EQ(dlg.m_fSize, 4.5f) << text;
        EXPECT_EQ(messages.messages.back().text, "Enter a number.");
        EXPECT_EQ(QApplication::focusWidget(), Edit(IDC_SIZE));
    }
    Edit(IDC_SIZE)->setText("  3.5abc");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_fSize, 3.5f);
}

TEST_F(FieldExchangeTest, AnOtherErrorDuringExchangeIsShownWithAnExclamation)
{
    dlg.extraBinding = [] { throw CFileException(CFileException::hardIO, EIO, "X."); };
    Edit(IDC_SIZE)->setText("1");
    EXPECT_FALSE(dlg.UpdateData(true));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Encountered a hardware I/O error while accessing X..");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(FieldExchangeTest, ErrorsLeavingAHandlerAreReportedAndTheDialogCarriesOn)
{
    const struct {
        std::function<void()> handler;
        const char *text;
        MsgIcon icon;
    } cases[] = {
        {[] { throw CFileException(CFileException::accessDenied, EACCES, "SETTINGS."); },
         "Access to SETTINGS. was denied.", MsgIcon::Stop},
        {[] { throw CArchiveException(CArchiveException::endOfFile); },
         "Attempted to access an unnamed file past its end.", MsgIcon::Stop},
        {[] { throw std::system_error(EINVAL, std::generic_category()); }, "Invalid argument", MsgIcon::Stop},
        {[] { throw std::bad_alloc(); }, "Out of memory.", MsgIcon::Exclamation},
        {[] { throw 42; }, "Internal application error.", MsgIcon::Stop},
    };
    bool after = false;
    for (const auto &c : cases) {
        dlg.Dispatch([&] {
            c.handler();
            after = true;
        });
        EXPECT_FALSE(after);
        ASSERT_FALSE(messages.messages.empty());
        EXPECT_EQ(messages.messages.back().text, c.text);
        EXPECT_EQ(messages.messages.back().buttons, MsgButtons::OK);
        EXPECT_EQ(messages.messages.back().icon, c.icon);
    }
}

} // namespace

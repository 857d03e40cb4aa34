#include "res/resource.h"
#include "styles/styles.h"
#include "tests/support/fakes.h"
#include "tests/ui/dialogdriver.h"
#include "ui/listbox.h"
#include "ui/plaxometdlg.h"
#include "ui/textstylesdlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <bit>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;
using driver::Press;
using Strings = std::vector<std::string>;

std::string Record(const std::string &name, float size)
{
    const auto bits = std::bit_cast<std::uint32_t>(size);
    return static_cast<char>(name.size()) + name +
           std::string{static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
                       static_cast<char>(bits >> 24)};
}

// What the edit dialog showed when it opened, and then what was typed in it.
struct EditVisit {
    QString caption, name, size;
    bool nameFocusedAndSelected = false;
    QPoint centre;
};

class TextSizesTest : public testing::Test {
protected:
    CTextStylesDlg &Open()
    {
        dlg = std::make_unique<CTextStylesDlg>(messages);
        EXPECT_TRUE(dlg->Open());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        return *dlg;
    }

    Strings Entries() const { return AllEntries(*dlg->m_listStyles); }

    std::vector<int> Selected() const
    {
        std::vector<int> rows;
        for (int i = 0; i < dlg->m_listStyles->count(); ++i) {
            if (dlg->m_listStyles->item(i)->isSelected())
                rows.push_back(i);
        }
        return rows;
    }

    // Answers the next edit dialog: records it, types name and size (unless
    // null) and presses the key.
    void AnswerEdit(const char *name, const char *size, int key = Qt::Key_Return)
    {
        driver::WhenModalOpens([=, this](QWidget *modal) {
            auto *edit = static_cast<CEditTextStylesDlg *>(modal);
            auto *nameField = qobject_cast<QLineEdit *>(edit->GetDlgItem(IDC_NAME));
            visit.caption = modal->windowTitle();
            visit.centre = modal->frameGeometry().center();
            visit.name = nameField->text();
            visit.size = qobject_cast<QLineEdit *>(edit->GetDlgItem(IDC_SIZE))->text();
            visit.nameFocusedAndSelected =
                QApplication::focusWidget() == nameField && nameField->selectedText() == nameField->text();
            if (name)
                driver::Type(*edit, IDC_NAME, QString::fromUtf8(name));
            if (size)
                driver::Type(*edit, IDC_SIZE, QString::fromUtf8(size));
            Press(QApplication::focusWidget(), key);
        });
    }

    void Click(int id) { driver::Click(*dlg, id); }

    void ClickEntry(int row)
    {
        auto *list = dlg->m_listStyles;
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    std::unique_ptr<CTextStylesDlg> dlg;
    EditVisit visit;
};

TEST_F(TextSizesTest, AMissingFileIsReportedAndTheListIsEmpty)
{
    Open();
    EXPECT_EQ(messages.Texts(), Strings{"TEXT SIZES file not found"});
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(dlg->windowTitle(), "Text Sizes (in Orvel units)");
}

TEST_F(TextSizesTest, OpensSortedWithTheFirstEntrySelectedAndFocusOnNew)
{
    WriteBytes("STYLES", Record("BODY", 12.0f) + Record("annot", 9.5f) + Record("TITLE", 20.0f));
    Open();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Entries(), (Strings{"annot\t9.50", "BODY\t12.00", "TITLE\t20.00"}));
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(dlg->m_listStyles->GetCaretIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), dlg->m_btnNew);
    EXPECT_TRUE(dlg->m_btnNew->isDefault()) << "the focused button takes Enter";
}

TEST_F(TextSizesTest, ATruncatedFileKeepsItsWholeRecords)
{
    const auto last = Record("TITLE", 20.0f);
    WriteBytes("STYLES", Record("BODY", 12.0f) + last.substr(0, last.size() - 2));
    Open();
    EXPECT_EQ(Entries(), Strings{"BODY\t12.00"});
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(TextSizesTest, NewUpperCasesTheNameAndFilesItInItsPlace)
{
    WriteBytes("STYLES", Record("ANNOT", 9.5f) + Record("TITLE", 20.0f));
    Open();
    ClickEntry(1);
    AnswerEdit("body", "11");
    Click(IDC_NEW);
    EXPECT_EQ(visit.caption, "New text size (in Orvel units)");
    EXPECT_EQ(visit.name, "");
    EXPECT_EQ(visit.size, "0");
    EXPECT_TRUE(visit.nameFocusedAndSelected);
    EXPECT_LE((visit.centre - dlg->frameGeometry().center()).manhattanLength(), 2)
        << "centred over its owner";
    EXPECT_EQ(Entries(), (Strings{"ANNOT\t9.50", "BODY\t11.00", "TITLE\t20.00"}));
    EXPECT_EQ(Selected(), std::vector<int>{0}) << "the current entry was deselected, the first selected";
}

TEST_F(TextSizesTest, NewCancelledChangesNothingButTheSelection)
{
    WriteBytes("STYLES", Record("ANNOT", 9.5f));
    Open();
    AnswerEdit("x", "1", Qt::Key_Escape);
    Click(IDC_NEW);
    EXPECT_EQ(Entries(), Strings{"ANNOT\t9.50"});
    EXPECT_TRUE(Selected().empty());
}

TEST_F(TextSizesTest, EditByButtonAndByDoubleClickReplacesTheEntry)
{
    WriteBytes("STYLES", Record("ANNOT", 9.5f) + Record("BODY", 11.0f));
    Open();
    ClickEntry(1);
    AnswerEdit(nullptr, "10.5");
    Click(IDC_EDIT);
    EXPECT_EQ(visit.caption, "Edit text size (in Orvel units)");
    EXPECT_EQ(visit.name, "BODY");
    EXPECT_EQ(visit.size, "11");
    EXPECT_EQ(Entries(), (Strings{"ANNOT\t9.50", "BODY\t10.50"}));

    auto *list = dlg->m_listStyles;
    AnswerEdit("alpha", nullptr);
    const QPoint onBody = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onBody);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, onBody);
    EXPECT_EQ(visit.name, "BODY");
    EXPECT_EQ(Entries(), (Strings{"ALPHA\t10.50", "ANNOT\t9.50"}));
}

TEST_F(TextSizesTest, TheEditDialogRefusesLongNamesAndNonNumbers)
{
    WriteBytes("STYLES", Record(std::string(18, 'L'), 1.0f));
    Open();
    int refusals = 0;
    driver::WhenModalOpens([&](QWidget *modal) {
        auto *edit = static_cast<CEditTextStylesDlg *>(modal);
        EXPECT_EQ(driver::Text(*edit, IDC_NAME), QString(18, 'L')) << "a long name is shown whole";
        Press(QApplication::focusWidget(), Qt::Key_Return);
        refusals += modal->isVisible();
        driver::Type(*edit, IDC_NAME, "short");
        driver::Type(*edit, IDC_SIZE, "abc");
        Press(QApplication::focusWidget(), Qt::Key_Return);
        refusals += modal->isVisible();
        EXPECT_EQ(QApplication::focusWidget(), edit->GetDlgItem(IDC_SIZE));
        Press(QApplication::focusWidget(), Qt::Key_Escape);
    });
    Click(IDC_EDIT);
    EXPECT_EQ(refusals, 2);
    EXPECT_EQ(messages.Texts(), (Strings{"Enter no more than 17 characters.", "Enter a number."}));
    EXPECT_EQ(Entries(), Strings{std::string(18, 'L') + "\t1.00"});
}

TEST_F(TextSizesTest, DeleteAsksFirst)
{
    WriteBytes("STYLES", Record("ANNOT", 9.5f) + Record("BODY", 11.0f));
    Open();
    ClickEntry(1);
    messages.answers = {IDNO};
    Click(IDC_DELETE);
    EXPECT_EQ(messages.messages.back().text, "Are you sure?");
    EXPECT_EQ(messages.messages.back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.messages.back().icon, MsgIcon::Question);
    EXPECT_EQ(Entries().size(), 2u);
    messages.answers = {IDYES};
    Click(IDC_DELETE);
    EXPECT_EQ(Entries(), Strings{"ANNOT\t9.50"});
}

TEST_F(TextSizesTest, EditAndDeleteOnAnEmptyList)
{
    Open();
    messages.messages.clear();
    Click(IDC_EDIT);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, std::generic_category().message(EINVAL));
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Stop);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no edit dialog opened";
    messages.answers = {IDYES};
    Click(IDC_DELETE);
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(TextSizesTest, OkRewritesTheFileAndCloses)
{
    const std::string accented = "CAF\xC9 \x80";
    WriteBytes("STYLES", Record("BODY", 12.345f) + Record(accented, 8.0f));
    Open();
    Click(IDOK);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), IDOK);
    EXPECT_EQ(ReadBytes("STYLES"), Record("BODY", 12.35f) + Record(accented, 8.0f))
        << "sizes are stored as listed, names byte for byte";
}

TEST_F(TextSizesTest, AccentedNamesTypedInUnicodeAreStoredAsEightBitText)
{
    Open();
    AnswerEdit("caf\xC3\xA9 \xC3\xBF", "9");
    Click(IDC_NEW);
    Click(IDOK);
    EXPECT_EQ(ReadBytes("STYLES"), Record("CAF\xC9 \x9F", 9.0f));
}

TEST_F(TextSizesTest, CancelLeavesTheFileUntouched)
{
    const auto original = Record("BODY", 12.345f);
    WriteBytes("STYLES", original);
    for (const auto cancel : {Qt::Key_Escape, Qt::Key_unknown}) {
        Open();
        messages.answers = {IDYES};
        Click(IDC_DELETE);
        if (cancel == Qt::Key_Escape)
            Press(dlg.get(), Qt::Key_Escape);
        else
            Click(IDCANCEL);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), IDCANCEL);
        EXPECT_EQ(ReadBytes("STYLES"), original);
    }
}

TEST_F(TextSizesTest, AFailedSaveIsReportedAndTheDialogStaysOpen)
{
    fs::create_directory("STYLES");
    Open();
    Click(IDOK);
    EXPECT_EQ(messages.messages.back().text, "Access to STYLES. was denied.");
    EXPECT_EQ(messages.messages.back().icon, MsgIcon::Stop);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(TextSizesTest, SizesLineUpAtTheTabStop)
{
    WriteBytes("STYLES", Record("A", 1.0f) + Record("WIDER", 2.0f));
    Open();
    auto *list = dlg->m_listStyles;
    list->clearSelection();
    const QImage image = list->viewport()->grab().toImage();
    const int tabStop = dlg->MapDialogRect(QRect(0, 0, 64, 0)).width();
    const auto firstInkFrom = [&](int row, int fromX) {
        const QRect r = list->visualItemRect(list->item(row));
        for (int x = fromX; x < image.width(); ++x) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                if (qGray(image.pixel(x, y)) < 128)
                    return x;
            }
        }
        return -1;
    };
    const int size0 = firstInkFrom(0, tabStop / 2 + 10);
    const int size1 = firstInkFrom(1, tabStop / 2 + 10);
    EXPECT_EQ(size0, size1) << "the sizes form a column";
    EXPECT_GE(size0, tabStop);
    EXPECT_LT(size0, tabStop + 8);
}

TEST_F(TextSizesTest, TheMainDialogsHiddenButtonOpensIt)
{
    RecordingLauncher launcher;
    CPlaxometDlg main(messages, launcher);
    ASSERT_TRUE(main.Open());
    auto *button = qobject_cast<QPushButton *>(main.GetDlgItem(IDC_TEXTSIZES));
    EXPECT_TRUE(button->isHidden());
    QString title, owner;
    driver::WhenModalOpens([&](QWidget *modal) {
        title = modal->windowTitle();
        owner = modal->parentWidget() ? modal->parentWidget()->windowTitle() : QString();
        Press(modal, Qt::Key_Escape);
    });
    button->click();
    EXPECT_EQ(title, "Text Sizes (in Orvel units)");
    EXPECT_EQ(owner, "Plaxomet");
    EXPECT_TRUE(main.isVisible());
}

} // namespace

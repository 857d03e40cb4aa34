#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "qt/listwidget.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/qt/qtdriver.h"
#include "tests/support/fakes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

// What only the Qt windows can show: placement, fonts, accessible names, the
// keys and the list layout Qt draws.
namespace {

constexpr int M = IDD_PLAXOMET_DIALOG;

// Opens a dialog, runs `look` on its window once it is active, then closes it.
void LookAt(CDialog &dialog, const std::function<void(QtDialogWindow &)> &look)
{
    Play(Driver(), dialog,
         {{dialog.TemplateId(), "look", [&](IDialogDriver &, CDialog &dlg) { look(QtDriver::Window(dlg)); }},
          Press(dialog.TemplateId(), Key::Escape)});
}

class QtMainWindowTest : public testing::Test {
protected:
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    RecordingLauncher launcher;
};

TEST_F(QtMainWindowTest, LayoutFollowsTheTemplate)
{
    WriteBytes("SETTINGS", kDefaultSettings);
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    LookAt(dlg, [](QtDialogWindow &w) {
        const auto geometry = [&w](int id) { return w.GetDlgItem(id)->geometry(); };
        EXPECT_LT(geometry(IDC_STAVESIZE).top(), geometry(IDC_STAVEWIDTH).top());
        EXPECT_LT(geometry(IDC_STAVEWIDTH).top(), geometry(IDC_PAGEHEIGHT).top());
        EXPECT_LT(geometry(IDC_INCHES).right(), geometry(IDC_CENTIMETERS).left());
        EXPECT_LT(geometry(IDC_INCHES).bottom(), geometry(IDC_STAVESIZE).top());
        EXPECT_LT(geometry(IDC_STAVEWIDTH).right(), geometry(IDC_STAVEWIDTHUNITS).left());
        EXPECT_LT(geometry(IDC_STAVEWIDTHUNITS).right(), geometry(IDOK).left());
        EXPECT_LT(geometry(IDOK).bottom(), geometry(IDCANCEL).top());
        EXPECT_EQ(geometry(IDC_PAGEHEIGHT).top(), geometry(IDCANCEL).top());
        for (const int id : {IDC_STAVEWIDTH, IDC_STAVESIZE, IDC_PAGEHEIGHT}) {
            QWidget *edit = w.GetDlgItem(id);
            QLabel *label = nullptr;
            for (auto *candidate : w.findChildren<QLabel *>()) {
                if (candidate->buddy() == edit)
                    label = candidate;
            }
            ASSERT_NE(label, nullptr);
            EXPECT_LE(label->geometry().right(), edit->geometry().left()) << "label left of its field";
            EXPECT_LE(label->sizeHint().width(), label->width()) << "label not cut";
            EXPECT_EQ(edit->accessibleName(), label->text());
            EXPECT_TRUE(w.rect().contains(edit->geometry()));
        }
        EXPECT_TRUE(w.GetDlgItem(IDC_TEXTSIZES)->isHidden());
        EXPECT_TRUE(qobject_cast<QPushButton *>(w.GetDlgItem(IDOK))->isDefault());
        EXPECT_EQ(w.windowTitle(), "Plaxomet");
        EXPECT_FALSE(w.windowIcon().pixmap(16, 16).isNull()) << "the icon's images load";
        EXPECT_EQ(w.GetDlgItem(IDC_INCHES)->focusPolicy(), Qt::ClickFocus) << "radios have no tab stop";
    });
}

TEST_F(QtMainWindowTest, AFieldWithoutTheFocusShowsTheStartOfItsText)
{
    WriteBytes("SETTINGS", SettingsBytes(1, 3.4028235e38f, 1234567.0f, 1234567.0f, 1.0f));
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    LookAt(dlg, [](QtDialogWindow &w) {
        for (const int id : {IDC_STAVESIZE, IDC_PAGEHEIGHT}) {
            auto *edit = qobject_cast<QLineEdit *>(w.GetDlgItem(id));
            EXPECT_FALSE(edit->hasFocus());
            EXPECT_EQ(edit->cursorPosition(), 0) << edit->text().toStdString();
        }
    });
}

TEST_F(QtMainWindowTest, F1OpensTheAboutBoxWithItsTextWhole)
{
    WriteBytes("SETTINGS", kDefaultSettings);
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    QString text;
    bool iconShown = false;
    const Step f1{M, "F1", [](IDialogDriver &, CDialog &main) {
                      QTest::keyClick(QtDriver::Window(main).focusWidget(), Qt::Key_F1);
                  }};
    const Step read{IDD_ABOUTBOX, "read", [&](IDialogDriver &, CDialog &about) {
                        for (auto *label : QtDriver::Window(about).findChildren<QLabel *>()) {
                            text += label->text() + "|";
                            iconShown |= !label->pixmap().isNull();
                            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                                << "not cut: " << label->text().toStdString();
                        }
                    }};
    Play(Driver(), dlg, {f1, read, Press(IDD_ABOUTBOX, Key::Enter), Press(M, Key::Escape)});
    EXPECT_TRUE(text.contains("Plaxomet Version 1.01")) << text.toStdString();
    EXPECT_TRUE(iconShown);
}

// Entries of the list box, every one shown whole: names and sizes of any
// width, with columns running on to the right.
class QtTextSizesListTest : public testing::TestWithParam<int> {};

TEST_P(QtTextSizesListTest, ShowsEveryEntryWholeInColumns)
{
    const int count = GetParam();
    TemporaryWorkingDirectory dir;
    std::string records = StylesRecord("WWWWWWWWWWWWWWWWW", 3.4028235e38f);
    for (int i = 1; i < count; ++i)
        records += StylesRecord("N" + std::to_string(i), static_cast<float>(i));
    WriteBytes("STYLES", records);
    RecordingMessageService messages;
    CTextStylesDlg dlg(Driver().Toolkit(), messages);
    LookAt(dlg, [count](QtDialogWindow &w) {
        auto *list = qobject_cast<CListWidget *>(w.GetDlgItem(IDC_STYLESLIST));
        ASSERT_EQ(list->count(), count);
        EXPECT_FALSE(list->verticalScrollBar()->isVisible()) << "entries run on into the next column";
        const int step = std::max(1, count / 200);
        QRect previous;
        for (int i = 0; i < count; i += step) {
            const QRect rect = list->visualItemRect(list->item(i));
            EXPECT_GE(rect.width(), list->EntryWidth(list->item(i)->text())) << i;
            EXPECT_LE(rect.bottom(), list->viewport()->height()) << i << ": within a column's height";
            if (step == 1 && i > 0) {
                EXPECT_TRUE(rect.top() > previous.top() || rect.left() > previous.left()) << i;
            }
            previous = rect;
        }
        if (count > 1) {
            const QRect last = list->visualItemRect(list->item(count - 1));
            EXPECT_EQ(list->horizontalScrollBar()->isVisible(), last.right() > list->viewport()->width());
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Entries, QtTextSizesListTest, testing::Values(1, 27, 100, 100000));

} // namespace

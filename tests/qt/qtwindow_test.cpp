#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "qt/listwidget.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/qt/qtdriver.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
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
        EXPECT_FALSE(w.windowIcon().pixmap(16, 16).isNull()) << "the icon's images load";
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

TEST_F(QtMainWindowTest, LabelsAndFramesNeverTakeAControlsClicks)
{
    WriteBytes("SETTINGS", kDefaultSettings);
    CPlaxometDlg dlg(Driver().Toolkit(), messages, launcher);
    LookAt(dlg, [](QtDialogWindow &w) {
        int overlaps = 0;
        for (const int id :
             {IDC_INCHES, IDC_CENTIMETERS, IDC_STAVEWIDTH, IDC_STAVESIZE, IDC_PAGEHEIGHT, IDOK, IDCANCEL}) {
            QWidget *control = w.GetDlgItem(id);
            for (QWidget *other : w.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                const QRect shared = other->geometry() & control->geometry();
                if (other == control || !other->isVisible() || shared.isEmpty())
                    continue;
                ++overlaps;
                for (const QPoint point : {shared.topLeft(), shared.center(), shared.bottomRight()}) {
                    QWidget *hit = w.childAt(point);
                    EXPECT_TRUE(hit == control || control->isAncestorOf(hit))
                        << id << " at " << point.x() << "," << point.y() << " is taken by "
                        << (hit ? hit->metaObject()->className() : "nothing");
                }
            }
        }
        EXPECT_GT(overlaps, 0) << "the units frame and the margins note overlap controls";
    });
}

// A one-line field takes a paste or a drop as a native edit control does.
class QtEditFieldTest : public testing::Test {
protected:
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;

    // The name and size fields' texts after `act` on the edit dialog, which shows `name`.
    std::pair<std::string, std::string> AfterActing(const std::string &name,
                                                    const std::function<void(QLineEdit *, QLineEdit *)> &act)
    {
        CEditTextStylesDlg edit(Driver().Toolkit(), messages);
        edit.m_strName = name;
        std::pair<std::string, std::string> texts;
        LookAt(edit, [&](QtDialogWindow &w) {
            auto *nameField = qobject_cast<QLineEdit *>(w.GetDlgItem(IDC_ENTRYNAME));
            auto *sizeField = qobject_cast<QLineEdit *>(w.GetDlgItem(IDC_ENTRYSIZE));
            act(nameField, sizeField);
            texts = {nameField->text().toStdString(), sizeField->text().toStdString()};
        });
        return texts;
    }
};

void Paste(QLineEdit *field, const QString &text)
{
    QApplication::clipboard()->setText(text);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

void Drop(QLineEdit *field, const QString &text)
{
    QMimeData data;
    data.setText(text);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the field: the application passes a drop on only during a drag it runs itself.
    static_cast<QObject *>(field)->event(&drop);
}

const QString kThirty = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");

TEST_F(QtEditFieldTest, APasteOrDropInsertsWhatTheLimitLeavesRoomFor)
{
    const struct {
        const char *name;
        std::string shown;
        std::function<void(QLineEdit *, QLineEdit *)> act;
        std::string name_after;
    } cases[] = {
        {"paste into the empty name", "", [](QLineEdit *n, QLineEdit *) { Paste(n, kThirty); },
         "ABCDEFGHIJKLMNOPQ"},
        {"drop onto the empty name", "", [](QLineEdit *n, QLineEdit *) { Drop(n, kThirty); },
         "ABCDEFGHIJKLMNOPQ"},
        {"paste after four letters", "abcd",
         [](QLineEdit *n, QLineEdit *) {
             n->setCursorPosition(4);
             Paste(n, kThirty);
         },
         "abcdABCDEFGHIJKLM"},
        {"paste over a long loaded name", "twenty-characters-x",
         [](QLineEdit *n, QLineEdit *) {
             n->selectAll();
             Paste(n, kThirty);
         },
         "ABCDEFGHIJKLMNOPQ"},
        {"typing onto a long loaded name", "twenty-characters-x",
         [](QLineEdit *n, QLineEdit *) {
             n->setFocus();
             n->end(false);
             QTest::keyClick(n, Qt::Key_Z);
         },
         "twenty-characters-x"},
        {"two lines pasted", "", [](QLineEdit *n, QLineEdit *) { Paste(n, QStringLiteral("AB\nCD")); }, "AB"},
        {"two Windows lines dropped", "",
         [](QLineEdit *n, QLineEdit *) { Drop(n, QStringLiteral("AB\r\nCD")); }, "AB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(AfterActing(c.shown, c.act).first, c.name_after) << c.name;
}

TEST_F(QtEditFieldTest, ANumberFieldKeepsTheFirstLineOfAPaste)
{
    const auto texts = AfterActing("", [](QLineEdit *, QLineEdit *size) {
        size->selectAll();
        Paste(size, QStringLiteral("12.5\n7"));
    });
    EXPECT_EQ(texts.second, "12.5");
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

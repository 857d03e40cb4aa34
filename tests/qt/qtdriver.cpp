// The Qt dialogs' test program: a driver that acts with real key and mouse
// events, under which the scenario tables and the Qt-only tests run.
#include "dialogs/dialog.h"
#include "qt/listwidget.h"
#include "qt/qtdialogwindow.h"
#include "tests/dialogs/driver.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

QtDialogWindow &Window(CDialog &dialog)
{
    return dynamic_cast<QtDialogWindow &>(dialog.Window());
}

template <class Control = QWidget>
Control *Item(CDialog &dialog, int id)
{
    return qobject_cast<Control *>(Window(dialog).GetDlgItem(id));
}

class QtDriver : public IDialogDriver {
public:
    IToolkit &Toolkit() override { return m_toolkit; }
    void Post(std::function<void()> function) override { QTimer::singleShot(2, qApp, std::move(function)); }

    bool IsReady(CDialog &dialog) override
    {
        // Without a window manager nothing hands the activation back to a dialog
        // when the one it opened closes; a user would click on it.
        if (Window(dialog).isVisible() && !Window(dialog).isActiveWindow())
            Window(dialog).activateWindow();
        return dialog.Window().IsActive();
    }

    void Type(CDialog &dialog, int id, const std::string &text) override
    {
        auto *edit = Item<QLineEdit>(dialog, id);
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        for (const QChar c : QString::fromStdString(text)) {
            // A key as a keyboard with that letter sends it, whatever the script: its text.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }

    void Press(CDialog &dialog, Key key) override
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &Window(dialog);
        const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_F1};
        QTest::keyClick(target, keys[static_cast<int>(key)],
                        key == Key::ShiftTab ? Qt::ShiftModifier : Qt::NoModifier);
    }

    void Click(CDialog &dialog, int id) override
    {
        QWidget *control = Item(dialog, id);
        QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(4, control->height() / 2));
    }

    void CloseBox(CDialog &dialog) override { Window(dialog).close(); }

    void ChooseSystemMenuItem(CDialog &dialog, const std::string &text) override
    {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2),
                                Window(dialog).mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&Window(dialog), &event);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << "no menu opened";
        for (QAction *action : menu->actions()) {
            if (action->text() == QString::fromStdString(text)) {
                menu->close();
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no menu entry " << text;
    }

    std::string Caption(CDialog &dialog) override { return Window(dialog).windowTitle().toStdString(); }

    std::vector<std::string> ListLines(CDialog &dialog, int id) override
    {
        auto *list = Item<MultiColumnListWidget>(dialog, id);
        std::vector<std::string> lines;
        lines.reserve(static_cast<std::size_t>(list->count()));
        for (int i = 0; i < list->count(); ++i)
            lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }

    bool ShowsWhole(CDialog &dialog, int listId, int index) override
    {
        auto *list = Item<MultiColumnListWidget>(dialog, listId);
        const QRect cell = list->visualItemRect(list->item(index));
        // At least the name and the size side by side, whatever room the TAB takes.
        const int least = list->fontMetrics().horizontalAdvance(list->item(index)->text().remove(u'\t'));
        return cell.width() >= least && cell.bottom() <= list->viewport()->height() &&
               (cell.right() <= list->viewport()->width() || list->horizontalScrollBar()->isVisible());
    }

    std::string Owner(CDialog &dialog) override
    {
        const QWidget *owner = Window(dialog).parentWidget();
        return owner ? owner->window()->windowTitle().toStdString() : "";
    }

private:
    QtToolkit m_toolkit;
};

} // namespace

int main(int argc, char *argv[])
{
    // Dialog tests run without a display unless one is asked for.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    QtDriver driver;
    g_driver = &driver;
    return RUN_ALL_TESTS();
}

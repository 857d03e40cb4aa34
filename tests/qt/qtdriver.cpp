#include "tests/qt/qtdriver.h"

#include "dialogs/dialog.h"
#include "qt/listwidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

QtDialogWindow &QtDriver::Window(CDialog &dialog)
{
    return dynamic_cast<QtDialogWindow &>(dialog.Window());
}

void QtDriver::Post(std::function<void()> function)
{
    QTimer::singleShot(2, qApp, std::move(function));
}

bool QtDriver::IsReady(CDialog &dialog)
{
    // Without a window manager nothing hands the activation back to a dialog
    // when the one it opened closes; a user would click on it.
    QtDialogWindow &window = Window(dialog);
    if (window.isVisible() && !window.isActiveWindow())
        window.activateWindow();
    return dialog.Window().IsActive();
}

void QtDriver::Type(CDialog &dialog, int id, const std::string &text)
{
    auto *edit = qobject_cast<QLineEdit *>(Window(dialog).GetDlgItem(id));
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : QString::fromStdString(text)) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            // A key beyond ASCII, as a keyboard with that letter sends it.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
            QApplication::sendEvent(edit, &release);
        }
    }
}

void QtDriver::Press(CDialog &dialog, Key key)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = &Window(dialog);
    switch (key) {
    case Key::Enter: QTest::keyClick(target, Qt::Key_Return); break;
    case Key::Escape: QTest::keyClick(target, Qt::Key_Escape); break;
    case Key::Tab: QTest::keyClick(target, Qt::Key_Tab); break;
    case Key::ShiftTab: QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier); break;
    }
}

void QtDriver::Click(CDialog &dialog, int id)
{
    QWidget *control = Window(dialog).GetDlgItem(id);
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(4, control->height() / 2));
}

void QtDriver::ClickItem(CDialog &dialog, int listId, int index, bool control)
{
    auto *list = qobject_cast<CListWidget *>(Window(dialog).GetDlgItem(listId));
    list->scrollToItem(list->item(index));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, control ? Qt::ControlModifier : Qt::NoModifier,
                      list->visualItemRect(list->item(index)).center());
}

void QtDriver::DoubleClickItem(CDialog &dialog, int listId, int index)
{
    auto *list = qobject_cast<CListWidget *>(Window(dialog).GetDlgItem(listId));
    const QPoint at = list->visualItemRect(list->item(index)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void QtDriver::CloseBox(CDialog &dialog)
{
    Window(dialog).close();
}

void QtDriver::ChooseSystemMenuItem(CDialog &dialog, const std::string &text)
{
    QtDialogWindow &window = Window(dialog);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), window.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&window, &event);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu) {
        ADD_FAILURE() << "no menu opened";
        return;
    }
    for (QAction *action : menu->actions()) {
        if (action->text() == QString::fromStdString(text)) {
            menu->close();
            action->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no menu entry " << text;
}

std::string QtDriver::Caption(CDialog &dialog)
{
    return Window(dialog).windowTitle().toStdString();
}

std::string QtDriver::SelectedText(CDialog &dialog, int id)
{
    return qobject_cast<QLineEdit *>(Window(dialog).GetDlgItem(id))->selectedText().toStdString();
}

std::vector<std::string> QtDriver::ListLines(CDialog &dialog, int id)
{
    auto *list = qobject_cast<CListWidget *>(Window(dialog).GetDlgItem(id));
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        lines.push_back(list->item(i)->text().toStdString());
    return lines;
}

bool QtDriver::ShowsWhole(CDialog &dialog, int listId, int index)
{
    auto *list = qobject_cast<CListWidget *>(Window(dialog).GetDlgItem(listId));
    const QRect cell = list->visualItemRect(list->item(index));
    return cell.width() >= list->EntryWidth(list->item(index)->text()) &&
           cell.bottom() <= list->viewport()->height() &&
           (cell.right() <= list->viewport()->width() || list->horizontalScrollBar()->isVisible());
}

std::pair<int, int> QtDriver::OffCentre(CDialog &dialog)
{
    const QtDialogWindow &window = Window(dialog);
    const QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr;
    const QRect area = owner ? owner->geometry() : window.screen()->availableGeometry();
    const QPoint off = window.geometry().center() - area.center();
    return {off.x(), off.y()};
}

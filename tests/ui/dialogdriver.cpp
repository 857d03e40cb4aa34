#include "tests/ui/dialogdriver.h"

#include "ui/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace driver {

QWidget *Control(const CDialog &dialog, int id)
{
    return dialog.GetDlgItem(id);
}

void Click(const CDialog &dialog, int id)
{
    QWidget *control = Control(dialog, id);
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, QPoint(4, control->height() / 2));
}

void Type(const CDialog &dialog, int id, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(Control(dialog, id));
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : text) {
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

void Press(QWidget *target, int key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

QString Text(const CDialog &dialog, int id)
{
    QWidget *control = Control(dialog, id);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    return {};
}

void WhenModalOpens(std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, tries = 0, answer = std::move(answer)]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (++tries > 500) { // five seconds: the window never came
            poll->deleteLater();
            poll->stop();
            return;
        }
        // Keys go to the active window: answering before the new dialog is
        // active would type into the one behind it.
        if (!modal || !modal->isVisible() || !modal->isActiveWindow())
            return;
        poll->stop();
        poll->deleteLater();
        answer(modal);
    });
    poll->start();
}

} // namespace driver

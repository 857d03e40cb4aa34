#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class CDialog;
class QWidget;

// Acting on a dialog as a user would: focusing, typing, pressing keys.
namespace driver {

QWidget *Control(const CDialog &dialog, int id);
// Clicks a control, near the left edge so a radio button's click lands on its label.
void Click(const CDialog &dialog, int id);
// Replaces a field's text by typing, as a user who selected it all would.
void Type(const CDialog &dialog, int id, const QString &text);
void Press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
QString Text(const CDialog &dialog, int id);

// Runs `answer` on the next modal window to open (a nested dialog or a
// message box) once it is shown and active, from the event loop of the code
// that opened it.
void WhenModalOpens(std::function<void(QWidget *)> answer);

} // namespace driver

#include "ui/qtservices.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Exclamation:
    case MsgIcon::Default: break;
    }
    return QMessageBox::Warning;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OKCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::OK: break;
    }
    return QMessageBox::Ok;
}

int FromQtButton(int button)
{
    switch (button) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDNONE;
    }
}

} // namespace

QtMessageService::QtMessageService(QString caption) : m_caption(std::move(caption)) {}

int QtMessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon)
{
    try {
        QWidget *owner = QApplication::activeModalWidget();
        if (!owner)
            owner = QApplication::activeWindow();
        QMessageBox box(ToQtIcon(EffectiveIcon(buttons, icon)), m_caption, QString::fromStdString(text),
                        ToQtButtons(buttons), owner);
        box.setTextFormat(Qt::PlainText);
        if (buttons == MsgButtons::OKCancel || buttons == MsgButtons::YesNoCancel)
            box.setEscapeButton(QMessageBox::Cancel);
        return FromQtButton(box.exec());
    } catch (...) {
        return IDNONE; // a box that cannot be shown answers nothing
    }
}

void QtViewerLauncher::Launch(const ViewerCommand &command)
{
    QStringList arguments;
    for (const auto &argument : command.arguments)
        arguments << QString::fromStdString(argument);
    QProcess::startDetached(QString::fromStdString(command.program), arguments, QDir::currentPath());
}

#include "qt/qtservices.h"

#include "base/fileerror.h"
#include "base/filesystem.h"
#include "base/text8.h"
#include "qt/appearance.h"
#include "res/dialogs.h"
#include "res/resource.h"
#include "res/strings.h"
#include "res/version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#include <filesystem>
#include <system_error>

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
    case QMessageBox::Ok: return AnswerOK;
    case QMessageBox::Cancel: return AnswerCancel;
    case QMessageBox::Yes: return AnswerYes;
    case QMessageBox::No: return AnswerNo;
    default: return AnswerNone;
    }
}

// A box whose Esc key and close box answer only where Windows' would: with
// an OK or a Cancel button. A Yes/No question must be answered with one of them.
class MessageBox : public QMessageBox {
public:
    MessageBox(Icon icon, const QString &caption, const QString &text, StandardButtons buttons,
               QWidget *owner)
        : QMessageBox(icon, caption, text, buttons, owner),
          m_escapeAnswers(buttons.testFlag(Ok) || buttons.testFlag(Cancel))
    {
        if (buttons.testFlag(Cancel))
            setEscapeButton(Cancel);
        if (!m_escapeAnswers)
            setWindowFlag(Qt::WindowCloseButtonHint, false);
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!m_escapeAnswers && event->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (!m_escapeAnswers)
            return event->ignore();
        QMessageBox::closeEvent(event);
    }

private:
    bool m_escapeAnswers;
};

} // namespace

// The executable is named in lower case, as Linux commands are; its boxes carry the name its dialogs do.
QtMessageService::QtMessageService() : m_caption(QStringLiteral(PLAXOMET_NAME)) {}

int QtMessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon,
                                  MsgModality modality)
{
    try {
        QWidget *owner = QApplication::activeModalWidget();
        if (!owner)
            owner = QApplication::activeWindow();
        MessageBox box(ToQtIcon(EffectiveIcon(buttons, icon)), m_caption,
                       QString::fromStdString(text8::ToUtf8(text)), ToQtButtons(buttons), owner);
        // A window takes no font from its owner: without this the box would
        // draw in the desktop's default face, not the dialogs'.
        box.setFont(owner ? owner->font() : DialogFont(res::GetDialogTemplate(IDD_PLAXOMET_DIALOG)));
        box.setTextFormat(Qt::PlainText);
        // The desktop has no system-modal boxes: the nearest is one kept in front of every window.
        if (modality == MsgModality::System)
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        return FromQtButton(box.exec());
    } catch (...) {
        return AnswerNone; // a box that cannot be shown answers nothing
    }
}

void EnterDocumentsFolder(IMessageService &messages)
{
    const std::filesystem::path folder =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString() + "/" PLAXOMET_NAME;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error)
        std::filesystem::current_path(folder, error);
    if (error) {
        const CFileException failure(fileio::CauseOf(error.value()), error.value(), fileio::PathText(folder));
        messages.ShowMessage(failure.GetErrorMessage(), MsgButtons::OK);
    }
}

void QtViewerLauncher::Open(const std::string &fileName, Failed failed)
{
    static constexpr char kViewer[] = "xdg-open";
    // Not detached, so that its exit status reaches us; not parented either:
    // one still running when the program ends is left to run, never killed.
    auto *process = new QProcess;
    process->setProgram(QString::fromLatin1(kViewer));
    process->setArguments({QString::fromStdString(text8::ToUtf8(fileName))});
    process->setWorkingDirectory(QDir::currentPath());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         process->deleteLater();
                         // Qt says "execvp: No such file or directory": the system's words are what a user
                         // can act on.
                         QString why = process->errorString();
                         if (const auto colon = why.lastIndexOf(QLatin1String(": ")); colon >= 0)
                             why = why.mid(colon + 2);
                         why += u'.';
                         failed(res::FormatString(res::IDS_VIEWER_NOT_STARTED, kViewer,
                                                  text8::FromUtf8(why.toStdString())));
                     });
    QObject::connect(
        process, &QProcess::finished, process, [process, failed](int status, QProcess::ExitStatus how) {
            process->deleteLater();
            // xdg-open's status 3: no program is set up for the file's type.
            if (how == QProcess::NormalExit && status == 3)
                failed(res::FormatString(res::IDS_VIEWER_NO_PROGRAM, kViewer));
            else if (how != QProcess::NormalExit || status != 0)
                failed(res::FormatString(res::IDS_VIEWER_FAILED, kViewer, std::to_string(status)));
        });
    process->start();
}

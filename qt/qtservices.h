#pragma once

#include "base/messagebox.h"
#include "calc/report.h"

#include <QFont>
#include <QString>

class QIcon;

namespace res {
struct DialogTemplate;
}

// The application icon, at 16 and 32 pixels.
QIcon ApplicationIcon();

// The template's font where the system has it, else a face with its
// proportions at the desktop's size, else the platform's dialog font.
QFont DialogFont(const res::DialogTemplate &dialogTemplate);

// Message boxes as Qt shows them: modal over the active dialog, captioned
// with the application's name, in the dialogs' font.
class QtMessageService : public IMessageService {
public:
    explicit QtMessageService(QString caption);
    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon = MsgIcon::Default,
                    MsgModality modality = MsgModality::Application) override;

private:
    QString m_caption;
};

// xdg-open, started detached in the working directory.
class QtViewerLauncher : public IViewerLauncher {
public:
    void Open(const std::string &fileName) override;
};

#pragma once

#include "base/messagebox.h"
#include "calc/report.h"

#include <QString>

// Message boxes as Qt shows them: modal over the active dialog, captioned
// with the application's name.
class QtMessageService : public IMessageService {
public:
    explicit QtMessageService(QString caption);
    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon = MsgIcon::Default) override;

private:
    QString m_caption;
};

// Starts the viewer detached in the working directory.
class QtViewerLauncher : public IViewerLauncher {
public:
    void Launch(const ViewerCommand &command) override;
};

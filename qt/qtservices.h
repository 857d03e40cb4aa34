#pragma once

#include "base/desktop.h"

#include <QString>

// Message boxes as Qt shows them: modal over the active dialog, captioned
// with the program's name as its dialogs show it, in the dialogs' font.
class QtMessageService : public IMessageService {
public:
    QtMessageService();
    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon = MsgIcon::Default,
                    MsgModality modality = MsgModality::Application) override;

private:
    QString m_caption;
};

// Makes Plaxomet in the user's documents folder (XDG_DOCUMENTS_DIR, as
// xdg-user-dir names it, else ~/Documents) the working folder, creating it
// when missing, as the desktop menu starts the program. Where that fails the
// user is told, and the program stays in the folder it was started in.
void EnterDocumentsFolder(IMessageService &messages);

// xdg-open, started in the working directory and never waited for; its
// exit status is read when it comes, and any but 0 is a failure.
class QtViewerLauncher : public IViewerLauncher {
public:
    void Open(const std::string &fileName, Failed failed) override;
};

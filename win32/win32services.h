#pragma once

#include "base/messagebox.h"
#include "calc/report.h"

#include <string>
#include <string_view>

// UTF-8 (the program's messages and file names) as the system's wide text, and back.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// Message boxes as Windows shows them: modal over the active dialog,
// captioned with the executable's name.
class Win32MessageService : public IMessageService {
public:
    Win32MessageService();
    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon = MsgIcon::Default,
                    MsgModality modality = MsgModality::Application) override;

private:
    std::wstring m_caption;
};

// Starts the viewer as WinExec does: found on the search path, shown
// normally, not waited for, its fate not looked at.
class Win32ViewerLauncher : public IViewerLauncher {
public:
    void Launch(const ViewerCommand &command) override;
};

#pragma once

#include "base/desktop.h"
#include "win32/widetext.h"

#include <string>
#include <string_view>
#include <utility>

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

// Starts Notepad on the file as WinExec does: found on the search path,
// shown normally, not waited for. A program that cannot be started (Notepad
// is an optional feature of Windows 10 and 11) is a failure.
class Win32ViewerLauncher : public IViewerLauncher {
public:
    explicit Win32ViewerLauncher(std::string program = "NOTEPAD.EXE") : m_program(std::move(program)) {}
    void Open(const std::string &fileName, Failed failed) override;

private:
    std::string m_program;
};

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

// The Windows system folder (GetSystemDirectoryW), where Notepad lives; empty if the system cannot say.
std::wstring SystemFolder();

// Starts Notepad on the file with the command line WinExec would be given,
// shown normally, not waited for; but Notepad from `folder` only, never
// found on the search path, which looks in the program's folder and the
// current one first: a NOTEPAD.EXE planted in Documents\Plaxomet or beside
// a portable Plaxomet.exe would run with the user's rights. A program that
// cannot be started (Notepad is an optional feature of Windows 10 and 11)
// is a failure.
class Win32ViewerLauncher : public IViewerLauncher {
public:
    explicit Win32ViewerLauncher(std::string program = "NOTEPAD.EXE", std::wstring folder = SystemFolder())
        : m_program(std::move(program)), m_folder(std::move(folder))
    {}
    void Open(const std::string &fileName, Failed failed) override;

private:
    std::string m_program;
    std::wstring m_folder;
};

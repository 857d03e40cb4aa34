#pragma once

#include "base/messagebox.h"
#include "calc/report.h"

#include <string>
#include <string_view>
#include <utility>

// The system's wide text from and to UTF-8: the dialog templates' texts and
// the executable's path.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// The system's wide text from and to the program's 8-bit text (the ANSI
// code page): field contents, list entries, captions and messages.
std::wstring WideFromText8(std::string_view text);
std::string Text8FromWide(std::wstring_view wide);

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

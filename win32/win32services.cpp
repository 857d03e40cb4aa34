#include "win32/win32services.h"

#include "base/systemerror.h"
#include "res/strings.h"
#include "win32/win32dialogwindow.h"

#include <windows.h>

Win32MessageService::Win32MessageService()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    m_caption = WideFromUtf8(ApplicationNameFromPath(Utf8FromWide(path)));
}

int Win32MessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon,
                                     MsgModality modality)
{
    UINT flags = MB_OK;
    switch (buttons) {
    case MsgButtons::OK: flags = MB_OK; break;
    case MsgButtons::OKCancel: flags = MB_OKCANCEL; break;
    case MsgButtons::YesNo: flags = MB_YESNO; break;
    case MsgButtons::YesNoCancel: flags = MB_YESNOCANCEL; break;
    }
    switch (EffectiveIcon(buttons, icon)) {
    case MsgIcon::Question: flags |= MB_ICONQUESTION; break;
    case MsgIcon::Stop: flags |= MB_ICONHAND; break;
    case MsgIcon::Information: flags |= MB_ICONINFORMATION; break;
    case MsgIcon::Exclamation:
    case MsgIcon::Default: flags |= MB_ICONEXCLAMATION; break;
    }
    if (modality == MsgModality::System)
        flags |= MB_SYSTEMMODAL;
    // A box that cannot be shown answers 0: no button pressed.
    // Owned by our innermost dialog even while another program is in front,
    // so that the box is modal to it.
    const HWND owner = InnermostDialog();
    return ::MessageBoxW(owner ? owner : ::GetActiveWindow(), WideFromText8(text).c_str(), m_caption.c_str(),
                         flags);
}

std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    return {folder, length < MAX_PATH ? length : 0};
}

void Win32ViewerLauncher::Open(const std::string &fileName, Failed failed)
{
    // Without the system folder, "\NOTEPAD.EXE" would name the root of the current drive.
    if (m_folder.empty()) {
        const std::error_code error(ERROR_PATH_NOT_FOUND, std::system_category());
        return failed(res::FormatString(res::IDS_VIEWER_NOT_STARTED, m_program, SystemErrorText(error)));
    }
    const std::wstring program = m_folder + L"\\" + WideFromText8(m_program);
    std::wstring line = WideFromText8(m_program + " " + fileName);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        const std::error_code error(static_cast<int>(::GetLastError()), std::system_category());
        failed(res::FormatString(res::IDS_VIEWER_NOT_STARTED, m_program, SystemErrorText(error)));
        return;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

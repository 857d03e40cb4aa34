#include "win32/win32services.h"

#include "base/systemerror.h"
#include "base/text8.h"
#include "res/strings.h"
#include "win32/win32dialogwindow.h"

#include <windows.h>

std::wstring WideFromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                          nullptr);
    return utf8;
}

std::wstring WideFromText8(std::string_view text)
{
    const auto utf16 = text8::ToUtf16(text);
    return {utf16.begin(), utf16.end()};
}

std::string Text8FromWide(std::wstring_view wide)
{
    return text8::FromUtf16(std::u16string(wide.begin(), wide.end()));
}

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

void Win32ViewerLauncher::Open(const std::string &fileName, Failed failed)
{
    std::wstring line = WideFromText8(m_program + " " + fileName);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        const std::error_code error(static_cast<int>(::GetLastError()), std::system_category());
        failed(res::FormatString(res::IDS_VIEWER_NOT_STARTED, m_program, SystemErrorText(error)));
        return;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

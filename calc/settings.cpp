#include "calc/settings.h"

#include "archive/archive.h"
#include "base/desktop.h"
#include "base/fileerror.h"
#include "base/fileio.h"
#include "calc/calculator.h"
#include "res/strings.h"

#include <cstdint>

void ReadSettings(CCalculatorValues &values, std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kSettingsFileSize)
        return;
    CArchive ar(bytes);
    values.Serialize(ar);
}

void LoadSettings(CCalculatorValues &values, IMessageService &messages)
{
    try {
        const auto bytes = fileio::ReadFile(kSettingsFileName, kSettingsDiskName, kSettingsFileSize);
        // A file cut short (a disk that filled, a copy cut off) is said, as
        // an unreadable one is, before Exit replaces it with the defaults.
        if (bytes.size() < kSettingsFileSize)
            throw CFileException(CFileException::endOfFile, 0, kSettingsFileName);
        ReadSettings(values, bytes);
    } catch (const CFileException &error) {
        // Exit would replace the values of a file that cannot be read.
        messages.ShowMessage(error.LoadFailureMessage(res::IDS_SETTINGS_NOT_FOUND), MsgButtons::OK);
    }
}

void SaveSettings(CCalculatorValues &values)
{
    CArchive ar;
    values.Serialize(ar);
    fileio::ReplaceFileContents(kSettingsFileName, kSettingsDiskName, ar.StoredBytes());
}

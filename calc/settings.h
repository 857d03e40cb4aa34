#pragma once

#include <cstdint>
#include <span>

class CCalculatorValues;
class IMessageService;

// The file that carries the last values from one run to the next. The
// program names it with a trailing period, as messages show it; on disk it
// has none.
inline constexpr char kSettingsFileName[] = "SETTINGS.";
inline constexpr char kSettingsDiskName[] = "SETTINGS";
inline constexpr int kSettingsFileSize = 20;

// Takes the fields from a settings file's bytes; too few bytes to hold every
// field leave the values as they were, and bytes after the fields are ignored.
void ReadSettings(CCalculatorValues &values, std::span<const std::uint8_t> bytes);

// Reads the file over the values. A file that cannot be read is said (a
// missing one in words of its own) and leaves the values as they were; so
// does a file too short to hold every field, said as read past its end.
void LoadSettings(CCalculatorValues &values, IMessageService &messages);

// Replaces the file with the values; raises CFileException on failure, leaving
// any old file as it was.
void SaveSettings(CCalculatorValues &values);

#pragma once

class CCalculatorValues;
class IMessageService;

// The file that carries the last values from one run to the next. The
// program names it with a trailing period, as messages show it; on disk it
// has none.
inline constexpr char kSettingsFileName[] = "SETTINGS.";
inline constexpr char kSettingsDiskName[] = "SETTINGS";
inline constexpr int kSettingsFileSize = 20;

// Reads the file over the values. A missing file is reported; any other
// failure, and a file too short to hold every field, leaves the values as
// they were without a word.
void LoadSettings(CCalculatorValues &values, IMessageService &messages);

// Replaces the file with the values; raises CFileException on failure, leaving
// any old file as it was.
void SaveSettings(CCalculatorValues &values);

#include "res/strings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace res {
namespace {

constexpr std::array kStrings = std::to_array<std::pair<unsigned, std::string_view>>({
    {IDS_ABOUTBOX, "&About Plaxomet..."},
    {IDS_NEW_TEXT_SIZE, "New text size (in Orvel units)"},
    {IDS_EDIT_TEXT_SIZE, "Edit text size (in Orvel units)"},
    {IDS_SETTINGS_NOT_FOUND, "SETTINGS file not found"},
    {IDS_STYLES_NOT_FOUND, "TEXT SIZES file not found"},
    {IDS_REPORT_NOT_OPENED, "File could not be opened!"},
    {IDS_ARE_YOU_SURE, "Are you sure?"},
    {IDS_EXIT_WITHOUT_SAVING, "Exit without saving your values?"},
    {IDS_REPORT_NOT_SHOWN, "The report was written to %1, but no program showed it: %2"},
    {IDS_VIEWER_NOT_STARTED, "%1 could not be started. %2"},
    {IDS_VIEWER_NO_PROGRAM, "%1 found no program for text files."},
    {IDS_VIEWER_FAILED, "%1 ended with status %2."},
    {AFX_IDS_UNNAMED_FILE, "an unnamed file"},
    {AFX_IDP_INTERNAL_FAILURE, "Internal application error."},
    {AFX_IDP_FAILED_MEMORY_ALLOC, "Out of memory."},
    {AFX_IDP_PARSE_REAL, "Enter a number."},
    {AFX_IDP_PARSE_STRING_SIZE, "Enter no more than %1 characters."},
    {61856, "No error occurred."},
    {61857, "An unknown error occurred while accessing %1."},
    {61858, "%1 was not found."},
    {61859, "%1 contains an incorrect path."},
    {61860, "Could not open %1 because there are too many open files."},
    {61861, "Access to %1 was denied."},
    {61862, "An incorrect file handle was associated with %1."},
    {61863, "Could not remove %1 because it is the current directory."},
    {61864, "Could not create %1 because the directory is full."},
    {61865, "Seek failed on %1"},
    {61866, "Encountered a hardware I/O error while accessing %1."},
    {61867, "Encountered a sharing violation while accessing %1."},
    {61868, "Encountered a locking violation while accessing %1."},
    {61869, "Disk full while accessing %1."},
    {61870, "Attempted to access %1 past its end."},
    {61872, "No error occurred."},
    {61873, "An unknown error occurred while accessing %1."},
    {61874, "Attempted to write to the reading %1."},
    {61875, "Attempted to access %1 past its end."},
    {61876, "Attempted to read from the writing %1."},
});

} // namespace

std::string_view LoadString(unsigned id)
{
    const auto it =
        std::find_if(kStrings.begin(), kStrings.end(), [id](const auto &entry) { return entry.first == id; });
    return it == kStrings.end() ? std::string_view{} : it->second;
}

std::string FormatString(unsigned id, std::string_view arg1, std::string_view arg2)
{
    const std::string_view text = LoadString(id);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2'))
            out += text[++i] == '1' ? arg1 : arg2;
        else
            out += text[i];
    }
    return out;
}

} // namespace res

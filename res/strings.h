#pragma once

#include <string>
#include <string_view>

// Every text the program shows, keyed by the identifiers the messages have
// always had, so wording lives in exactly one table.
namespace res {

enum StringId : unsigned {
    IDS_ABOUTBOX = 101,
    IDS_NEW_TEXT_SIZE = 102,
    IDS_EDIT_TEXT_SIZE = 103,

    // The program's own one-line messages.
    IDS_SETTINGS_NOT_FOUND = 1001,
    IDS_STYLES_NOT_FOUND = 1002,
    IDS_REPORT_NOT_OPENED = 1003,
    IDS_ARE_YOU_SURE = 1004,
    IDS_EXIT_WITHOUT_SAVING = 1005,
    IDS_REPORT_NOT_SHOWN = 1006, // the report's full path, what failed
    IDS_VIEWER_NOT_STARTED = 1007,
    IDS_VIEWER_NO_PROGRAM = 1008,
    IDS_VIEWER_FAILED = 1009,

    AFX_IDS_UNNAMED_FILE = 61446,
    AFX_IDP_INTERNAL_FAILURE = 61704,
    AFX_IDP_FAILED_MEMORY_ALLOC = 61709,
    AFX_IDP_PARSE_REAL = 61713,
    AFX_IDP_PARSE_STRING_SIZE = 61716,

    AFX_IDP_FILE_NONE = 61856, // + file error cause 0..14
    AFX_IDP_ARCH_NONE = 61872, // + archive error cause 0..4
};

// The text of a string; empty for an unknown identifier.
std::string_view LoadString(unsigned id);

// The text with every %1 replaced by arg1 and every %2 by arg2.
std::string FormatString(unsigned id, std::string_view arg1, std::string_view arg2 = {});

} // namespace res

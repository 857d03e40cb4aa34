#include "base/fileerror.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

// From the system's error number, through the cause, to the words the user
// reads: one row for every cause a load, a save or a report can meet, with
// a Windows number and, where POSIX has one, an errno value that mean it.
// (The program never seeks, removes a folder or reads past an end.)
TEST(FileError, ErrorNumbersReachTheUserAsTheirCausesWords)
{
    const struct {
        long windows;
        int posix; // 0: no errno means this cause
        const char *message;
    } rows[] = {
        {0, 0, "No error occurred."},
        {87, EINVAL, "An unknown error occurred while accessing SETTINGS.."},
        {107, ENOENT, "SETTINGS. was not found."},
        {267, ELOOP, "SETTINGS. contains an incorrect path."},
        {113, ENFILE, "Could not open SETTINGS. because there are too many open files."},
        {183, EROFS, "Access to SETTINGS. was denied."},
        {193, EBADF, "An incorrect file handle was associated with SETTINGS.."},
        {62, 0, "Could not create SETTINGS. because the directory is full."},
        {997, EIO, "Encountered a hardware I/O error while accessing SETTINGS.."},
        {32, ETXTBSY, "Encountered a sharing violation while accessing SETTINGS.."},
        {167, 0, "Encountered a locking violation while accessing SETTINGS.."},
        {39, EFBIG, "Disk full while accessing SETTINGS.."},
    };
    for (const auto &row : rows) {
        const int cause = CFileException::WindowsErrorToCause(row.windows);
        EXPECT_EQ(CFileException(cause, row.windows, "SETTINGS.").GetErrorMessage(), row.message)
            << row.windows;
        if (row.posix != 0 || row.windows == 0) {
            EXPECT_EQ(CFileException::ErrnoToCause(row.posix), cause) << "errno " << row.posix;
        }
    }
    EXPECT_EQ(CFileException::WindowsErrorToCause(100000), CFileException::genericException);
    EXPECT_STREQ(CFileException(CFileException::diskFull, 0, "").what(),
                 "Disk full while accessing an unnamed file.");
    EXPECT_EQ(CFileException::ErrnoToCause(EXDEV), CFileException::genericException);
}

} // namespace

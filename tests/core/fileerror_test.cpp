#include "base/fileerror.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(FileError, EveryCauseHasItsMessage)
{
    const char *messages[] = {
        "No error occurred.",
        "An unknown error occurred while accessing SETTINGS..",
        "SETTINGS. was not found.",
        "SETTINGS. contains an incorrect path.",
        "Could not open SETTINGS. because there are too many open files.",
        "Access to SETTINGS. was denied.",
        "An incorrect file handle was associated with SETTINGS..",
        "Could not remove SETTINGS. because it is the current directory.",
        "Could not create SETTINGS. because the directory is full.",
        "Seek failed on SETTINGS.",
        "Encountered a hardware I/O error while accessing SETTINGS..",
        "Encountered a sharing violation while accessing SETTINGS..",
        "Encountered a locking violation while accessing SETTINGS..",
        "Disk full while accessing SETTINGS..",
        "Attempted to access SETTINGS. past its end.",
    };
    for (int cause = 0; cause <= CFileException::endOfFile; ++cause)
        EXPECT_EQ(CFileException(cause, 0, "SETTINGS.").GetErrorMessage(), messages[cause]);
}

TEST(FileError, AnEmptyNameReadsAsAnUnnamedFile)
{
    EXPECT_STREQ(CFileException(CFileException::diskFull, 0, "").what(),
                 "Disk full while accessing an unnamed file.");
    const char *archiveMessages[] = {
        "No error occurred.",
        "An unknown error occurred while accessing an unnamed file.",
        "Attempted to write to the reading an unnamed file.",
        "Attempted to access an unnamed file past its end.",
        "Attempted to read from the writing an unnamed file.",
    };
    for (int cause = 0; cause <= CArchiveException::writeOnly; ++cause)
        EXPECT_EQ(CArchiveException(cause).GetErrorMessage(), archiveMessages[cause]);
}

TEST(FileError, WindowsErrorNumbers)
{
    const std::pair<int, std::vector<long>> table[] = {
        {0, {0}},
        {2, {2, 6, 18, 107}},
        {3, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
        {4, {4, 36, 68, 113}},
        {5, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
        {6, {11, 26, 60, 66, 114, 182, 191, 193}},
        {7, {16, 145}},
        {8, {62}},
        {9, {24, 25, 27, 30, 131, 132}},
        {10, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
        {11, {32}},
        {12, {33, 108, 167}},
        {13, {39, 112}},
        {14, {38}},
        {1, {1, 7, 8, 9, 10, 13, 14, 31, 37, 40, 87, 1000, -1, 100000}},
    };
    for (const auto &[cause, numbers] : table) {
        for (const long number : numbers)
            EXPECT_EQ(CFileException::WindowsErrorToCause(number), cause) << "error " << number;
    }
}

TEST(FileError, ErrnoValues)
{
    const std::pair<int, std::vector<int>> table[] = {
        {0, {0}},
        {2, {ENOENT}},
        {3, {ENOTDIR, ENAMETOOLONG, ELOOP}},
        {4, {EMFILE, ENFILE}},
        {5, {EACCES, EPERM, EROFS, EISDIR}},
        {6, {EBADF}},
        {9, {ESPIPE}},
        {10, {EIO}},
        {11, {EBUSY, ETXTBSY}},
#ifdef EDQUOT
        {13, {ENOSPC, EDQUOT, EFBIG}},
#else
        {13, {ENOSPC, EFBIG}},
#endif
        {1, {EINVAL, EEXIST, EAGAIN, EXDEV, ENOMEM, 9999}},
    };
    for (const auto &[cause, numbers] : table) {
        for (const int number : numbers)
            EXPECT_EQ(CFileException::ErrnoToCause(number), cause) << "errno " << number;
    }
}

} // namespace

#include "base/fileerror.h"

#include "res/strings.h"

#include <algorithm>
#include <cerrno>
#include <initializer_list>

namespace {

struct CauseNumbers {
    int cause;
    std::initializer_list<long> numbers;
};

// Windows error numbers, grouped by the cause they map to; every other number is generic.
const CauseNumbers kWindowsErrors[] = {
    {CFileException::none, {0}},
    {CFileException::fileNotFound, {2, 6, 18, 107}},
    {CFileException::badPath,
     {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
    {CFileException::tooManyOpenFiles, {4, 36, 68, 113}},
    {CFileException::accessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
    {CFileException::invalidFile, {11, 26, 60, 66, 114, 182, 191, 193}},
    {CFileException::removeCurrentDir, {16, 145}},
    {CFileException::directoryFull, {62}},
    {CFileException::badSeek, {24, 25, 27, 30, 131, 132}},
    {CFileException::hardIO, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
    {CFileException::sharingViolation, {32}},
    {CFileException::lockViolation, {33, 108, 167}},
    {CFileException::diskFull, {39, 112}},
    {CFileException::endOfFile, {38}},
};

const CauseNumbers kErrnoErrors[] = {
    {CFileException::none, {0}},
    {CFileException::fileNotFound, {ENOENT}},
    {CFileException::badPath, {ENOTDIR, ENAMETOOLONG, ELOOP}},
    {CFileException::tooManyOpenFiles, {EMFILE, ENFILE}},
    {CFileException::accessDenied, {EACCES, EPERM, EROFS, EISDIR}},
    {CFileException::invalidFile, {EBADF}},
    {CFileException::badSeek, {ESPIPE}},
    {CFileException::hardIO, {EIO}},
    {CFileException::sharingViolation, {EBUSY, ETXTBSY}},
#ifdef EDQUOT
    {CFileException::diskFull, {ENOSPC, EDQUOT, EFBIG}},
#else
    {CFileException::diskFull, {ENOSPC, EFBIG}},
#endif
};

template <std::size_t N>
int LookUpCause(const CauseNumbers (&table)[N], long error)
{
    for (const auto &row : table) {
        if (std::find(row.numbers.begin(), row.numbers.end(), error) != row.numbers.end())
            return row.cause;
    }
    return CFileException::genericException;
}

// "%1" in an error message: the file's name, or the words for no name.
std::string FileNameForMessage(const std::string &fileName)
{
    return fileName.empty() ? std::string(res::LoadString(res::AFX_IDS_UNNAMED_FILE)) : fileName;
}

} // namespace

CFileException::CFileException(int cause, long osError, std::string fileName)
    : CException(res::FormatString(res::AFX_IDP_FILE_NONE + static_cast<unsigned>(cause),
                                   FileNameForMessage(fileName))),
      m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
{}

int CFileException::WindowsErrorToCause(long error)
{
    return LookUpCause(kWindowsErrors, error);
}

int CFileException::ErrnoToCause(int error)
{
    return LookUpCause(kErrnoErrors, error);
}

CArchiveException::CArchiveException(int cause, std::string fileName)
    : CException(res::FormatString(res::AFX_IDP_ARCH_NONE + static_cast<unsigned>(cause),
                                   FileNameForMessage(fileName))),
      m_cause(cause), m_strFileName(std::move(fileName))
{}

std::string CFileException::LoadFailureMessage(unsigned notFoundId) const
{
    return m_cause == fileNotFound ? std::string(res::LoadString(notFoundId)) : GetErrorMessage();
}

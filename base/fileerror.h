#pragma once

#include <exception>
#include <string>

// Base of the program's own errors: each knows the message the user sees.
class CException : public std::exception {
public:
    const char *what() const noexcept override { return m_message.c_str(); }
    const std::string &GetErrorMessage() const noexcept { return m_message; }

protected:
    explicit CException(std::string message) : m_message(std::move(message)) {}

private:
    std::string m_message;
};

// A failed file operation: the cause the program tests, the operating
// system's own error number (carried, never shown) and the file's name.
class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException(int cause, long osError, std::string fileName);

    int m_cause;
    long m_lOsError;
    std::string m_strFileName;

    // Cause for a Windows error number (GetLastError), for a build on the Win32 file API.
    static int WindowsErrorToCause(long error);
    // Cause for an errno value, which the C runtime file layer reports on every platform.
    static int ErrnoToCause(int error);

    // What a loader says of a file it could not read: the string `notFoundId`
    // for a missing one, else this error's message. A file that is there but
    // unreadable is always said, so that a later save never replaces content
    // the user was not shown without their having been told.
    std::string LoadFailureMessage(unsigned notFoundId) const;
};

// A failure of the binary encoding itself; its file name is always empty.
class CArchiveException : public CException {
public:
    enum Cause { none, genericException, readOnly, endOfFile, writeOnly };

    explicit CArchiveException(int cause, std::string fileName = {});

    int m_cause;
    std::string m_strFileName;
};

#include "base/fileio.h"

#include "base/fileerror.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>

namespace fileio {
namespace {

FileSystem *g_files = nullptr;

FileSystem &Files()
{
    return g_files ? *g_files : SystemFiles();
}

constexpr int kTemporaryAttempts = 100;
// Another program's hold on a fresh file is usually gone within a second.
constexpr int kReplaceAttempts = 6;
constexpr int kReplacePauseMs = 200;

[[noreturn]] void Raise(long error, const std::string &name)
{
    throw CFileException(CauseOf(error), error, name);
}

// Closes a file its owner leaves on an error.
class OpenFile {
public:
    explicit OpenFile(FileHandle file) : m_file(file) {}
    ~OpenFile()
    {
        if (m_file != kNoFile)
            Files().Close(m_file);
    }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    FileHandle Get() const { return m_file; }
    FileHandle Release() { return std::exchange(m_file, kNoFile); }

private:
    FileHandle m_file;
};

// The file a symbolic link finally points at, so that replacing it keeps the link.
std::filesystem::path ResolveLinks(std::filesystem::path path)
{
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, ec); ++hops) {
        const auto target = std::filesystem::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

void WriteAll(FileHandle file, std::span<const std::uint8_t> bytes, const std::string &fullPath)
{
    while (!bytes.empty()) {
        const long written = Files().Write(file, bytes.data(), bytes.size());
        if (written < 0) {
            if (IsInterrupted(Files().LastError()))
                continue;
            Raise(Files().LastError(), fullPath);
        }
        if (written == 0)
            throw CFileException(CFileException::diskFull, 0, fullPath);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

// Writes, flushes and closes a file; on failure it is closed all the same
// and the error names the file's full path.
void WriteFlushClose(FileHandle handle, std::span<const std::uint8_t> bytes, const std::string &fullPath)
{
    OpenFile file(handle);
    WriteAll(file.Get(), bytes, fullPath);
    if (!Files().Flush(file.Get()))
        Raise(Files().LastError(), fullPath);
    if (!Files().Close(file.Release()))
        Raise(Files().LastError(), fullPath);
}

// A fresh temporary file beside the target; kNoFile when none can be made.
// A name left by an earlier crash is passed over.
FileHandle CreateTemporaryBeside(const std::filesystem::path &target, std::filesystem::path &temporary)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary =
            target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(attempt));
        const FileHandle file = Files().CreateNew(temporary, target);
        if (file != kNoFile || !IsNameTaken(Files().LastError()))
            return file;
    }
    return kNoFile;
}

// Puts the written temporary file in the target's place. A system that
// moves the old file away first may fail half way, with nothing under the
// target's name: the new file is then moved in, and where even that fails
// it stays under its temporary name, since it is the only copy.
void MoveIntoPlace(const std::filesystem::path &temporary, const std::filesystem::path &target,
                   const std::string &nameAsPassed)
{
    for (int attempt = 1;; ++attempt) {
        if (Files().Replace(temporary, target))
            return;
        const long error = Files().LastError();
        if (!Files().Exists(target)) {
            if (Files().Replace(temporary, target))
                return;
            Raise(error, nameAsPassed);
        }
        if (!IsTransient(error) || attempt == kReplaceAttempts) {
            Files().Remove(temporary);
            Raise(error, nameAsPassed);
        }
        Files().Pause(kReplacePauseMs);
    }
}

} // namespace

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

ScopedFileSystem::ScopedFileSystem(FileSystem &files) : m_previous(g_files)
{
    g_files = &files;
}

ScopedFileSystem::~ScopedFileSystem()
{
    g_files = m_previous;
}

std::string FullPath(const std::filesystem::path &path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return PathText(ec ? path : absolute);
}

std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes)
{
    OpenFile file(Files().OpenForReading(diskPath));
    if (file.Get() == kNoFile)
        Raise(Files().LastError(), nameAsPassed);

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    while (bytes.size() < maxBytes) {
        const long got = Files().Read(file.Get(), buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (got < 0) {
            if (IsInterrupted(Files().LastError()))
                continue;
            Raise(Files().LastError(), FullPath(diskPath));
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

void ReplaceFileContents(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                         std::span<const std::uint8_t> bytes)
{
    const auto target = ResolveLinks(diskPath);
    const bool exists = Files().Exists(target);
    // Creating a file the user may not write fails, as it would in place:
    // putting another in its place would not ask the file.
    if (exists && !Files().MayWrite(target))
        Raise(Files().LastError(), nameAsPassed);

    std::filesystem::path temporary;
    const FileHandle file = CreateTemporaryBeside(target, temporary);
    if (file == kNoFile) {
        // A folder that takes no new files still lets a writable file be
        // rewritten where it is, though not in one step.
        const long error = Files().LastError();
        std::error_code ignored;
        if (!IsAccessDenied(error) || !exists || !std::filesystem::is_regular_file(target, ignored))
            Raise(error, nameAsPassed);
        const FileHandle inPlace = Files().OpenTruncated(target);
        if (inPlace == kNoFile)
            Raise(Files().LastError(), nameAsPassed);
        WriteFlushClose(inPlace, bytes, FullPath(diskPath));
        return;
    }
    try {
        WriteFlushClose(file, bytes, FullPath(diskPath));
    } catch (const CFileException &) {
        Files().Remove(temporary);
        throw;
    }
    MoveIntoPlace(temporary, target, nameAsPassed);
}

OutputTextFile::OutputTextFile(const std::filesystem::path &diskPath)
    : m_file(Files().CreateOrTruncate(diskPath)), m_fullPath(FullPath(diskPath))
{}

OutputTextFile::~OutputTextFile()
{
    if (m_file != kNoFile)
        Files().Close(m_file);
}

void OutputTextFile::Write(std::string_view text)
{
    try {
        WriteAll(m_file, AsBytes(text), m_fullPath);
    } catch (const CFileException &error) {
        throw CFileException(CFileException::diskFull, error.m_lOsError, m_fullPath);
    }
}

void OutputTextFile::Close()
{
    if (!Files().Close(std::exchange(m_file, kNoFile)))
        throw CFileException(CFileException::diskFull, Files().LastError(), m_fullPath);
}

} // namespace fileio

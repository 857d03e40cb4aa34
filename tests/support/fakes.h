#pragma once

#include "base/desktop.h"
#include "base/fileio.h"

#include <cerrno>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A message as its box shows it: text, buttons, the icon the box gets, and whether it is system-modal.
struct Shown {
    std::string text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::Exclamation;
    MsgModality modality = MsgModality::Application;
    bool operator==(const Shown &) const = default;
};
std::ostream &operator<<(std::ostream &out, const Shown &shown);

// Records every message and answers from a queue (the first button when empty).
class RecordingMessageService : public IMessageService {
public:
    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon, MsgModality modality) override;

    std::vector<Shown> messages;
    std::deque<int> answers;
};

// Records every file opened; with `failure` set, says at once that no program opened it.
class RecordingLauncher : public IViewerLauncher {
public:
    void Open(const std::string &fileName, Failed failed) override
    {
        opened.push_back(fileName);
        if (!failure.empty())
            failed(failure);
    }
    std::vector<std::string> opened;
    std::string failure;
};

// Error numbers of the platform's file calls (errno, or Windows' own) for a
// full disk and access denied.
#ifdef _WIN32
inline constexpr long kDiskFullError = 112; // ERROR_DISK_FULL
inline constexpr long kAccessDenied = 5;    // ERROR_ACCESS_DENIED
#else
inline constexpr long kDiskFullError = ENOSPC;
inline constexpr long kAccessDenied = EACCES;
#endif

// What a crash or a power cut does to a save: it stops dead.
struct SimulatedCrash {};

// Passes every call on to the system's files, recording it, and fails or
// stops the one a test names, as the documented failures of each call would.
class FaultyFiles : public fileio::FileSystem {
public:
    using Path = std::filesystem::path;
    using FileHandle = fileio::FileHandle;
    // clang-format off
    enum class Call { OpenForReading, Read, MayWrite, CreateNew, OpenForRewrite, Write, SetLength, Flush, Close,
                      Replace, Remove, Exists, IsRegularFile, LinkTarget, AgeSeconds, OwnerOf, FlushFolder, Pause };
    // clang-format on
    enum class Fault {
        Fail,       // the call does nothing and fails with `error`
        TargetGone, // Replace takes the replaced file away, then fails
    };

    // Fails call number `failAt` (counted from 1) with `error`; with `persistent`,
    // every later call of the same kind fails too.
    explicit FaultyFiles(int failAt = 0, long error = 0, Fault fault = Fault::Fail, bool persistent = false)
        : failAt(failAt), fault(fault), error(error), persistent(persistent)
    {}

    // Each call, unless it is the one to fail, is the system's own. One to a line, as a table.
    // clang-format off
    FileHandle OpenForReading(const Path &p) override { return Hit(Call::OpenForReading, p) ? fileio::kNoFile : Opened(p, m_system.OpenForReading(p)); }
    long Read(FileHandle f, void *to, std::size_t n) override { reads.push_back(n); return Hit(Call::Read, f) ? -1 : m_system.Read(f, to, n); }
    bool MayWrite(const Path &p) override { return !Hit(Call::MayWrite, p) && m_system.MayWrite(p); }
    FileHandle CreateNew(const Path &p, const Path &like) override { return Hit(Call::CreateNew, p) ? fileio::kNoFile : Opened(p, m_system.CreateNew(p, like)); }
    FileHandle OpenForRewrite(const Path &p) override { return Hit(Call::OpenForRewrite, p) ? fileio::kNoFile : Opened(p, m_system.OpenForRewrite(p)); }
    long Write(FileHandle file, const void *data, std::size_t size) override;
    bool SetLength(FileHandle f, std::uint64_t n) override { return !Hit(Call::SetLength, f) && m_system.SetLength(f, n); }
    bool Flush(FileHandle f) override { return !Hit(Call::Flush, f) && m_system.Flush(f); }
    bool Close(FileHandle file) override;
    bool Replace(const Path &replacement, const Path &replaced) override;
    bool Remove(const Path &p) override { return !Hit(Call::Remove, p) && m_system.Remove(p); }
    bool Exists(const Path &p) override { return !Hit(Call::Exists, p) && m_system.Exists(p); }
    bool IsRegularFile(const Path &p) override { return !Hit(Call::IsRegularFile, p) && m_system.IsRegularFile(p); }
    Path LinkTarget(const Path &p) override { return Hit(Call::LinkTarget, p) ? Path() : m_system.LinkTarget(p); }
    std::optional<long long> AgeSeconds(const Path &p) override { return Hit(Call::AgeSeconds, p) ? std::nullopt : m_system.AgeSeconds(p); }
    std::optional<Owner> OwnerOf(const Path &p) override { return Hit(Call::OwnerOf, p) ? std::nullopt : m_system.OwnerOf(p); }
    long long CurrentUser() override { return m_system.CurrentUser(); }
    bool FlushFolder(const Path &p) override { return !Hit(Call::FlushFolder, p.has_parent_path() ? p.parent_path() : ".") && m_system.FlushFolder(p); }
    // clang-format on
    void Pause(int) override { Hit(Call::Pause, Path()); }
    // The fault's error, or the system's own for a call let through.
    long LastError() const override { return m_injected ? m_error : m_system.LastError(); }

    int failAt;
    Fault fault;
    long error;
    bool persistent;
    // Writes store this many bytes in all, then one fails with `error`, as a
    // full disk does; bytes over ones already stored would need no more room.
    std::size_t writeLimit = SIZE_MAX;
    // No new file may be made, as in a read-only folder: access denied.
    bool refuseNewFiles = false;
    // The first call of this kind fails with `error`.
    std::optional<Call> failing;
    // The calls after this many are never made: the first throws SimulatedCrash.
    int crashAfter = -1;

    std::vector<Call> calls;
    // The size each read asked for, in order.
    std::vector<std::size_t> reads;
    // Every call that changes a file or makes it durable, as "Name path", in
    // order and separated by commas: the path as passed, or the file a handle
    // was opened on; a flushed folder's path is the folder's.
    std::string saveTrace;

private:
    bool Hit(Call call, const Path &path);
    bool Hit(Call call, FileHandle file) { return Hit(call, m_opened[file]); }
    FileHandle Opened(const Path &path, FileHandle file)
    {
        m_opened[file] = path;
        return file;
    }
    std::map<FileHandle, Path> m_opened;

    fileio::FileSystem &m_system = fileio::SystemFiles();
    long m_error = 0;
    bool m_injected = false;
    std::size_t m_written = 0;
    bool m_crashed = false;
};

std::ostream &operator<<(std::ostream &out, FaultyFiles::Call call);

// A fresh empty folder made the working directory for one test.
class TemporaryWorkingDirectory {
public:
    TemporaryWorkingDirectory();
    ~TemporaryWorkingDirectory();
    TemporaryWorkingDirectory(const TemporaryWorkingDirectory &) = delete;
    TemporaryWorkingDirectory &operator=(const TemporaryWorkingDirectory &) = delete;

    const std::filesystem::path &Path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// File bytes as the program writes them, little-endian whatever the host.
std::string SettingsBytes(std::int32_t units, float height, float size, float width, float printSize);
// The settings file of the defaults: centimetres, 25, 0.72, 19, print size 1.
// Inline, so that tables of test cases built at start-up find it made.
inline const std::string kDefaultSettings = SettingsBytes(1, 25.0f, 0.72f, 19.0f, 1.0f);
// One styles file record with a one-byte length prefix.
std::string StylesRecord(const std::string &name, float size);

// Makes `name` a symbolic link to a device: as root one of the test's own
// (a null device in the folder), so that a slip that replaced it would not
// replace the system's /dev/null; otherwise /dev/null, which only root may replace.
void LinkToADevice(const char *name);

// A file's bytes; "" for anything but a regular file.
std::string ReadBytes(const std::filesystem::path &path);
void WriteBytes(const std::filesystem::path &path, const std::string &bytes);
// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path &path);

// What the program writes for a stave width of 15 cm, a stave size of 0.5
// and a page height of 30, on every platform (the Windows program's run as
// a user is compared with the same files); read before any test changes folder.
inline const std::string kReportFor15By05By30 = ReadBytes(PLAXOMET_TEST_DATA "/blackbox/PlaxometReport.txt");
inline const std::string kSettingsFor15By05By30 = ReadBytes(PLAXOMET_TEST_DATA "/blackbox/SETTINGS");

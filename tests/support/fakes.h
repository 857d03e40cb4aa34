#pragma once

#include "base/fileio.h"
#include "base/messagebox.h"
#include "calc/calculator.h"
#include "calc/report.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Records every message and answers from a queue (the first button when empty).
class RecordingMessageService : public IMessageService {
public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        MsgModality modality;
    };

    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon, MsgModality modality) override;

    std::vector<std::string> Texts() const;

    std::vector<Message> messages;
    std::deque<int> answers;
    // Called as each message is shown, before it is answered.
    std::function<void(const Message &)> onShow;
};

class RecordingLauncher : public IViewerLauncher {
public:
    void Launch(const ViewerCommand &command) override { launches.push_back(command); }
    std::vector<ViewerCommand> launches;
};

// Error numbers of the platform's file calls (errno, or Windows' own) for a
// full disk and a failing device.
#ifdef _WIN32
inline constexpr long kDiskFullError = 112; // ERROR_DISK_FULL
inline constexpr long kHardIoError = 23;    // ERROR_CRC
#else
inline constexpr long kDiskFullError = ENOSPC;
inline constexpr long kHardIoError = EIO;
#endif

// What a crash or a power cut does to a save: it stops dead.
struct SimulatedCrash {};

// Passes every call on to the system's files, recording it, and fails or
// stops the one a test names, as the documented failures of each call would.
class FaultyFiles : public fileio::FileSystem {
public:
    using FileHandle = fileio::FileHandle;
    enum class Call {
        OpenForReading,
        Read,
        MayWrite,
        CreateNew,
        OpenTruncated,
        CreateOrTruncate,
        Write,
        Flush,
        Close,
        Replace,
        Remove,
        Exists,
        Pause
    };
    enum class Fault {
        Fail,       // the call does nothing and fails with `error`
        TargetGone, // Replace takes the replaced file away, then fails
    };

    FileHandle OpenForReading(const std::filesystem::path &path) override;
    long Read(FileHandle file, void *buffer, std::size_t size) override;
    bool MayWrite(const std::filesystem::path &path) override;
    FileHandle CreateNew(const std::filesystem::path &path, const std::filesystem::path &like) override;
    FileHandle OpenTruncated(const std::filesystem::path &path) override;
    FileHandle CreateOrTruncate(const std::filesystem::path &path) override;
    long Write(FileHandle file, const void *data, std::size_t size) override;
    bool Flush(FileHandle file) override;
    bool Close(FileHandle file) override;
    bool Replace(const std::filesystem::path &replacement, const std::filesystem::path &replaced) override;
    bool Remove(const std::filesystem::path &path) override;
    bool Exists(const std::filesystem::path &path) override;
    void Pause(int milliseconds) override;
    long LastError() const override { return m_error; }

    // The call (counted from 1) that meets `fault`; with `persistent`, every
    // later call of the same kind fails too.
    int failAt = 0;
    Fault fault = Fault::Fail;
    long error = 0;
    bool persistent = false;
    // Writes store this many bytes in all, then fail with `error`, as a full disk does.
    std::size_t writeLimit = SIZE_MAX;
    // The calls after this many are never made: the first throws SimulatedCrash.
    int crashAfter = -1;

    std::vector<Call> calls;

private:
    bool Faulted(Call call);

    fileio::FileSystem &m_system = fileio::SystemFiles();
    long m_error = 0;
    std::size_t m_written = 0;
    bool m_crashed = false;
};

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

// The values after a calculation on these typed measurements, from the defaults.
CCalculatorValues Calculated(std::int32_t units, float width, float size, float height,
                             float printSize = 1.0f);

// The calculator values' bits, member by member, to compare results exactly.
std::array<std::uint32_t, 8> ValueBits(const CCalculatorValues &values);

// File bytes as the program writes them, little-endian whatever the host.
std::string SettingsBytes(std::int32_t units, float height, float size, float width, float printSize);
// The settings file of the defaults: centimetres, 25, 0.72, 19, print size 1.
// Inline, so that tables of test cases built at start-up find it made.
inline const std::string kDefaultSettings = SettingsBytes(1, 25.0f, 0.72f, 19.0f, 1.0f);
// One styles file record with a one-byte length prefix.
std::string StylesRecord(const std::string &name, float size);

std::string ReadBytes(const std::filesystem::path &path);
void WriteBytes(const std::filesystem::path &path, const std::string &bytes);
// Names of the entries of a folder, sorted.
std::vector<std::string> FolderEntries(const std::filesystem::path &path);

// Root ignores permission bits, so a test of them run as root proves
// nothing: as root, RerunUnprivileged() runs the current test again in a
// child dropped to the user nobody and reports the child's verdict.
enum class Privileges { RunHere, RanInChild, CannotDrop };
Privileges RerunUnprivileged(std::string &why);

// Starts a permission test: runs its body here when unprivileged, or in an
// unprivileged child when root, or skips it with the reason it cannot run.
#define PLAXOMET_RUN_UNPRIVILEGED()                                                                          \
    do {                                                                                                     \
        std::string why_;                                                                                    \
        switch (RerunUnprivileged(why_)) {                                                                   \
        case Privileges::RunHere: break;                                                                     \
        case Privileges::RanInChild: return;                                                                 \
        case Privileges::CannotDrop: GTEST_SKIP() << why_;                                                   \
        }                                                                                                    \
    } while (false)

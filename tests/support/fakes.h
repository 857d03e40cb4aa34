#pragma once

#include "base/fileio.h"
#include "base/messagebox.h"
#include "calc/calculator.h"
#include "calc/report.h"

#include <array>
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
    };

    int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon) override;

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

// Lets the first `limit` bytes through, then fails every write with `error`;
// a write that crosses the limit is stored short, as a full disk does.
class FailingWriteChannel : public fileio::WriteChannel {
public:
    explicit FailingWriteChannel(std::size_t limit, int error) : m_limit(limit), m_error(error) {}
    long Write(int fd, const void *data, std::size_t size) override;
    int Sync(int fd) override;
    int Close(int fd) override;

    bool failSync = false;
    bool failClose = false;

private:
    std::size_t m_limit;
    int m_error;
    std::size_t m_written = 0;
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

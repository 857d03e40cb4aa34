#include "tests/support/fakes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <unistd.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/sysmacros.h>
#endif

namespace fs = std::filesystem;

int RecordingMessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon,
                                         MsgModality modality)
{
    messages.push_back({text, buttons, EffectiveIcon(buttons, icon), modality});
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? AnswerYes : AnswerOK;
}

std::ostream &operator<<(std::ostream &out, const Shown &shown)
{
    return out << '"' << shown.text << "\" buttons " << static_cast<int>(shown.buttons) << " icon "
               << static_cast<int>(shown.icon) << " modality " << static_cast<int>(shown.modality);
}

namespace {

const char *const kCallNames[] = {
    "OpenForReading", "Read",       "MayWrite",   "CreateNew", "OpenForRewrite", "Write",
    "SetLength",      "Flush",      "Close",      "Replace",   "Remove",         "Exists",
    "IsRegularFile",  "LinkTarget", "AgeSeconds", "OwnerOf",   "FlushFolder",    "Pause"};

// The calls a save's durability and outcome depend on.
using C = FaultyFiles::Call;
constexpr C kChangingCalls[] = {C::CreateNew, C::OpenForRewrite, C::Write,  C::SetLength,
                                C::Flush,     C::Replace,        C::Remove, C::FlushFolder};

} // namespace

std::ostream &operator<<(std::ostream &out, FaultyFiles::Call call)
{
    return out << kCallNames[static_cast<int>(call)];
}

bool FaultyFiles::Hit(Call call, const Path &path)
{
    // After a crash nothing more happens to any file (only the system closes them).
    if (m_crashed)
        return m_injected = true;
    calls.push_back(call);
    if (std::ranges::find(kChangingCalls, call) != std::end(kChangingCalls))
        saveTrace += (saveTrace.empty() ? "" : ", ") + std::string(kCallNames[static_cast<int>(call)]) + " " +
                     path.generic_string();
    const int number = static_cast<int>(calls.size());
    if (crashAfter >= 0 && number > crashAfter) {
        m_crashed = true;
        throw SimulatedCrash{};
    }
    const bool first = failing == call && std::count(calls.begin(), calls.end(), call) == 1;
    const bool hit =
        number == failAt || first ||
        (persistent && failAt > 0 && number > failAt && call == calls[static_cast<std::size_t>(failAt - 1)]);
    const bool refused = refuseNewFiles && call == Call::CreateNew;
    m_injected = hit || refused;
    m_error = hit ? error : refused ? kAccessDenied : m_error;
    return m_injected;
}

long FaultyFiles::Write(FileHandle file, const void *data, std::size_t size)
{
    if (Hit(Call::Write, file))
        return -1;
    if (m_written >= writeLimit) {
        writeLimit = SIZE_MAX;
        m_injected = true;
        m_error = error;
        return -1;
    }
    const long written = m_system.Write(file, data, std::min(size, writeLimit - m_written));
    if (written > 0)
        m_written += static_cast<std::size_t>(written);
    return written;
}

// The system closes the file whatever happens: a failed close releases it
// all the same, and a program that crashes, at its close or before, has its
// files closed for it.
bool FaultyFiles::Close(FileHandle file)
{
    const bool closed = m_system.Close(file);
    return !(!m_crashed && Hit(Call::Close, file)) && closed;
}

bool FaultyFiles::Replace(const Path &replacement, const Path &replaced)
{
    if (!Hit(Call::Replace, replacement.generic_string() + " -> " + replaced.generic_string()))
        return m_system.Replace(replacement, replaced);
    if (fault == Fault::TargetGone)
        m_system.Remove(replaced);
    return false;
}

TemporaryWorkingDirectory::TemporaryWorkingDirectory() : m_previous(fs::current_path())
{
    std::random_device random;
    m_path = fs::temp_directory_path() /
             ("plaxomet-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    fs::create_directories(m_path);
    m_path = fs::canonical(m_path);
    fs::current_path(m_path);
}

TemporaryWorkingDirectory::~TemporaryWorkingDirectory()
{
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
    // A test may have left the folder read-only.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void LinkToADevice(const char *name)
{
#ifndef _WIN32
    const bool own = ::geteuid() == 0 && ::mknod(".device", S_IFCHR | 0666, makedev(1, 3)) == 0;
    fs::create_symlink(own ? ".device" : "/dev/null", name);
#else
    static_cast<void>(name);
#endif
}

std::string ReadBytes(const fs::path &path)
{
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored))
        return "";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> FolderEntries(const fs::path &path)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

std::string LittleEndian(std::uint32_t value)
{
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

} // namespace

std::string SettingsBytes(std::int32_t units, float height, float size, float width, float printSize)
{
    std::string bytes = LittleEndian(static_cast<std::uint32_t>(units));
    for (const float value : {height, size, width, printSize})
        bytes += LittleEndian(std::bit_cast<std::uint32_t>(value));
    return bytes;
}

std::string StylesRecord(const std::string &name, float size)
{
    return static_cast<char>(name.size()) + name + LittleEndian(std::bit_cast<std::uint32_t>(size));
}

#include "tests/support/fakes.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

int RecordingMessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon,
                                         MsgModality modality)
{
    messages.push_back({text, buttons, EffectiveIcon(buttons, icon), modality});
    if (onShow)
        onShow(messages.back());
    if (!answers.empty()) {
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? AnswerYes : AnswerOK;
}

std::vector<std::string> RecordingMessageService::Texts() const
{
    std::vector<std::string> texts;
    for (const auto &message : messages)
        texts.push_back(message.text);
    return texts;
}

bool FaultyFiles::Faulted(Call call)
{
    calls.push_back(call);
    const int number = static_cast<int>(calls.size());
    if (crashAfter >= 0 && number > crashAfter) {
        m_crashed = true;
        throw SimulatedCrash{};
    }
    const bool hit = number == failAt || (persistent && failAt > 0 && number > failAt &&
                                          call == calls[static_cast<std::size_t>(failAt - 1)]);
    if (hit)
        m_error = error;
    return hit;
}

fileio::FileHandle FaultyFiles::OpenForReading(const std::filesystem::path &path)
{
    return Faulted(Call::OpenForReading) ? fileio::kNoFile : m_system.OpenForReading(path);
}

long FaultyFiles::Read(FileHandle file, void *buffer, std::size_t size)
{
    return Faulted(Call::Read) ? -1 : m_system.Read(file, buffer, size);
}

bool FaultyFiles::MayWrite(const std::filesystem::path &path)
{
    return !Faulted(Call::MayWrite) && m_system.MayWrite(path);
}

fileio::FileHandle FaultyFiles::CreateNew(const std::filesystem::path &path,
                                          const std::filesystem::path &like)
{
    return Faulted(Call::CreateNew) ? fileio::kNoFile : m_system.CreateNew(path, like);
}

fileio::FileHandle FaultyFiles::OpenTruncated(const std::filesystem::path &path)
{
    return Faulted(Call::OpenTruncated) ? fileio::kNoFile : m_system.OpenTruncated(path);
}

fileio::FileHandle FaultyFiles::CreateOrTruncate(const std::filesystem::path &path)
{
    return Faulted(Call::CreateOrTruncate) ? fileio::kNoFile : m_system.CreateOrTruncate(path);
}

long FaultyFiles::Write(FileHandle file, const void *data, std::size_t size)
{
    if (Faulted(Call::Write))
        return -1;
    if (m_written >= writeLimit) {
        m_error = error;
        return -1;
    }
    const long written = m_system.Write(file, data, std::min(size, writeLimit - m_written));
    if (written > 0)
        m_written += static_cast<std::size_t>(written);
    return written;
}

bool FaultyFiles::Flush(FileHandle file)
{
    return !Faulted(Call::Flush) && m_system.Flush(file);
}

// A crashed program's files are closed by the system; a failed close releases the file all the same.
bool FaultyFiles::Close(FileHandle file)
{
    if (m_crashed) {
        m_system.Close(file);
        return true;
    }
    const bool failed = Faulted(Call::Close);
    return m_system.Close(file) && !failed;
}

bool FaultyFiles::Replace(const std::filesystem::path &replacement, const std::filesystem::path &replaced)
{
    if (!Faulted(Call::Replace))
        return m_system.Replace(replacement, replaced);
    if (fault == Fault::TargetGone)
        m_system.Remove(replaced);
    m_error = error;
    return false;
}

bool FaultyFiles::Remove(const std::filesystem::path &path)
{
    return !Faulted(Call::Remove) && m_system.Remove(path);
}

bool FaultyFiles::Exists(const std::filesystem::path &path)
{
    return !Faulted(Call::Exists) && m_system.Exists(path);
}

void FaultyFiles::Pause(int)
{
    Faulted(Call::Pause);
}

TemporaryWorkingDirectory::TemporaryWorkingDirectory() : m_previous(std::filesystem::current_path())
{
    std::random_device random;
    m_path = std::filesystem::temp_directory_path() /
             ("plaxomet-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
    m_path = std::filesystem::canonical(m_path);
    std::filesystem::current_path(m_path);
}

TemporaryWorkingDirectory::~TemporaryWorkingDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previous, ignored);
    // A test may have left the folder read-only.
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

CCalculatorValues Calculated(std::int32_t units, float width, float size, float height, float printSize)
{
    CCalculatorValues v;
    v.SetDefaults();
    v.m_nUnits = units;
    v.m_fStaveWidth = width;
    v.m_fStaveSize = size;
    v.m_fPageHeight = height;
    v.m_fPrintSize = printSize;
    v.Calculate();
    return v;
}

std::array<std::uint32_t, 8> ValueBits(const CCalculatorValues &v)
{
    const auto bits = [](auto member) { return std::bit_cast<std::uint32_t>(member); };
    return {bits(v.m_nUnits),      bits(v.m_fPageHeight),         bits(v.m_fStaveSize),
            bits(v.m_fStaveWidth), bits(v.m_fPageHeightRequired), bits(v.m_fStaveSizeRequired),
            bits(v.m_fPrintSize),  bits(v.m_fDefaultStaveWidth)};
}

std::string ReadBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> FolderEntries(const std::filesystem::path &path)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

Privileges RerunUnprivileged(std::string &why)
{
#ifdef _WIN32
    why = "Windows has no permission bits; its read-only attribute has tests of its own";
    return Privileges::CannotDrop;
#else
    if (::geteuid() != 0)
        return Privileges::RunHere;
    const auto *test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string setpriv = "/usr/bin/setpriv";
    if (::access(setpriv.c_str(), X_OK) != 0) {
        why = "running as root and " + setpriv + " is missing: permission bits cannot be tested";
        return Privileges::CannotDrop;
    }
    // The child runs a copy of this program in a folder anyone may enter,
    // wherever the build lies; it makes its own temporary folders.
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "plaxomet-unprivileged-XXXXXX").string();
    if (!::mkdtemp(folder.data())) {
        why = "no folder for the unprivileged child";
        return Privileges::CannotDrop;
    }
    struct Remove {
        std::string path;
        ~Remove()
        {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } remove{folder};
    const auto copy = fs::path(folder) / "test-program";
    std::error_code error;
    fs::copy_file(fs::read_symlink("/proc/self/exe"), copy, error);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec, error);
    // It starts in that folder too: the working folder it would inherit may be closed to it.
    const std::string command = "cd " + folder + " && " + setpriv +
                                " --reuid=65534 --regid=65534 --clear-groups " + copy.string() +
                                " --gtest_filter=" + test->test_suite_name() + "." + test->name() + " 2>&1";
    std::string output;
    if (FILE *pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const auto got = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, got);
        const int status = ::pclose(pipe);
        const bool ran = output.find("[ RUN      ]") != std::string::npos;
        if (!ran) {
            why = "the unprivileged child could not run this test: " + output;
            return Privileges::CannotDrop;
        }
        EXPECT_EQ(status, 0) << "as the user nobody:\n" << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        return Privileges::RanInChild;
    }
    why = "no child process could be started";
    return Privileges::CannotDrop;
#endif
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
    return LittleEndian(static_cast<std::uint32_t>(units)) +
           LittleEndian(std::bit_cast<std::uint32_t>(height)) +
           LittleEndian(std::bit_cast<std::uint32_t>(size)) +
           LittleEndian(std::bit_cast<std::uint32_t>(width)) +
           LittleEndian(std::bit_cast<std::uint32_t>(printSize));
}

std::string StylesRecord(const std::string &name, float size)
{
    return static_cast<char>(name.size()) + name + LittleEndian(std::bit_cast<std::uint32_t>(size));
}

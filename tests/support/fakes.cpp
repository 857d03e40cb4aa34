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

int RecordingMessageService::ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon)
{
    messages.push_back({text, buttons, EffectiveIcon(buttons, icon)});
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

long FailingWriteChannel::Write(int fd, const void *data, std::size_t size)
{
    if (m_written >= m_limit) {
        errno = m_error;
        return -1;
    }
    const auto allowed = std::min(size, m_limit - m_written);
    const long written = WriteChannel::Write(fd, data, allowed);
    if (written > 0)
        m_written += static_cast<std::size_t>(written);
    return written;
}

int FailingWriteChannel::Sync(int fd)
{
    if (failSync) {
        errno = EIO;
        return -1;
    }
    return WriteChannel::Sync(fd);
}

int FailingWriteChannel::Close(int fd)
{
    WriteChannel::Close(fd);
    if (failClose) {
        errno = EIO;
        return -1;
    }
    return 0;
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

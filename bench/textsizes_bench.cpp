// Opening the Text Sizes dialog on a large styles file (loading and filling
// its list) and saving the list back, at 1,000, 10,000 and 100,000 records.
// Exits non-zero when 100,000 records cost more than 15 times 10,000.

#include "dialogs/textstylesdlg.h"
#include "qt/qtdialogwindow.h"
#include "styles/styles.h"
#include "tests/support/fakes.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>

namespace {

std::string StylesFile(int records)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> letter('A', 'Z'), length(3, 17);
    std::uniform_real_distribution<float> size(4.0f, 40.0f);
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        std::string name(static_cast<std::size_t>(length(random)), ' ');
        for (char &c : name)
            c = static_cast<char>(letter(random));
        bytes += static_cast<char>(name.size());
        bytes += name;
        const auto bits = std::bit_cast<std::uint32_t>(size(random));
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>(bits >> shift);
    }
    return bytes;
}

void OpenTextSizes(benchmark::State &state)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("STYLES", StylesFile(static_cast<int>(state.range(0))));
    RecordingMessageService messages;
    QtToolkit toolkit;
    for (auto _ : state) {
        CTextStylesDlg dlg(toolkit, messages);
        // Ends the modal run as soon as the dialog is shown, its list filled.
        QTimer::singleShot(0, qApp, [&dlg] { dlg.EndDialog(2); });
        dlg.DoModal();
        if (dlg.m_listStyles.GetCount() != state.range(0))
            state.SkipWithError("the list was not filled");
    }
    state.SetComplexityN(state.range(0));
}

void SaveTextSizes(benchmark::State &state)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("STYLES", StylesFile(static_cast<int>(state.range(0))));
    RecordingMessageService messages;
    QtToolkit toolkit;
    CTextStylesDlg dlg(toolkit, messages);
    QTimer::singleShot(0, qApp, [&dlg] { dlg.EndDialog(2); });
    dlg.DoModal();
    for (auto _ : state)
        SaveStyles(dlg.m_listStyles);
    state.SetComplexityN(state.range(0));
}

BENCHMARK(OpenTextSizes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveTextSizes)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Keeps each run's time so the growth from 10,000 to 100,000 can be judged.
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto &run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
        }
    }

    std::map<std::string, std::map<std::string, double>> times;
};

} // namespace

int main(int argc, char *argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    int status = 0;
    for (const auto &[name, byArgs] : reporter.times) {
        const auto small = byArgs.find("10000"), large = byArgs.find("100000");
        if (small == byArgs.end() || large == byArgs.end())
            continue;
        const double ratio = large->second / small->second;
        std::printf("%s: 100000 records cost %.1f times 10000 (limit 15)\n", name.c_str(), ratio);
        status |= ratio > 15.0;
    }
    return status;
}

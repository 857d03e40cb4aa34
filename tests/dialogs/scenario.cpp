#include "tests/dialogs/scenario.h"

#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "res/strings.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// Ticks waited for the next step's dialog before giving up: about five seconds.
constexpr int kPatience = 2500;

struct Player {
    IDialogDriver &driver;
    std::vector<Step> steps;
    std::size_t next = 0;
    int waited = 0;
    bool finished = false; // the top dialog's run is over: ticks still posted do nothing

    void Tick(const std::shared_ptr<Player> &self)
    {
        CDialog *active = CDialog::ActiveModal();
        if (finished || !active)
            return;
        if (next < steps.size() && active->TemplateId() == steps[next].dialog && driver.IsReady(*active)) {
            const Step &step = steps[next++];
            waited = 0;
            // Posted first, so that it runs inside a nested dialog this step opens.
            driver.Post([self] { self->Tick(self); });
            // A failure names the step's own line, what it did and in which dialog.
            const testing::ScopedTrace trace(step.where.file, step.where.line,
                                             step.what + " in \"" + driver.Caption(*active) + "\"");
            step.act(driver, *active);
            return;
        }
        if (++waited > kPatience) {
            // The step that waited in vain names its line; with none left, the last one.
            static const Step none{0, nullptr, "no step", {__FILE__, __LINE__}};
            const Step &step = next < steps.size() ? steps[next] : steps.empty() ? none : steps.back();
            ADD_FAILURE_AT(step.where.file, step.where.line)
                << (next < steps.size() ? step.what + " waited for " + IdName(step.dialog)
                                        : "every step done")
                << ", but \"" << driver.Caption(*active) << "\" stayed open";
            active->EndDialog(-2);
            waited = 0;
        }
        driver.Post([self] { self->Tick(self); });
    }
};

} // namespace

void RunScenario(On top, const Scenario &scenario)
{
    SCOPED_TRACE(scenario.name);
    TemporaryWorkingDirectory dir;
    for (const auto &[name, bytes] : scenario.before)
        WriteBytes(name, bytes);
    RecordingMessageService messages;
    messages.answers.assign(scenario.answers.begin(), scenario.answers.end());
    RecordingLauncher launcher;
    {
        IDialogDriver &driver = *g_driver;
        std::unique_ptr<CDialog> dialog;
        if (top.dialog == IDD_TEXTSTYLES)
            dialog = std::make_unique<CTextStylesDlg>(driver.Toolkit(), messages);
        else
            dialog = std::make_unique<CPlaxometDlg>(driver.Toolkit(), messages, launcher);
        auto player = std::make_shared<Player>(Player{driver, scenario.steps});
        driver.Post([player] { player->Tick(player); });
        dialog->DoModal();
        player->finished = true;
        EXPECT_EQ(player->next, player->steps.size()) << "the dialog closed before every step ran";
    }
    EXPECT_EQ(messages.messages, scenario.messages);
    for (const auto &[name, bytes] : scenario.after) {
        EXPECT_EQ(std::filesystem::exists(name), bytes.has_value()) << name;
        EXPECT_EQ(ReadBytes(name), bytes.value_or("")) << name;
    }
    EXPECT_EQ(launcher.opened, scenario.opened);
    EXPECT_EQ(FolderEntries("."), scenario.folder.value_or(FolderEntries("."))) << "the folder afterwards";
}

std::string IdName(int id)
{
    // Every identifier of res/resource.h, as the build lists them; of two with one number, the first.
    static const std::map<int, std::string> names = {
#include "idnames.inc"
    };
    const auto found = names.find(id);
    return found != names.end() ? found->second : id == 0 ? "no control" : "control " + std::to_string(id);
}

Step On::ChooseAbout(Where at) const
{
    return Named(at, "ChooseAbout", 0, [](auto &d, auto &w) {
        d.ChooseSystemMenuItem(w, std::string(res::LoadString(res::IDS_ABOUTBOX)));
    });
}

Step On::ExpectList(const std::vector<std::string> &lines, int caret, const std::vector<int> &selected,
                    Where at) const
{
    return Named(at, "ExpectList", IDC_STYLESLIST, [=](IDialogDriver &d, CDialog &dlg) {
        EXPECT_EQ(d.ListLines(dlg, IDC_STYLESLIST), lines);
        EXPECT_EQ(dlg.Window().ListCaret(IDC_STYLESLIST), caret) << "focus rectangle";
        std::vector<int> rows;
        for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
            if (dlg.Window().ListSelected(IDC_STYLESLIST, i))
                rows.push_back(i);
        }
        EXPECT_EQ(rows, selected) << "selected rows";
    });
}

std::vector<Step> On::Tabbing(Key key, std::initializer_list<int> ids, Where at) const
{
    std::vector<Step> steps;
    for (const int id : ids)
        steps.insert(steps.end(), {Press(key, at), ExpectFocus(id, at)});
    return steps;
}

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> steps;
    for (const auto &part : parts)
        steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

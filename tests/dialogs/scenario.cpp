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

int Play(IDialogDriver &driver, CDialog &top, std::vector<Step> steps)
{
    auto player = std::make_shared<Player>(Player{driver, std::move(steps)});
    driver.Post([player] { player->Tick(player); });
    const int result = top.DoModal();
    player->finished = true;
    EXPECT_EQ(player->next, player->steps.size()) << "the dialog closed before every step ran";
    return result;
}

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
        std::unique_ptr<CDialog> dialog;
        if (top.dialog == IDD_TEXTSTYLES)
            dialog = std::make_unique<CTextStylesDlg>(Driver().Toolkit(), messages);
        else
            dialog = std::make_unique<CPlaxometDlg>(Driver().Toolkit(), messages, launcher);
        Play(Driver(), *dialog, scenario.steps);
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
    // clang-format off
#define PLAXOMET_ID(name) {name, #name}
    static const std::map<int, std::string> names = {
        PLAXOMET_ID(IDOK), PLAXOMET_ID(IDCANCEL), PLAXOMET_ID(IDD_ABOUTBOX), PLAXOMET_ID(IDD_PLAXOMET_DIALOG),
        PLAXOMET_ID(IDD_TEXTSTYLES), PLAXOMET_ID(IDD_EDITTEXTSTYLES), PLAXOMET_ID(IDC_STAVEWIDTH),
        PLAXOMET_ID(IDC_STAVESIZE), PLAXOMET_ID(IDC_PAGEHEIGHT), PLAXOMET_ID(IDC_NEW), PLAXOMET_ID(IDC_INCHES),
        PLAXOMET_ID(IDC_CENTIMETERS), PLAXOMET_ID(IDC_EDIT), PLAXOMET_ID(IDC_DELETE),
        {IDC_STYLESLIST, "IDC_STYLESLIST/IDC_TEXTSIZES"}, PLAXOMET_ID(IDC_ENTRYNAME), PLAXOMET_ID(IDC_ENTRYSIZE)};
    // clang-format on
#undef PLAXOMET_ID
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

Step On::ExpectChecks(bool inches, bool centimetres, Where at) const
{
    return Named(at, "ExpectChecks", 0, [=](auto &, CDialog &dlg) {
        EXPECT_EQ(dlg.Window().GetCheck(IDC_INCHES), inches);
        EXPECT_EQ(dlg.Window().GetCheck(IDC_CENTIMETERS), centimetres);
    });
}

Step On::ExpectCentred(std::string owner, Where at) const
{
    return Named(at, "ExpectCentred", 0, [=](auto &d, auto &dlg) {
        const auto [x, y, by] = d.OffCentre(dlg);
        EXPECT_TRUE(std::abs(x) <= 1 && std::abs(y) <= 1) << "off centre by " << x << ", " << y;
        EXPECT_EQ(by, owner) << "the owner";
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

#include "tests/dialogs/scenario.h"

#include "dialogs/plaxometdlg.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "res/strings.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

IDialogDriver *g_driver = nullptr;

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
            SCOPED_TRACE("step " + std::to_string(next) + ": " + step.what);
            step.act(driver, *active);
            return;
        }
        if (++waited > kPatience) {
            ADD_FAILURE() << (next < steps.size() ? "step " + std::to_string(next + 1) + " (" +
                                                        steps[next].what + ") never found its dialog active"
                                                  : std::string("a dialog was left open"))
                          << "; dialog " << active->TemplateId() << " is ended";
            active->EndDialog(-2);
            waited = 0;
        }
        driver.Post([self] { self->Tick(self); });
    }
};

std::unique_ptr<CDialog> OpenTop(int top, RecordingMessageService &messages, RecordingLauncher &launcher)
{
    if (top == IDD_TEXTSTYLES)
        return std::make_unique<CTextStylesDlg>(Driver().Toolkit(), messages);
    return std::make_unique<CPlaxometDlg>(Driver().Toolkit(), messages, launcher);
}

std::string Lines(const std::vector<std::string> &lines)
{
    std::string text;
    for (const auto &line : lines)
        text += "[" + line + "] ";
    return text;
}

} // namespace

IDialogDriver &Driver()
{
    return *g_driver;
}

void SetDriver(IDialogDriver *driver)
{
    g_driver = driver;
}

int Play(IDialogDriver &driver, CDialog &top, std::vector<Step> steps)
{
    auto player = std::make_shared<Player>(Player{driver, std::move(steps)});
    driver.Post([player] { player->Tick(player); });
    const int result = top.DoModal();
    player->finished = true;
    EXPECT_EQ(player->next, player->steps.size()) << "the dialog closed before every step ran";
    return result;
}

void RunScenario(const Scenario &scenario)
{
    SCOPED_TRACE(scenario.name);
    TemporaryWorkingDirectory dir;
    for (const auto &[name, bytes] : scenario.before)
        WriteBytes(name, bytes);
    if (scenario.prepare)
        scenario.prepare();
    RecordingMessageService messages;
    messages.answers.assign(scenario.answers.begin(), scenario.answers.end());
    RecordingLauncher launcher;
    {
        auto top = OpenTop(scenario.top, messages, launcher);
        Play(Driver(), *top, scenario.steps);
    }
    EXPECT_EQ(messages.Texts(), scenario.messages);
    for (const auto &[name, bytes] : scenario.after) {
        if (bytes) {
            EXPECT_EQ(ReadBytes(name), *bytes) << name;
        } else {
            EXPECT_FALSE(std::filesystem::exists(name)) << name;
        }
    }
    if (scenario.launches >= 0) {
        EXPECT_EQ(static_cast<int>(launcher.launches.size()), scenario.launches);
    }
}

Step Type(int dialog, int id, std::string text)
{
    return {dialog, "type " + text + " in " + std::to_string(id),
            [id, text = std::move(text)](IDialogDriver &d, CDialog &dlg) { d.Type(dlg, id, text); }};
}

Step Press(int dialog, Key key)
{
    return {dialog, "press key " + std::to_string(static_cast<int>(key)),
            [key](IDialogDriver &d, CDialog &dlg) { d.Press(dlg, key); }};
}

Step Click(int dialog, int id)
{
    return {dialog, "click " + std::to_string(id),
            [id](IDialogDriver &d, CDialog &dlg) { d.Click(dlg, id); }};
}

Step ClickItem(int dialog, int index, bool control)
{
    return {dialog, (control ? "control-click item " : "click item ") + std::to_string(index),
            [index, control](IDialogDriver &d, CDialog &dlg) {
                d.ClickItem(dlg, IDC_STYLESLIST, index, control);
            }};
}

Step DoubleClickItem(int dialog, int index)
{
    return {dialog, "double-click item " + std::to_string(index),
            [index](IDialogDriver &d, CDialog &dlg) { d.DoubleClickItem(dlg, IDC_STYLESLIST, index); }};
}

Step CloseBox(int dialog)
{
    return {dialog, "close box", [](IDialogDriver &d, CDialog &dlg) { d.CloseBox(dlg); }};
}

Step ChooseAbout(int dialog)
{
    return {dialog, "choose About", [](IDialogDriver &d, CDialog &dlg) {
                d.ChooseSystemMenuItem(dlg, std::string(res::LoadString(res::IDS_ABOUTBOX)));
            }};
}

Step ExpectFocus(int dialog, int id)
{
    return {dialog, "focus on " + std::to_string(id),
            [id](IDialogDriver &, CDialog &dlg) { EXPECT_EQ(dlg.Window().GetFocus(), id); }};
}

Step ExpectText(int dialog, int id, std::string text)
{
    return {dialog, "text of " + std::to_string(id),
            [id, text = std::move(text)](IDialogDriver &, CDialog &dlg) {
                EXPECT_EQ(dlg.Window().GetText(id), text);
            }};
}

Step ExpectSelectedText(int dialog, int id, std::string text)
{
    return {dialog, "selected text of " + std::to_string(id),
            [id, text = std::move(text)](IDialogDriver &d, CDialog &dlg) {
                EXPECT_EQ(d.SelectedText(dlg, id), text);
            }};
}

Step ExpectCaption(int dialog, std::string caption)
{
    return {dialog, "caption", [caption = std::move(caption)](IDialogDriver &d, CDialog &dlg) {
                EXPECT_EQ(d.Caption(dlg), caption);
            }};
}

Step ExpectList(int dialog, std::vector<std::string> lines, int caret, std::vector<int> selected)
{
    std::string what = "list " + Lines(lines);
    return {
        dialog, std::move(what),
        [lines = std::move(lines), caret, selected = std::move(selected)](IDialogDriver &d, CDialog &dlg) {
            EXPECT_EQ(Lines(d.ListLines(dlg, IDC_STYLESLIST)), Lines(lines));
            IDialogWindow &window = dlg.Window();
            EXPECT_EQ(window.ListCaret(IDC_STYLESLIST), caret) << "focus rectangle";
            std::vector<int> rows;
            for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
                if (window.ListSelected(IDC_STYLESLIST, i))
                    rows.push_back(i);
            }
            EXPECT_EQ(rows, selected) << "selected rows";
        }};
}

Step ExpectChecks(int dialog, bool inches, bool centimetres)
{
    return {dialog, "unit checks", [=](IDialogDriver &, CDialog &dlg) {
                EXPECT_EQ(dlg.Window().GetCheck(IDC_INCHES), inches);
                EXPECT_EQ(dlg.Window().GetCheck(IDC_CENTIMETERS), centimetres);
            }};
}

Step Do(int dialog, std::string what, std::function<void()> action)
{
    return {dialog, std::move(what), [action = std::move(action)](IDialogDriver &, CDialog &) { action(); }};
}

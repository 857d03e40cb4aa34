#include "calc/calculator.h"
#include "calc/report.h"
#include "res/resource.h"
#include "tests/support/fakes.h"
#include "tests/ui/dialogdriver.h"
#include "ui/plaxometdlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;
using driver::Press;
using driver::Text;
using driver::Type;

const std::string kDefaultSettings("\x01\x00\x00\x00\x00\x00\xC8\x41\xEC\x51\x38\x3F\x00\x00\x98\x41"
                                   "\x00\x00\x80\x3F",
                                   20);

std::string SettingsBytes(std::int32_t units, float height, float size, float width, float printSize)
{
    CCalculatorValues v;
    v.m_nUnits = units;
    v.m_fPageHeight = height;
    v.m_fStaveSize = size;
    v.m_fStaveWidth = width;
    v.m_fPrintSize = printSize;
    std::string bytes(20, '\0');
    std::memcpy(bytes.data(), &v.m_nUnits, 4);
    std::memcpy(bytes.data() + 4, &v.m_fPageHeight, 4);
    std::memcpy(bytes.data() + 8, &v.m_fStaveSize, 4);
    std::memcpy(bytes.data() + 12, &v.m_fStaveWidth, 4);
    std::memcpy(bytes.data() + 16, &v.m_fPrintSize, 4);
    return bytes;
}

class MainDialogTest : public testing::Test {
protected:
    CPlaxometDlg &Open()
    {
        dlg = std::make_unique<CPlaxometDlg>(messages, launcher);
        EXPECT_TRUE(dlg->Open());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        return *dlg;
    }

    QWidget *Focused() const { return QApplication::focusWidget(); }
    QWidget *Control(int id) const { return driver::Control(*dlg, id); }
    bool Checked(int id) const { return qobject_cast<QRadioButton *>(Control(id))->isChecked(); }
    std::string Report() const { return ReadBytes("PlaxometReport.txt"); }

    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    RecordingLauncher launcher;
    std::unique_ptr<CPlaxometDlg> dlg;
};

TEST_F(MainDialogTest, FirstRunShowsTheMessageBeforeTheDialogAndThenTheDefaults)
{
    bool visibleAtMessage = true;
    messages.onShow = [this, &visibleAtMessage](const auto &) { visibleAtMessage = dlg->isVisible(); };
    Open();
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"SETTINGS file not found"});
    EXPECT_FALSE(visibleAtMessage);
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTH), "19");
    EXPECT_EQ(Text(*dlg, IDC_STAVESIZE), "0.72");
    EXPECT_EQ(Text(*dlg, IDC_PAGEHEIGHT), "25");
    EXPECT_TRUE(Checked(IDC_CENTIMETERS));
    EXPECT_FALSE(Checked(IDC_INCHES));
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTHUNITS), "cm");
    EXPECT_EQ(Text(*dlg, IDC_PAGEHEIGHTUNITS), "cm");
    EXPECT_EQ(Focused(), Control(IDC_STAVEWIDTH));
    EXPECT_EQ(qobject_cast<QLineEdit *>(Control(IDC_STAVEWIDTH))->selectedText(), "19");
}

TEST_F(MainDialogTest, EnterCalculatesWritesTheReportAndStartsTheViewer)
{
    Open();
    Type(*dlg, IDC_STAVEWIDTH, "15");
    Press(Focused(), Qt::Key_Return);
    CCalculatorValues expected;
    expected.SetDefaults();
    expected.m_fStaveWidth = 15.0f;
    expected.Calculate();
    EXPECT_EQ(Report(), ReportFileText(expected));
    EXPECT_NE(Report().find("Print size:      \t0.7895\r\n"), std::string::npos);
    ASSERT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(launcher.launches[0].arguments, std::vector<std::string>{"PlaxometReport.txt"});
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTH), "15") << "the fields keep what was typed";
    EXPECT_EQ(Text(*dlg, IDC_STAVESIZE), "0.72");

    const auto first = Report();
    Press(Control(IDC_STAVESIZE), Qt::Key_Enter);
    EXPECT_EQ(Report(), first) << "calculating twice gives the same report";
    EXPECT_EQ(launcher.launches.size(), 2u);
}

TEST_F(MainDialogTest, FieldsReadLeadingNumbers)
{
    Open();
    Type(*dlg, IDC_STAVEWIDTH, "  7 in");
    Type(*dlg, IDC_STAVESIZE, "0.3abc");
    Type(*dlg, IDC_PAGEHEIGHT, "1.1e1");
    driver::Click(*dlg, IDC_INCHES);
    driver::Click(*dlg, IDOK);
    EXPECT_NE(Report().find("Stave width:     \t7.5000 ins\t(equivalent to default 200 horizontal Orvel "
                            "units)\t(Stave width required: 7.0000 ins)"),
              std::string::npos);
    EXPECT_NE(Report().find("Page height (HS):\t11.7857 ins\t(Page height required: 11.0000 ins)"),
              std::string::npos);
}

struct RefusedCase {
    const char *name;
    int field;
    const char *text;
};

void PrintTo(const RefusedCase &c, std::ostream *out)
{
    *out << c.name;
}

class RefusedFieldTest : public MainDialogTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFieldTest, StopsCalculateAndExitWithTheFieldSelected)
{
    const auto &c = GetParam();
    WriteBytes("SETTINGS", kDefaultSettings);
    Open();
    Press(Focused(), Qt::Key_Return); // an earlier calculation leaves derived values in the members
    fs::remove("PlaxometReport.txt");
    Type(*dlg, IDC_STAVEWIDTH, "15");
    Type(*dlg, c.field, c.text);
    Press(Control(IDC_STAVEWIDTH), Qt::Key_Return);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Enter a number."});
    EXPECT_EQ(messages.messages.back().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(fs::exists("PlaxometReport.txt"));
    EXPECT_EQ(launcher.launches.size(), 1u);
    EXPECT_EQ(Focused(), Control(c.field));
    auto *edit = qobject_cast<QLineEdit *>(Control(c.field));
    EXPECT_EQ(edit->selectedText(), edit->text());

    Press(Focused(), Qt::Key_Escape);
    EXPECT_EQ(messages.messages.size(), 2u);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(ReadBytes("SETTINGS"), kDefaultSettings) << "nothing is saved";
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedFieldTest,
                         testing::Values(RefusedCase{"PageHeightWord", IDC_PAGEHEIGHT, "abc"},
                                         RefusedCase{"StaveSizeEmpty", IDC_STAVESIZE, ""},
                                         RefusedCase{"StaveWidthPoint", IDC_STAVEWIDTH, "."}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(MainDialogTest, EveryWayOfClosingSavesTheValuesTyped)
{
    const std::function<void(CPlaxometDlg &)> ways[] = {
        [](CPlaxometDlg &d) { Press(&d, Qt::Key_Escape); },
        [](CPlaxometDlg &d) { driver::Click(d, IDCANCEL); },
        [](CPlaxometDlg &d) { d.close(); },
    };
    for (const auto &close : ways) {
        fs::remove("SETTINGS");
        Open();
        Type(*dlg, IDC_PAGEHEIGHT, "30");
        Press(Focused(), Qt::Key_Return); // the saved values are the typed ones, not the derived
        close(*dlg);
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->result(), IDCANCEL);
        EXPECT_EQ(ReadBytes("SETTINGS"), SettingsBytes(1, 30.0f, 0.72f, 19.0f, 1.0f));
    }
}

TEST_F(MainDialogTest, SavedValuesComeBackOnTheNextStart)
{
    Open();
    driver::Click(*dlg, IDC_INCHES);
    Type(*dlg, IDC_STAVEWIDTH, "7");
    Type(*dlg, IDC_STAVESIZE, "0.3");
    Type(*dlg, IDC_PAGEHEIGHT, "11");
    Press(Focused(), Qt::Key_Return);
    Press(Focused(), Qt::Key_Escape);
    messages.messages.clear();

    Open();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_TRUE(Checked(IDC_INCHES));
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTHUNITS), "in");
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTH), "7");
    EXPECT_EQ(Text(*dlg, IDC_STAVESIZE), "0.3");
    EXPECT_EQ(Text(*dlg, IDC_PAGEHEIGHT), "11");
}

TEST_F(MainDialogTest, UnitRadiosSwitchTheLabelsOnly)
{
    Open();
    driver::Click(*dlg, IDC_INCHES);
    EXPECT_TRUE(Checked(IDC_INCHES));
    EXPECT_FALSE(Checked(IDC_CENTIMETERS));
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTHUNITS), "in");
    EXPECT_EQ(Text(*dlg, IDC_PAGEHEIGHTUNITS), "in");
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTH), "19") << "nothing is converted";
    Press(Control(IDC_STAVEWIDTH), Qt::Key_Return);
    EXPECT_NE(Report().find("Print size:      \t2.5333"), std::string::npos);
    EXPECT_NE(Report().find(" ins\t"), std::string::npos);
    driver::Click(*dlg, IDC_CENTIMETERS);
    EXPECT_EQ(Text(*dlg, IDC_PAGEHEIGHTUNITS), "cm");
}

TEST_F(MainDialogTest, AStoredUnitWithoutAButtonChecksNoneAndCalculatesNothing)
{
    WriteBytes("SETTINGS", SettingsBytes(7, 25.0f, 0.72f, 15.0f, 0.5f));
    Open();
    EXPECT_FALSE(Checked(IDC_INCHES));
    EXPECT_FALSE(Checked(IDC_CENTIMETERS));
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTHUNITS), "in");
    Press(Focused(), Qt::Key_Return);
    EXPECT_NE(Report().find("Print size:      \t0.5000\r\n"), std::string::npos);
    EXPECT_NE(Report().find("Stave size:      \t0.7200 cms\t(Stave size required: 0.0000 cms)"),
              std::string::npos);
    Press(Focused(), Qt::Key_Escape);
    EXPECT_EQ(ReadBytes("SETTINGS"), SettingsBytes(-1, 25.0f, 0.72f, 15.0f, 0.5f));
}

TEST_F(MainDialogTest, AShortSettingsFileLeavesTheDefaultsQuietly)
{
    WriteBytes("SETTINGS", std::string(12, '\x11'));
    Open();
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(Text(*dlg, IDC_STAVEWIDTH), "19");
    EXPECT_TRUE(Checked(IDC_CENTIMETERS));
}

TEST_F(MainDialogTest, TabCyclesTheFieldsAndTheTwoButtons)
{
    Open();
    const int order[] = {IDC_STAVESIZE, IDC_PAGEHEIGHT, IDOK, IDCANCEL, IDC_STAVEWIDTH};
    for (const int id : order) {
        Press(Focused(), Qt::Key_Tab);
        EXPECT_EQ(Focused(), Control(id)) << id;
    }
    Press(Focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Focused(), Control(IDCANCEL));
}

TEST_F(MainDialogTest, AFailedSaveIsReportedAndTheDialogStaysOpen)
{
    fs::create_directory("SETTINGS");
    Open();
    messages.messages.clear();
    Press(Focused(), Qt::Key_Escape);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Access to SETTINGS. was denied.");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(MainDialogTest, ReportFailures)
{
    WriteBytes("SETTINGS", kDefaultSettings);
    Open();
    fs::create_directory("PlaxometReport.txt");
    Press(Focused(), Qt::Key_Return);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"File could not be opened!"});
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
    fs::remove("PlaxometReport.txt");

    FailingWriteChannel channel(50, ENOSPC);
    {
        fileio::ScopedWriteChannel scope(channel);
        Press(Focused(), Qt::Key_Return);
    }
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].text,
              "Disk full while accessing " + (dir.Path() / "PlaxometReport.txt").string() + ".");
    EXPECT_EQ(messages.messages[1].icon, MsgIcon::Stop);
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(MainDialogTest, LayoutFollowsTheTemplate)
{
    Open();
    const auto geometry = [this](int id) { return Control(id)->geometry(); };
    EXPECT_LT(geometry(IDC_STAVESIZE).top(), geometry(IDC_STAVEWIDTH).top());
    EXPECT_LT(geometry(IDC_STAVEWIDTH).top(), geometry(IDC_PAGEHEIGHT).top());
    EXPECT_LT(geometry(IDC_INCHES).right(), geometry(IDC_CENTIMETERS).left());
    EXPECT_LT(geometry(IDC_INCHES).bottom(), geometry(IDC_STAVESIZE).top());
    EXPECT_LT(geometry(IDC_STAVEWIDTH).right(), geometry(IDC_STAVEWIDTHUNITS).left());
    EXPECT_LT(geometry(IDC_STAVEWIDTHUNITS).right(), geometry(IDOK).left());
    EXPECT_LT(geometry(IDOK).bottom(), geometry(IDCANCEL).top());
    EXPECT_EQ(geometry(IDC_PAGEHEIGHT).top(), geometry(IDCANCEL).top());
    for (const int id : {IDC_STAVEWIDTH, IDC_STAVESIZE, IDC_PAGEHEIGHT}) {
        auto *edit = Control(id);
        auto *label = qobject_cast<QLabel *>(dlg->findChildren<QLabel *>().at(0));
        for (auto *candidate : dlg->findChildren<QLabel *>()) {
            if (candidate->buddy() == edit)
                label = candidate;
        }
        ASSERT_EQ(label->buddy(), edit);
        EXPECT_LE(label->geometry().right(), edit->geometry().left()) << "label left of its field";
        EXPECT_LE(label->sizeHint().width(), label->width()) << "label not cut";
        EXPECT_EQ(edit->accessibleName(), label->text());
        EXPECT_TRUE(dlg->rect().contains(edit->geometry()));
    }
    EXPECT_EQ(qobject_cast<QLabel *>(Control(IDC_STAVEWIDTHUNITS))->buddy(), nullptr);
    EXPECT_TRUE(Control(IDC_TEXTSIZES)->isHidden());
    EXPECT_TRUE(qobject_cast<QPushButton *>(Control(IDOK))->isDefault());
    EXPECT_EQ(dlg->windowTitle(), "Plaxomet");
    EXPECT_FALSE(dlg->windowIcon().pixmap(16, 16).isNull()) << "the icon's images load";
    EXPECT_FALSE(dlg->windowIcon().pixmap(32, 32).isNull());
    EXPECT_EQ(Control(IDC_INCHES)->focusPolicy(), Qt::ClickFocus) << "radios have no tab stop";
}

TEST_F(MainDialogTest, F1AndTheContextMenuOpenTheAboutBox)
{
    Open();
    QString title, text;
    bool iconShown = false;
    const auto readAndClose = [&](QWidget *modal) {
        title = modal->windowTitle();
        for (auto *label : modal->findChildren<QLabel *>()) {
            text += label->text() + "|";
            iconShown |= !label->pixmap().isNull();
            EXPECT_LE(label->heightForWidth(label->width()), label->height())
                << "not cut: " << label->text().toStdString();
        }
        Press(modal, Qt::Key_Return);
    };
    driver::WhenModalOpens(readAndClose);
    Press(Focused(), Qt::Key_F1);
    EXPECT_EQ(title, "About Plaxomet");
    EXPECT_TRUE(text.contains("Plaxomet Version 1.01")) << text.toStdString();
    EXPECT_TRUE(iconShown);
    EXPECT_TRUE(dlg->isVisible());

    title.clear();
    driver::WhenModalOpens(readAndClose);
    dlg->OnSysCommand(0x0012); // the low four bits carry nothing
    EXPECT_EQ(title, "About Plaxomet");

    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), dlg->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(dlg.get(), &menuEvent);
    auto *menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    const auto actions = menu->actions();
    ASSERT_FALSE(actions.isEmpty());
    EXPECT_EQ(actions.back()->text(), "&About Plaxomet...");
    title.clear();
    driver::WhenModalOpens(readAndClose);
    actions.back()->trigger();
    EXPECT_EQ(title, "About Plaxomet");
    menu->close();
}

} // namespace

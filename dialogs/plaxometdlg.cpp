#include "dialogs/plaxometdlg.h"

#include "base/desktop.h"
#include "calc/report.h"
#include "calc/settings.h"
#include "dialogs/dataexchange.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "res/strings.h"

CAboutDlg::CAboutDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent)
    : CDialog(IDD_ABOUTBOX, toolkit, messages, parent)
{}

CPlaxometDlg::CPlaxometDlg(IToolkit &toolkit, IMessageService &messages, IViewerLauncher &launcher)
    : CDialog(IDD_PLAXOMET_DIALOG, toolkit, messages), m_launcher(launcher), m_hIcon(IDR_MAINFRAME)
{}

CPlaxometDlg::~CPlaxometDlg() = default;

std::span<const MessageMapEntry> CPlaxometDlg::GetMessageMap() const
{
    static const MessageMapEntry map[] = {
        OnNotify(Notification::Command, IDC_TEXTSIZES, &CPlaxometDlg::OnTextSizes),
        OnNotify(Notification::Command, IDC_INCHES, &CPlaxometDlg::OnInches),
        OnNotify(Notification::Command, IDC_CENTIMETERS, &CPlaxometDlg::OnCentimeters),
    };
    return map;
}

void CPlaxometDlg::DoDataExchange(CDataExchange *pDX)
{
    DDX_Radio(pDX, IDC_INCHES, m_nUnits);
    DDX_Text(pDX, IDC_PAGEHEIGHT, m_fPageHeight);
    DDX_Text(pDX, IDC_STAVESIZE, m_fStaveSize);
    DDX_Text(pDX, IDC_STAVEWIDTH, m_fStaveWidth);
    DDX_Control(pDX, IDC_PAGEHEIGHTUNITS, m_staticPageHeightUnits);
    DDX_Control(pDX, IDC_STAVEWIDTHUNITS, m_staticStaveWidthUnits);
}

bool CPlaxometDlg::OnInitDialog()
{
    const auto about = res::LoadString(res::IDS_ABOUTBOX);
    if (!about.empty())
        Window().AppendSystemMenuItem(IDM_ABOUTBOX, std::string(about));
    SetIcon(m_hIcon);
    SetDefaults();
    LoadSettings(*this, Messages());
    SetUnitLabels(m_nUnits == unitsCentimetres ? "cm" : "in");
    UpdateData(false);
    return true;
}

void CPlaxometDlg::OnOK()
{
    // A refused field stops here: calculating on what the members still hold
    // would divide the last results a second time.
    if (!UpdateData(true))
        return;
    Calculate();
    WriteReport(*this, Messages(), m_launcher);
}

void CPlaxometDlg::OnCancel()
{
    // A refused field stops here too, so that derived values are never saved as typed ones.
    if (!UpdateData(true))
        return;
    bool saved = false;
    Dispatch([&] {
        SaveSettings(*this);
        saved = true;
    });
    // A save the system keeps refusing (a read-only folder) must not keep the
    // user in for ever: once told why, they may leave without saving.
    if (saved || Messages().ShowMessage(std::string(res::LoadString(res::IDS_EXIT_WITHOUT_SAVING)),
                                        MsgButtons::YesNo) == AnswerYes)
        EndDialog(IDCANCEL);
}

void CPlaxometDlg::OnSysCommand(unsigned id)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(Toolkit(), Messages(), this);
        about.DoModal();
    }
}

void CAboutDlg::OnHelp() {}

void CPlaxometDlg::OnTextSizes()
{
    CTextStylesDlg dlg(Toolkit(), Messages(), this);
    dlg.DoModal();
}

void CPlaxometDlg::OnInches()
{
    SetUnitLabels("in");
}

void CPlaxometDlg::OnCentimeters()
{
    SetUnitLabels("cm");
}

void CPlaxometDlg::SetUnitLabels(const char *unit)
{
    m_staticPageHeightUnits.SetWindowText(unit);
    m_staticStaveWidthUnits.SetWindowText(unit);
}

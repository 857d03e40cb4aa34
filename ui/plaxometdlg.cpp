#include "ui/plaxometdlg.h"

#include "calc/report.h"
#include "calc/settings.h"
#include "res/resource.h"
#include "res/strings.h"
#include "ui/dataexchange.h"
#include "ui/textstylesdlg.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

CAboutDlg::CAboutDlg(IMessageService &messages, QWidget *parent) : CDialog(IDD_ABOUTBOX, messages, parent) {}

CPlaxometDlg::CPlaxometDlg(IMessageService &messages, IViewerLauncher &launcher, QWidget *parent)
    : CDialog(IDD_PLAXOMET_DIALOG, messages, parent), m_launcher(launcher), m_hIcon(ApplicationIcon())
{
    OnCommand(IDC_TEXTSIZES, [this] { OnTextSizes(); });
    OnCommand(IDC_INCHES, [this] { OnInches(); });
    OnCommand(IDC_CENTIMETERS, [this] { OnCentimeters(); });

    auto *help = new QAction(this);
    help->setShortcut(QKeySequence::HelpContents);
    addAction(help);
    connect(help, &QAction::triggered, this, [this] { Dispatch([this] { OnHelp(); }); });

    // The window menu belongs to the window manager here, so the About entry
    // lives in a context menu, also at the end of the fields' own menus.
    for (const int id : {IDC_STAVEWIDTH, IDC_STAVESIZE, IDC_PAGEHEIGHT}) {
        auto *edit = qobject_cast<QLineEdit *>(GetDlgItem(id));
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](const QPoint &pos) {
            QMenu *menu = edit->createStandardContextMenu();
            ShowWindowMenu(edit->mapToGlobal(pos), menu);
        });
    }
}

CPlaxometDlg::~CPlaxometDlg() = default;

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
    SaveSettings(*this);
    EndDialog(IDCANCEL);
}

void CPlaxometDlg::OnSysCommand(unsigned id)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(Messages(), this);
        about.DoModal();
    }
}

void CPlaxometDlg::OnHelp()
{
    OnSysCommand(IDM_ABOUTBOX);
}

void CPlaxometDlg::OnTextSizes()
{
    CTextStylesDlg dlg(Messages(), this);
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
    m_staticPageHeightUnits->setText(QString::fromLatin1(unit));
    m_staticStaveWidthUnits->setText(QString::fromLatin1(unit));
}

void CPlaxometDlg::contextMenuEvent(QContextMenuEvent *event)
{
    ShowWindowMenu(event->globalPos(), new QMenu(this));
}

void CPlaxometDlg::ShowWindowMenu(const QPoint &globalPos, QMenu *menu)
{
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!menu->isEmpty())
        menu->addSeparator();
    QAction *about = menu->addAction(LoadQString(res::IDS_ABOUTBOX));
    connect(about, &QAction::triggered, this, [this] { Dispatch([this] { OnSysCommand(IDM_ABOUTBOX); }); });
    menu->popup(globalPos);
}

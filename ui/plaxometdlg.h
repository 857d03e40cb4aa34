#pragma once

#include "calc/calculator.h"
#include "ui/dialog.h"

#include <QIcon>

class IViewerLauncher;
class QLabel;

// The About box: icon, version, credit and notice lines, OK.
class CAboutDlg : public CDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(IMessageService &messages, QWidget *parent = nullptr);
};

// The main dialog: the three measurements, the unit, Calculate and Exit.
class CPlaxometDlg : public CDialog, public CCalculatorValues {
    Q_OBJECT

public:
    CPlaxometDlg(IMessageService &messages, IViewerLauncher &launcher, QWidget *parent = nullptr);
    ~CPlaxometDlg() override;

    // Commands of the window menu (16: the About box).
    void OnSysCommand(unsigned id);

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void OnTextSizes();
    void OnInches();
    void OnCentimeters();
    void OnHelp();
    void SetUnitLabels(const char *unit);
    void ShowWindowMenu(const QPoint &globalPos, QMenu *menu);

    IViewerLauncher &m_launcher;
    QIcon m_hIcon;
    QLabel *m_staticPageHeightUnits = nullptr;
    QLabel *m_staticStaveWidthUnits = nullptr;
};

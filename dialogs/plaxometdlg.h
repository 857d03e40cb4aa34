#pragma once

#include "calc/calculator.h"
#include "dialogs/dialog.h"

class IViewerLauncher;

// The About box: icon, version, credit and notice lines, OK.
class CAboutDlg : public CDialog {
public:
    CAboutDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent = nullptr);

protected:
    // F1 in the About box itself opens no second one.
    void OnHelp() override;
};

// The main dialog: the three measurements, the unit, Calculate and Exit.
class CPlaxometDlg : public CDialog, public CCalculatorValues {
public:
    CPlaxometDlg(IToolkit &toolkit, IMessageService &messages, IViewerLauncher &launcher);
    ~CPlaxometDlg() override;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSysCommand(unsigned id) override;
    std::span<const MessageMapEntry> GetMessageMap() const override;

private:
    void OnTextSizes();
    void OnInches();
    void OnCentimeters();
    void SetUnitLabels(const char *unit);

    IViewerLauncher &m_launcher;
    int m_hIcon;
    CStatic m_staticPageHeightUnits;
    CStatic m_staticStaveWidthUnits;
};

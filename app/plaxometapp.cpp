#include "app/plaxometapp.h"

#include "dialogs/plaxometdlg.h"

CPlaxometApp::CPlaxometApp(IToolkit &toolkit, IMessageService &messages, IViewerLauncher &launcher)
    : m_toolkit(toolkit), m_messages(messages), m_launcher(launcher)
{}

int CPlaxometApp::InitInstance()
{
    CPlaxometDlg dlg(m_toolkit, m_messages, m_launcher);
    dlg.DoModal();
    return 0;
}

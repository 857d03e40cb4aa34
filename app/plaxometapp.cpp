#include "app/plaxometapp.h"

#include "base/messagebox.h"
#include "ui/plaxometdlg.h"
#include "ui/qtservices.h"

#include <QApplication>

int CPlaxometApp::InitInstance()
{
    QtMessageService messages(QString::fromStdString(
        ApplicationNameFromPath(QCoreApplication::applicationFilePath().toStdString())));
    QtViewerLauncher launcher;
    CPlaxometDlg dlg(messages, launcher);
    dlg.DoModal();
    return 0;
}

#include "app/plaxometapp.h"

#include "base/messagebox.h"
#include "dialogs/plaxometdlg.h"
#include "qt/qtdialogwindow.h"
#include "qt/qtservices.h"

#include <QApplication>

int CPlaxometApp::InitInstance()
{
    QtMessageService messages(QString::fromStdString(
        ApplicationNameFromPath(QCoreApplication::applicationFilePath().toStdString())));
    QtViewerLauncher launcher;
    QtToolkit toolkit;
    CPlaxometDlg dlg(toolkit, messages, launcher);
    dlg.DoModal();
    return 0;
}

#include "app/plaxometapp.h"
#include "qt/qtdialogwindow.h"
#include "qt/qtservices.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display Qt would stop with a plugin error that tells a user nothing.
bool DisplayAvailable()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const auto set = [](const char *name) {
        const char *value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (!DisplayAvailable()) {
        std::fputs("plaxomet: no display found. Start Plaxomet from a desktop session "
                   "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(ApplicationIcon());
    QtToolkit toolkit;
    QtMessageService messages(QString::fromStdString(
        ApplicationNameFromPath(QCoreApplication::applicationFilePath().toStdString())));
    QtViewerLauncher launcher;
    CPlaxometApp theApp(toolkit, messages, launcher);
    return theApp.InitInstance();
}

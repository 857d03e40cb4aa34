#include "app/plaxometapp.h"
#include "qt/appearance.h"
#include "qt/qtdialogwindow.h"
#include "qt/qtservices.h"
#include "res/version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr const char *kUsage =
    "Usage: plaxomet [--help | --version | --in-documents]\n"
    "\n"
    "Works out the print size at which an Orvel engraving's full 200-unit stave\n"
    "comes out at the width you need on paper, and the stave size and page height\n"
    "to enter in the Orvel files. Plaxomet is a dialog: type the values there.\n"
    "\n"
    "It keeps its files in the folder it is started from: SETTINGS (the last\n"
    "values), STYLES (the named text sizes) and PlaxometReport.txt (the report,\n"
    "opened in the desktop's text viewer).\n"
    "\n"
    "  --help          show this text and exit\n"
    "  --version       show the version and exit\n"
    "  --in-documents  work in the folder Plaxomet of your documents folder, made\n"
    "                  when missing (the desktop menu starts Plaxomet so)\n";

bool IsSet(const char *name)
{
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display Qt would stop with a plugin error that tells a user nothing.
bool DisplayNamed()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// A Wayland session with no X display left, where Qt has no Wayland plug-in to reach it with.
bool WaylandSupportMissing()
{
    const char *platform = std::getenv("QT_QPA_PLATFORM");
    if (!IsSet("WAYLAND_DISPLAY") || IsSet("DISPLAY") || (platform && !std::strstr(platform, "wayland")))
        return false;
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return platforms.entryList({QStringLiteral("*wayland*")}, QDir::Files).isEmpty();
}

QtMessageHandler g_previousHandler = nullptr;

// Qt ends a program whose display it cannot reach with advice to reinstall;
// a user needs to hear that the display is out of reach. What the platform
// plug-in says while it looks for the display is said again there, plainly.
void SayWhenNoDisplayCanBeReached(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg && WaylandSupportMissing()) {
        std::fputs("plaxomet: this Wayland session has no X display, and Qt's Wayland support is not "
                   "installed. Install the package qt6-wayland, or start Plaxomet in an X11 session.\n",
                   stderr);
        std::_Exit(1);
    }
    if (type == QtFatalMsg) {
        const char *display = std::getenv("DISPLAY");
        std::fprintf(stderr,
                     "plaxomet: the display %s cannot be reached. Start Plaxomet from a desktop session.\n",
                     display && *display ? display : "named in WAYLAND_DISPLAY or QT_QPA_PLATFORM");
        std::_Exit(1);
    }
    if (context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0)
        return;
    if (g_previousHandler)
        g_previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char *argv[])
{
    bool inDocuments = false;
    if (argc > 1) {
        const std::string argument = argv[1];
        if (argc == 2 && argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argc == 2 && argument == "--version") {
            std::printf("plaxomet %s\n", PLAXOMET_VERSION);
            return 0;
        }
        inDocuments = argc == 2 && argument == "--in-documents";
        if (!inDocuments) {
            const bool firstKnown =
                argument == "--help" || argument == "--version" || argument == "--in-documents";
            std::fprintf(stderr, "plaxomet: unexpected argument '%s' (see plaxomet --help)\n",
                         argv[firstKnown ? 2 : 1]);
            return 2;
        }
    }
    if (!DisplayNamed()) {
        std::fputs("plaxomet: no display found. Start Plaxomet from a desktop session "
                   "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n",
                   stderr);
        return 1;
    }
    g_previousHandler = qInstallMessageHandler(SayWhenNoDisplayCanBeReached);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    QApplication::setWindowIcon(ApplicationIcon());
    // Ties the windows to the desktop entry, so a Wayland desktop shows its icon and groups them with it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.plaxomet.Plaxomet"));
    QtToolkit toolkit;
    QtMessageService messages;
    if (inDocuments)
        EnterDocumentsFolder(messages);
    QtViewerLauncher launcher;
    CPlaxometApp theApp(toolkit, messages, launcher);
    return theApp.InitInstance();
}

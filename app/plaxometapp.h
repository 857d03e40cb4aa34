#pragma once

// app/: the program: the application object and the start-up of each toolkit.

class IMessageService;
class IToolkit;
class IViewerLauncher;

// The application: runs the main dialog modally and ends when it closes.
class CPlaxometApp {
public:
    CPlaxometApp(IToolkit &toolkit, IMessageService &messages, IViewerLauncher &launcher);

    // Runs the program; the value is the process's exit status, which means nothing.
    int InitInstance();

private:
    IToolkit &m_toolkit;
    IMessageService &m_messages;
    IViewerLauncher &m_launcher;
};

#pragma once

// app/: the program: the application object and main().

// The application: runs the main dialog modally and ends when it closes.
class CPlaxometApp {
public:
    // Runs the program; the value is the process's exit status, which means nothing.
    int InitInstance();
};

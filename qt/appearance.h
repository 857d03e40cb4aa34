#pragma once

// How the program looks on the Qt toolkit: its icon and its dialogs' font.

#include <QFont>

class QIcon;

namespace res {
struct DialogTemplate;
}

// The application icon, at 16 and 32 pixels.
QIcon ApplicationIcon();

// The template's font where the system has it, else a face with its
// proportions at the desktop's size, else the platform's dialog font.
QFont DialogFont(const res::DialogTemplate &dialogTemplate);

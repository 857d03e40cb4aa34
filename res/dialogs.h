#pragma once

#include <span>

// Dialogs as data: every control's kind, text and place in dialog units,
// from which one routine builds the window.
namespace res {

enum class ControlKind { PushButton, DefPushButton, AutoRadioButton, Edit, Static, GroupBox, ListBox, Icon };

enum ControlStyle : unsigned {
    Hidden = 1u << 0, // created without the visible style
    Group = 1u << 1,  // starts a group (and ends a radio group before it)
    TabStop = 1u << 2,
    NoPrefix = 1u << 3, // '&' shows as itself
    Border = 1u << 4,
    AutoHScroll = 1u << 5,
    RightAligned = 1u << 6,
    Sorted = 1u << 7,
    ExtendedSel = 1u << 8,
    UseTabStops = 1u << 9,
    VScroll = 1u << 10,
    Notify = 1u << 11,
    MultiColumn = 1u << 12,
    NoIntegralHeight = 1u << 13,
};

enum DialogStyle : unsigned {
    DialogVisible = 1u << 0,   // shown as soon as its initialisation is done
    DialogAppWindow = 1u << 1, // has a taskbar button of its own
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char *text;
    int x, y, cx, cy;
    unsigned styles;
    int labelFor = 0; // a static text that names this edit control
};

struct DialogTemplate {
    int id;
    const char *caption;
    int cx, cy;
    const char *fontName;
    int pointSize;
    std::span<const ControlTemplate> controls;
    unsigned styles = 0;
};

// The template with this identifier; raises std::out_of_range for an unknown one.
const DialogTemplate &GetDialogTemplate(int id);

} // namespace res

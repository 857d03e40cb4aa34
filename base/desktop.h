#pragma once

#include <functional>
#include <string>
#include <string_view>

// The desktop's services the program uses: message boxes and the text
// viewer. Each toolkit implements them (dialogs/toolkit.h lists all it does);
// the core and the dialog classes see only these interfaces.

// Every message the program shows goes through this one service, as 8-bit text (base/text8.h).
enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { Default, Exclamation, Question, Stop, Information };
// A system-modal box stays in front of every window, as an out-of-memory report must.
enum class MsgModality { Application, System };

// The button pressed, numbered as Windows numbers them; AnswerNone when no box could be shown.
enum MsgAnswer : int { AnswerNone = 0, AnswerOK = 1, AnswerCancel = 2, AnswerYes = 6, AnswerNo = 7 };

class IMessageService {
public:
    virtual ~IMessageService() = default;
    // A modal box captioned with the application's name.
    virtual int ShowMessage(const std::string &text, MsgButtons buttons, MsgIcon icon = MsgIcon::Default,
                            MsgModality modality = MsgModality::Application) = 0;
};

// The icon a box gets: the one asked for, or exclamation for OK and OK/Cancel
// and question for Yes/No and Yes/No/Cancel.
MsgIcon EffectiveIcon(MsgButtons buttons, MsgIcon icon);

// The caption of every box: the executable's file name without folder and extension.
std::string ApplicationNameFromPath(std::string_view executablePath);

// The desktop's text viewer: it opens a file of the working folder and never
// waits for the viewer. When no program could open the file it calls
// `failed` with what went wrong, in the program's 8-bit text: at once, or
// later from the event loop.
class IViewerLauncher {
public:
    using Failed = std::function<void(const std::string &what)>;
    virtual ~IViewerLauncher() = default;
    virtual void Open(const std::string &fileName, Failed failed) = 0;
};

#include "dialogs/dialog.h"

#include "base/desktop.h"
#include "base/fileerror.h"
#include "base/systemerror.h"
#include "dialogs/dataexchange.h"
#include "dialogs/plaxometdlg.h"
#include "res/resource.h"
#include "res/strings.h"

#include <new>
#include <system_error>

namespace {

// The dialogs in their modal runs, innermost last.
std::vector<CDialog *> g_modalDialogs;

// An error's message; a box that fails even to be shown, throwing, answers
// as one the system could not show: nothing is left that could report it.
int ShowOrAnswerNone(IMessageService &messages, const std::string &text, MsgIcon icon, MsgModality modality)
{
    try {
        return messages.ShowMessage(text, MsgButtons::OK, icon, modality);
    } catch (...) {
        return AnswerNone;
    }
}

} // namespace

CDialog::CDialog(int templateId, IToolkit &toolkit, IMessageService &messages, CDialog *parent)
    : m_templateId(templateId), m_toolkit(toolkit), m_messages(messages),
      m_window(toolkit.CreateDialogWindow(templateId, *this, parent ? parent->m_window.get() : nullptr))
{}

CDialog::~CDialog() = default;

CDialog *CDialog::ActiveModal()
{
    return g_modalDialogs.empty() ? nullptr : g_modalDialogs.back();
}

int CDialog::DoModal()
{
    g_modalDialogs.push_back(this);
    struct Pop {
        ~Pop() { g_modalDialogs.pop_back(); }
    } pop;
    return m_window->RunModal();
}

void CDialog::EndDialog(int result)
{
    m_window->EndDialog(result);
}

bool CDialog::InitDialog(bool &focusFirstControl)
{
    focusFirstControl = false;
    if (!UpdateData(false))
        return false;
    // An initialisation cut short by an error still opens the dialog, without the default focus.
    Dispatch([&] { focusFirstControl = OnInitDialog(); });
    return true;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
        return true;
    } catch (const CUserException &) {
        return false;
    } catch (const std::bad_alloc &) {
        ReportOutOfMemory();
    } catch (const CException &error) {
        m_messages.ShowMessage(error.GetErrorMessage(), MsgButtons::OK, MsgIcon::Exclamation);
    } catch (...) {
        m_messages.ShowMessage(std::string(res::LoadString(res::AFX_IDP_INTERNAL_FAILURE)), MsgButtons::OK,
                               MsgIcon::Exclamation);
    }
    return false;
}

void CDialog::DoDataExchange(CDataExchange *) {}

bool CDialog::OnInitDialog()
{
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(unsigned) {}

void CDialog::OnHelp()
{
    CAboutDlg about(Toolkit(), Messages(), this);
    about.DoModal();
}

std::span<const MessageMapEntry> CDialog::GetMessageMap() const
{
    return {};
}

void CDialog::SetWindowText(const std::string &text)
{
    m_window->SetCaption(text);
}

void CDialog::SetIcon(int iconId)
{
    m_window->SetIcon(iconId);
}

void CDialog::CenterWindow()
{
    m_window->CenterWindow();
}

void CDialog::Command(int id)
{
    Notify(Notification::Command, id);
}

void CDialog::DoubleClick(int id)
{
    Notify(Notification::DoubleClicked, id);
}

void CDialog::SysCommand(unsigned id)
{
    Dispatch([&] { OnSysCommand(id); });
}

void CDialog::Notify(Notification code, int id)
{
    Dispatch([&] {
        for (const auto &entry : GetMessageMap()) {
            if (entry.id == id && entry.code == code) {
                (this->*entry.handler)();
                return;
            }
        }
        // OK, Cancel and Help reach their handlers through the base class's own map.
        if (code == Notification::Command && id == IDOK)
            OnOK();
        else if (code == Notification::Command && id == IDCANCEL)
            OnCancel();
        else if (code == Notification::Command && id == ID_HELP)
            OnHelp();
    });
}

// No memory is the one error shown in front of everything, as it may stop any program.
void CDialog::ReportOutOfMemory()
{
    ShowOrAnswerNone(m_messages, std::string(res::LoadString(res::AFX_IDP_FAILED_MEMORY_ALLOC)),
                     MsgIcon::Exclamation, MsgModality::System);
}

void CDialog::ReportError()
{
    std::string text;
    try {
        throw;
    } catch (const CException &e) {
        text = e.GetErrorMessage();
    } catch (const std::bad_alloc &) {
        ReportOutOfMemory();
        return;
    } catch (const std::system_error &e) {
        text = SystemErrorText(e.code());
    } catch (...) {
        text = res::LoadString(res::AFX_IDP_INTERNAL_FAILURE);
    }
    ShowOrAnswerNone(m_messages, text, MsgIcon::Stop, MsgModality::Application);
}

void CWnd::Attach(IDialogWindow &window, int id)
{
    m_window = &window;
    m_id = id;
}

void CWnd::SetWindowText(const std::string &text)
{
    m_window->SetText(m_id, text);
}

void CWnd::SetFocus()
{
    m_window->SetFocus(m_id);
}

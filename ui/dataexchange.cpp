#include "ui/dataexchange.h"

#include "base/cp1252.h"
#include "base/messagebox.h"
#include "base/numtext.h"
#include "res/strings.h"
#include "ui/dialog.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QRadioButton>
#include <QValidator>

namespace {

// A float shows with up to six significant digits; its text holds at most 400 characters.
constexpr int kFloatTextLimit = 399;

void SetTextIfChanged(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

// Lets typing and pasting make the text no longer than the limit (counted in
// stored 8-bit characters), without cutting a longer text already there.
class MaxCharsValidator : public QValidator {
public:
    explicit MaxCharsValidator(QLineEdit *edit) : QValidator(edit) {}

    void SetLimit(int limit, const QString &current)
    {
        m_limit = limit;
        m_length = Length(current);
    }

    State validate(QString &input, int &) const override
    {
        const int length = Length(input);
        if (length > m_limit && length > m_length)
            return Invalid;
        m_length = length;
        return Acceptable;
    }

private:
    static int Length(const QString &text)
    {
        return static_cast<int>(cp1252::FromUtf8(text.toStdString()).size());
    }

    int m_limit = 0;
    mutable int m_length = 0;
};

} // namespace

CDataExchange::CDataExchange(CDialog *dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{}

QWidget *CDataExchange::PrepareCtrl(int id)
{
    m_lastControl = m_pDlgWnd->GetDlgItem(id);
    m_editLastControl = false;
    return m_lastControl;
}

void CDataExchange::LimitLastEdit(int count)
{
    auto *edit = qobject_cast<QLineEdit *>(m_lastControl);
    if (!edit || !m_editLastControl)
        return;
    auto *validator =
        const_cast<MaxCharsValidator *>(dynamic_cast<const MaxCharsValidator *>(edit->validator()));
    if (!validator) {
        validator = new MaxCharsValidator(edit);
        edit->setValidator(validator);
    }
    validator->SetLimit(count, edit->text());
}

QLineEdit *CDataExchange::PrepareEditCtrl(int id)
{
    PrepareCtrl(id);
    m_editLastControl = true;
    return qobject_cast<QLineEdit *>(m_lastControl);
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_lastControl) {
        m_lastControl->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(m_lastControl); edit && m_editLastControl)
            edit->selectAll();
    }
    throw CUserException{};
}

void DDX_Radio(CDataExchange *pDX, int id, std::int32_t &value)
{
    QWidget *first = pDX->PrepareCtrl(id);
    QButtonGroup *group = pDX->m_pDlgWnd->RadioGroupOf(first);
    if (!group)
        return;
    const auto buttons = group->buttons();
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (int number = 0; number < buttons.size(); ++number) {
            if (buttons[number]->isChecked())
                value = number;
        }
        return;
    }
    // Exclusive groups refuse to clear their last checked button.
    group->setExclusive(false);
    for (int number = 0; number < buttons.size(); ++number)
        buttons[number]->setChecked(number == value);
    group->setExclusive(true);
}

void DDX_Text(CDataExchange *pDX, int id, std::string &value)
{
    QLineEdit *edit = pDX->PrepareEditCtrl(id);
    if (pDX->m_bSaveAndValidate)
        value = cp1252::FromUtf8(edit->text().toStdString());
    else
        SetTextIfChanged(edit, QString::fromStdString(cp1252::ToUtf8(value)));
}

void DDX_Text(CDataExchange *pDX, int id, float &value)
{
    QLineEdit *edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        SetTextIfChanged(edit, QString::fromStdString(numtext::FormatGeneral6(value)));
        return;
    }
    const auto scanned = numtext::ScanDouble(edit->text().left(kFloatTextLimit).toStdString());
    if (!scanned) {
        pDX->m_pDlgWnd->Messages().ShowMessage(std::string(res::LoadString(res::AFX_IDP_PARSE_REAL)),
                                               MsgButtons::OK, MsgIcon::Exclamation);
        pDX->Fail();
    }
    value = static_cast<float>(*scanned);
}

void DDV_MaxChars(CDataExchange *pDX, const std::string &value, int count)
{
    if (pDX->m_bSaveAndValidate && value.size() > static_cast<std::size_t>(count)) {
        pDX->m_pDlgWnd->Messages().ShowMessage(
            res::FormatString(res::AFX_IDP_PARSE_STRING_SIZE, std::to_string(count)), MsgButtons::OK,
            MsgIcon::Exclamation);
        pDX->Fail();
    }
    pDX->LimitLastEdit(count);
}

#pragma once

#include "dialogs/dialog.h"
#include "dialogs/listbox.h"

#include <string>

// One entry's name and size.
class CEditTextStylesDlg : public CDialog {
public:
    CEditTextStylesDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent = nullptr);

    std::string m_strName; // Windows-1252, at most 17 characters
    float m_fSize = 0.0f;
    std::string m_strTitle;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
};

// The named text sizes, kept in the styles file.
class CTextStylesDlg : public CDialog {
public:
    CTextStylesDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent = nullptr);

    CListBox m_listStyles;
    CButton m_btnDelete;
    CButton m_btnEdit;
    CButton m_btnNew;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    std::span<const MessageMapEntry> GetMessageMap() const override;

private:
    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnDblclkList();
    // The entry the edit dialog made, filed in its sorted place.
    void AddEdited(const CEditTextStylesDlg &edit);
    // Selects the first entry and puts the focus rectangle on it, so that the
    // entry Edit and Delete act on is the one the user sees highlighted.
    void SelectFirst();
};

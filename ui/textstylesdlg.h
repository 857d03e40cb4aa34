#pragma once

#include "ui/dialog.h"

#include <string>

class CListBox;
class QPushButton;

// One entry's name and size.
class CEditTextStylesDlg : public CDialog {
    Q_OBJECT

public:
    explicit CEditTextStylesDlg(IMessageService &messages, QWidget *parent = nullptr);

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
    Q_OBJECT

public:
    explicit CTextStylesDlg(IMessageService &messages, QWidget *parent = nullptr);

    CListBox *m_listStyles = nullptr;
    QPushButton *m_btnDelete = nullptr;
    QPushButton *m_btnEdit = nullptr;
    QPushButton *m_btnNew = nullptr;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnDblclkList();
    // The entry the edit dialog made, filed in its sorted place, with the first entry selected.
    void AddEdited(const CEditTextStylesDlg &edit);
};

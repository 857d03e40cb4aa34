#pragma once

// qt/: the Qt Widgets toolkit: dialog windows built from the templates, message
// boxes, the viewer launch and the application icon.

#include "dialogs/layout.h"
#include "dialogs/toolkit.h"

#include <QDialog>

#include <map>

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QListWidgetItem;
class QMenu;
class MultiColumnListWidget;

namespace res {
struct DialogTemplate;
}

// A dialog window whose controls come from a template, placed in dialog units.
class QtDialogWindow : public QDialog, public IDialogWindow {
    Q_OBJECT

public:
    QtDialogWindow(const res::DialogTemplate &dialogTemplate, IDialogEvents &events, QWidget *parent);
    ~QtDialogWindow() override;

    int RunModal() override;
    void EndDialog(int result) override;
    void CenterWindow() override;
    void SetIcon(int iconId) override;
    void SetCaption(const std::string &text) override;
    void AppendSystemMenuItem(unsigned command, const std::string &text) override;
    bool IsActive() const override;

    std::string GetText(int id) const override;
    void SetText(int id, const std::string &text) override;
    bool GetCheck(int id) const override;
    void SetCheck(int id, bool checked) override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void SelectAllText(int id) override;
    void LimitText(int id, int count) override;

    void ListInsert(int id, int index, const std::string &entry) override;
    void ListDelete(int id, int index) override;
    void ListReset(int id, const std::vector<std::string> &entries) override;
    int ListCaret(int id) const override;
    void ListSetCaret(int id, int index) override;
    bool ListSelected(int id, int index) const override;
    void ListSetSelected(int id, int index, bool selected) override;
    void ListSetTabStop(int id, int dialogUnits) override;

    // The control with this identifier; nullptr if there is none.
    QWidget *GetDlgItem(int id) const;
    // Dialog units to pixels, from the dialog font's average character size.
    QRect MapDialogRect(const QRect &dialogUnits) const;
    // The system menu: the window manager owns the real one, so its entries
    // of ours show in the dialog's context menu and at the end of the fields' own.
    void ShowSystemMenu(const QPoint &globalPos, QMenu *menu);

protected:
    void reject() override;
    void accept() override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void CreateControls(const res::DialogTemplate &dialogTemplate);
    QLineEdit *Edit(int id) const;
    MultiColumnListWidget *List(int id) const;

    IDialogEvents &m_events;
    layout::BaseUnits m_units;
    std::map<int, QWidget *> m_controls;
    std::vector<QWidget *> m_templateOrder;
    std::vector<std::pair<unsigned, QString>> m_systemMenu;
};

class QtToolkit : public IToolkit {
public:
    std::unique_ptr<IDialogWindow> CreateDialogWindow(int templateId, IDialogEvents &events,
                                                      IDialogWindow *owner) override;
};

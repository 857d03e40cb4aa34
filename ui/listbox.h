#pragma once

#include "styles/textsizelist.h"

#include <QListWidget>

// A sorted list box whose lines are the text size entries: it keeps them in
// the text size list's order and draws each TAB up to the next tab stop.
class CListBox : public QListWidget, public ITextSizeList {
    Q_OBJECT

public:
    explicit CListBox(QWidget *parent = nullptr);

    // Tab stops every `pixels`, as a list box given one tab stop has them.
    void SetTabStops(int pixels);

    int GetCount() const override;
    std::string GetText(int index) const override;
    int AddString(const std::string &entry) override;
    void DeleteString(int index) override;
    void AddStrings(std::vector<std::string> &&entries) override;

    // The item with the focus rectangle, -1 for none.
    int GetCaretIndex() const { return currentRow(); }
    // Adds an item to the selection or takes it out, leaving the focus rectangle where it is.
    void SetSel(int index, bool select);

private:
    int m_tabStop = 0;
};

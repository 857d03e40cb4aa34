#pragma once

#include "dialogs/dialog.h"
#include "styles/textsizelist.h"

// A sorted list box whose lines are the text size entries. The entries are
// kept here in the text size list's own order, so every toolkit sorts alike;
// the window shows them and keeps the selection and the focus rectangle.
class CListBox : public CWnd, public ITextSizeList {
public:
    int GetCount() const override;
    std::string GetText(int index) const override;
    int AddString(const std::string &entry) override;
    void DeleteString(int index) override;
    void AddStrings(std::vector<std::string> &&entries) override;

    // The item with the focus rectangle, -1 for none.
    int GetCaretIndex() const;
    void SetCaretIndex(int index);
    // Adds an item to the selection or takes it out, leaving the focus rectangle where it is.
    void SetSel(int index, bool select);
    void SetTabStops(int dialogUnits);

private:
    SortedTextSizeList m_entries;
};

#include "dialogs/listbox.h"

int CListBox::GetCount() const
{
    return m_entries.GetCount();
}

std::string CListBox::GetText(int index) const
{
    return m_entries.GetText(index);
}

int CListBox::AddString(const std::string &entry)
{
    const int index = m_entries.AddString(entry);
    m_window->ListInsert(m_id, index, entry);
    return index;
}

void CListBox::DeleteString(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    m_entries.DeleteString(index);
    m_window->ListDelete(m_id, index);
}

void CListBox::AddStrings(std::vector<std::string> &&entries)
{
    m_entries.AddStrings(std::move(entries));
    m_window->ListReset(m_id, AllEntries(m_entries));
}

int CListBox::GetCaretIndex() const
{
    return m_window->ListCaret(m_id);
}

void CListBox::SetCaretIndex(int index)
{
    m_window->ListSetCaret(m_id, index);
}

void CListBox::SetSel(int index, bool select)
{
    m_window->ListSetSelected(m_id, index, select);
}

void CListBox::SetTabStops(int dialogUnits)
{
    m_window->ListSetTabStop(m_id, dialogUnits);
}

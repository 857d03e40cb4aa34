#include "styles/textsizelist.h"

#include "base/text8.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace {

// The order of the list: case-insensitive, as the 8-bit text orders it.
bool EntryLess(const std::string &a, const std::string &b)
{
    return text8::LessNoCase(a, b);
}

// Sorts entries into the list's order; equal entries keep their order.
void SortEntries(std::vector<std::string> &entries)
{
    // Each entry is upper-cased once, rather than in every comparison.
    struct Keyed {
        std::string key;
        std::string entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (auto &entry : entries)
        keyed.push_back({text8::ToUpper(entry), std::move(entry)});
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        return text8::LessNoCase(a.key, a.entry, b.key, b.entry);
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        entries[i] = std::move(keyed[i].entry);
}

// Raises the error an index outside a list of count entries gives.
void CheckEntryIndex(int index, int count)
{
    if (index < 0 || index >= count)
        throw std::system_error(EINVAL, std::generic_category());
}

} // namespace

std::vector<std::string> AllEntries(const ITextSizeList &list)
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(list.GetCount()));
    for (int i = 0; i < list.GetCount(); ++i)
        entries.push_back(list.GetText(i));
    return entries;
}

int SortedTextSizeList::GetCount() const
{
    return static_cast<int>(m_entries.size());
}

std::string SortedTextSizeList::GetText(int index) const
{
    CheckEntryIndex(index, GetCount());
    return m_entries[static_cast<std::size_t>(index)];
}

int SortedTextSizeList::AddString(const std::string &entry)
{
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), entry, EntryLess);
    const auto index = at - m_entries.begin();
    m_entries.insert(at, entry);
    return static_cast<int>(index);
}

void SortedTextSizeList::DeleteString(int index)
{
    if (index >= 0 && index < GetCount())
        m_entries.erase(m_entries.begin() + index);
}

void SortedTextSizeList::AddStrings(std::vector<std::string> &&entries)
{
    SortEntries(entries);
    const auto middle = m_entries.insert(m_entries.end(), std::make_move_iterator(entries.begin()),
                                         std::make_move_iterator(entries.end()));
    std::inplace_merge(m_entries.begin(), middle, m_entries.end(), EntryLess);
}

#pragma once

#include <string>
#include <vector>

// The text size list as loading, saving and the dialog see it: entry texts
// (8-bit Windows-1252) kept in sorted order. The dialog's list box stands
// behind it on screen; SortedTextSizeList anywhere else.
class ITextSizeList {
public:
    virtual ~ITextSizeList() = default;

    virtual int GetCount() const = 0;
    // Raises std::system_error (invalid argument) for an index out of range.
    virtual std::string GetText(int index) const = 0;
    // Files the entry in sorted order and returns its index.
    virtual int AddString(const std::string &entry) = 0;
    // An index out of range changes nothing.
    virtual void DeleteString(int index) = 0;
    // Adds many entries at once, sorting them once rather than one by one.
    virtual void AddStrings(std::vector<std::string> &&entries) = 0;
};

// Every entry's text, first to last.
std::vector<std::string> AllEntries(const ITextSizeList &list);

class SortedTextSizeList : public ITextSizeList {
public:
    int GetCount() const override;
    std::string GetText(int index) const override;
    int AddString(const std::string &entry) override;
    void DeleteString(int index) override;
    void AddStrings(std::vector<std::string> &&entries) override;

private:
    std::vector<std::string> m_entries;
};

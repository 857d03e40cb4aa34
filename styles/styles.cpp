#include "styles/styles.h"

#include "archive/archive.h"
#include "base/desktop.h"
#include "base/fileerror.h"
#include "base/fileio.h"
#include "base/numtext.h"
#include "res/strings.h"
#include "styles/textsizelist.h"

std::string FormatEntry(std::string_view name, float size)
{
    std::string entry(name);
    entry += '\t';
    entry += numtext::FormatFixed(size, 2);
    return entry;
}

TextSize SplitEntry(std::string_view entry)
{
    const auto tab = entry.rfind('\t');
    const auto name = tab == std::string_view::npos ? std::string_view{} : entry.substr(0, tab);
    const auto size = tab == std::string_view::npos ? entry : entry.substr(tab);
    return {std::string(name), static_cast<float>(numtext::LeadingNumber(size))};
}

namespace {

// Loading: the entries of every whole record, until the first that cannot be
// read (a record cut short, or a name longer than what is left, ends the list).
std::vector<std::string> ReadEntries(CArchive &ar)
{
    std::vector<std::string> entries;
    try {
        for (;;) {
            const auto name = ar.ReadString();
            float size = 0.0f;
            ar >> size;
            entries.push_back(FormatEntry(name, size));
        }
    } catch (const CArchiveException &) {
        // The end of the file, or a record that cannot be read whole: the list ends here.
        return entries;
    }
}

} // namespace

void SerializeStyles(CArchive &ar, ITextSizeList &list)
{
    if (ar.IsLoading()) {
        list.AddStrings(ReadEntries(ar));
        return;
    }
    for (int i = 0; i < list.GetCount(); ++i) {
        const auto entry = SplitEntry(list.GetText(i));
        ar.WriteString(entry.name);
        ar << entry.size;
    }
}

void LoadStyles(ITextSizeList &list, IMessageService &messages)
{
    try {
        const auto bytes = fileio::ReadFile(kStylesFileName, kStylesDiskName);
        CArchive ar(bytes);
        SerializeStyles(ar, list);
    } catch (const CFileException &error) {
        // OK would replace the entries of a file that cannot be read.
        messages.ShowMessage(error.LoadFailureMessage(res::IDS_STYLES_NOT_FOUND), MsgButtons::OK);
    }
}

void SaveStyles(ITextSizeList &list)
{
    CArchive ar;
    SerializeStyles(ar, list);
    fileio::ReplaceFileContents(kStylesFileName, kStylesDiskName, ar.StoredBytes());
}

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
// read. The list ends there; `cutShort` tells whether that record ran past
// the end of the file (a record cut short, a name longer than what is left).
std::vector<std::string> ReadEntries(CArchive &ar, bool &cutShort)
{
    std::vector<std::string> entries;
    cutShort = false;
    try {
        while (ar.BytesLeft() > 0) {
            const auto name = ar.ReadString();
            float size = 0.0f;
            ar >> size;
            entries.push_back(FormatEntry(name, size));
        }
    } catch (const CArchiveException &error) {
        cutShort = error.m_cause == CArchiveException::endOfFile;
    }
    return entries;
}

} // namespace

void SerializeStyles(CArchive &ar, ITextSizeList &list)
{
    if (ar.IsLoading()) {
        bool cutShort = false;
        list.AddStrings(ReadEntries(ar, cutShort));
        // The whole records stay listed; OK would drop the rest unseen.
        if (cutShort)
            throw CFileException(CFileException::endOfFile, 0, kStylesFileName);
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

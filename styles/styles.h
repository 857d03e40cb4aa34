#pragma once

// styles/: the text size list and its styles file.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CArchive;
class IMessageService;
class ITextSizeList;

// The styles file keeps the text size list between runs: records of a name
// (archive string) and a size (float), in list order, with nothing else.
inline constexpr char kStylesFileName[] = "STYLES.";
inline constexpr char kStylesDiskName[] = "STYLES";

// A list entry: the name, a TAB, the size with two decimals.
std::string FormatEntry(std::string_view name, float size);

struct TextSize {
    std::string name;
    float size = 0.0f;
};

// An entry split back at its last TAB; a size that is no number reads 0.
TextSize SplitEntry(std::string_view entry);

// Loading appends the entries of the file's whole records to the list, and
// raises end of file (named STYLES.) where the last record runs past the
// end; storing writes every entry.
void SerializeStyles(CArchive &ar, ITextSizeList &list);

// Fills the list from the file. A missing file, one that cannot be read and
// one cut short are said; the whole records read stay in the list.
void LoadStyles(ITextSizeList &list, IMessageService &messages);

// Replaces the file with the list; raises CFileException, leaving the old file as it was.
void SaveStyles(ITextSizeList &list);

// The styles file loader on any bytes: never fails, never asks for much more
// memory than the file holds, and the list it makes saves and loads back the same.
#include "archive/archive.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"

#include <cstdlib>

namespace {

std::vector<std::string> Entries(const ITextSizeList &list)
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(list.GetCount()));
    for (int i = 0; i < list.GetCount(); ++i)
        entries.push_back(list.GetText(i));
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CArchive in({data, size});
    SortedTextSizeList list;
    SerializeStyles(in, list);

    CArchive out;
    SerializeStyles(out, list);
    CArchive again(out.StoredBytes());
    SortedTextSizeList reloaded;
    SerializeStyles(again, reloaded);
    if (Entries(reloaded) != Entries(list))
        std::abort();
    return 0;
}

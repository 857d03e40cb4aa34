// The styles file loader on any bytes: never fails, never asks for much more
// memory than the file holds, and the list it makes saves and loads back the same.
#include "archive/archive.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"

#include <cstdint>
#include <cstdlib>

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
    if (AllEntries(reloaded) != AllEntries(list))
        std::abort();
    return 0;
}

// The styles file loader on any bytes: fails only to say a file cut short,
// never asks for much more memory than the file holds, and the list it makes
// saves and loads back the same.
#include "archive/archive.h"
#include "base/fileerror.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CArchive in({data, size});
    SortedTextSizeList list;
    try {
        SerializeStyles(in, list);
    } catch (const CFileException &error) {
        if (error.m_cause != CFileException::endOfFile)
            std::abort();
    }

    CArchive out;
    SerializeStyles(out, list);
    CArchive again(out.StoredBytes());
    SortedTextSizeList reloaded;
    SerializeStyles(again, reloaded);
    if (AllEntries(reloaded) != AllEntries(list))
        std::abort();
    return 0;
}

// The archive's string reader on any bytes: every string it returns was
// really in the input, and it ends with an archive error, never a crash.
#include "archive/archive.h"
#include "base/fileerror.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CArchive ar({data, size});
    try {
        for (;;) {
            const std::size_t before = ar.BytesLeft();
            const std::string text = ar.ReadString();
            if (before - ar.BytesLeft() < text.size())
                std::abort(); // more text than bytes read
        }
    } catch (const CArchiveException &) {
        return 0; // the end of the data, or a string it cannot hold whole
    }
}

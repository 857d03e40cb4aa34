// The settings loader on any bytes: never fails, and a file it takes stores
// back as the same first 20 bytes.
#include "archive/archive.h"
#include "calc/calculator.h"
#include "calc/settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CCalculatorValues values;
    values.SetDefaults();
    ReadSettings(values, {data, size});
    if (size >= kSettingsFileSize) {
        CArchive ar;
        values.Serialize(ar);
        if (ar.StoredBytes().size() != kSettingsFileSize ||
            std::memcmp(ar.StoredBytes().data(), data, kSettingsFileSize) != 0)
            std::abort();
    }
    return 0;
}

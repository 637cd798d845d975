// Fuzz target: the settings record decoder on arbitrary bytes.
#include <cstdint>
#include <cstdlib>

#include "fuzz_target.h"
#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConfigRecord record = kDefaultConfigRecord;
    decodeConfigRecord({data, size}, record);

    // Whatever was read encodes back to the same record.
    const auto bytes = encodeConfigRecord(record);
    ConfigRecord again{};
    decodeConfigRecord(bytes, again);
    if (!(again == record)) {
        std::abort();
    }
    // Every record gives a mode from the tables.
    const DisplayMode mode = displayModeFromRecord(record);
    if (mode.width < 640 || mode.height < 480 ||
        (mode.bitsPerPixel != 16 && mode.bitsPerPixel != 32) || mode.refreshHz < 0) {
        std::abort();
    }
    return 0;
}

#include "settings.h"

#include <cstdio>

namespace {

std::int32_t readLe32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    const std::uint32_t value =
        std::uint32_t{bytes[offset]} | std::uint32_t{bytes[offset + 1]} << 8 |
        std::uint32_t{bytes[offset + 2]} << 16 | std::uint32_t{bytes[offset + 3]} << 24;
    return static_cast<std::int32_t>(value);
}

void writeLe32(std::uint8_t* out, std::int32_t signedValue) {
    const auto value = static_cast<std::uint32_t>(signedValue);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace

void decodeConfigRecord(std::span<const std::uint8_t> bytes, ConfigRecord& record) {
    // A field that the data ends inside of keeps the value it had (the default when
    // reading a file): a half-written integer is no better a guess than the default.
    if (bytes.size() >= 1) {
        record.soundFlag = bytes[0];
    }
    if (bytes.size() >= 5) {
        record.resolutionIndex = readLe32(bytes, 1);
    }
    if (bytes.size() >= 9) {
        record.colorDepthIndex = readLe32(bytes, 5);
    }
    if (bytes.size() >= 13) {
        record.refreshRateIndex = readLe32(bytes, 9);
    }
}

std::array<std::uint8_t, kConfigRecordSize> encodeConfigRecord(const ConfigRecord& record) {
    std::array<std::uint8_t, kConfigRecordSize> bytes{};
    bytes[0] = record.soundFlag;
    writeLe32(&bytes[1], record.resolutionIndex);
    writeLe32(&bytes[5], record.colorDepthIndex);
    writeLe32(&bytes[9], record.refreshRateIndex);
    return bytes;
}

namespace {

// The table entry at `index`, or `fallback` when the index lies outside the table.
template <typename T, std::size_t N>
T lookUp(const std::array<T, N>& table, std::int32_t index, T fallback) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        return fallback;
    }
    return table[static_cast<std::size_t>(index)];
}

}  // namespace

DisplayMode displayModeFromRecord(const ConfigRecord& record) {
    const ConfigRecord& d = kDefaultConfigRecord;
    const Resolution size = lookUp(kResolutionTable, record.resolutionIndex,
                                   kResolutionTable[static_cast<std::size_t>(d.resolutionIndex)]);
    return DisplayMode{
        size.width,
        size.height,
        lookUp(kColorDepthTable, record.colorDepthIndex,
               kColorDepthTable[static_cast<std::size_t>(d.colorDepthIndex)]),
        lookUp(kRefreshRateTable, record.refreshRateIndex,
               kRefreshRateTable[static_cast<std::size_t>(d.refreshRateIndex)]),
    };
}

ConfigRecord readConfigFile(const char* path) {
    ConfigRecord record = kDefaultConfigRecord;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return record;
    }
    std::array<std::uint8_t, kConfigRecordSize> bytes{};
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    decodeConfigRecord(std::span(bytes.data(), got), record);
    return record;
}

bool writeConfigFile(const char* path, const ConfigRecord& record) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    const auto bytes = encodeConfigRecord(record);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

DisplayMode readDisplayMode() {
    return displayModeFromRecord(readConfigFile(kSettingsFileName));
}

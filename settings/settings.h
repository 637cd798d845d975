// The settings file "KPX.cfg": a 13-byte little-endian record shared by the game and KPXConfig.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

inline constexpr const char* kSettingsFileName = "KPX.cfg";
inline constexpr std::size_t kConfigRecordSize = 13;

// The record as stored: 1 byte, then three signed 32-bit integers at offsets 1, 5 and 9.
struct ConfigRecord {
    std::uint8_t soundFlag;
    std::int32_t resolutionIndex;
    std::int32_t colorDepthIndex;
    std::int32_t refreshRateIndex;

    bool operator==(const ConfigRecord&) const = default;
};

// The display mode the game asks for; refreshHz 0 means the display's own default rate.
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshHz;

    bool operator==(const DisplayMode&) const = default;
};

struct Resolution {
    int width;
    int height;
};

inline constexpr std::array<Resolution, 6> kResolutionTable{
    {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}}};
inline constexpr std::array<int, 2> kColorDepthTable{16, 32};
inline constexpr std::array<int, 8> kRefreshRateTable{60, 70, 72, 75, 85, 100, 120, 0};

// Sound on, 1024x768, 32 bits, 75 Hz.
inline constexpr ConfigRecord kDefaultConfigRecord{1, 2, 1, 3};

// Overwrites the fields of `record` that `bytes` holds whole; bytes past the 13th are ignored.
void decodeConfigRecord(std::span<const std::uint8_t> bytes, ConfigRecord& record);
std::array<std::uint8_t, kConfigRecordSize> encodeConfigRecord(const ConfigRecord& record);

// Looks each index up in its own table; an index outside it gives that field's default.
DisplayMode displayModeFromRecord(const ConfigRecord& record);

// The defaults, overwritten by the fields the file holds. A file that cannot be opened
// leaves the defaults, silently.
ConfigRecord readConfigFile(const char* path);

// Writes the 13 bytes with mode "wb" (create, or cut to length). False when the file
// cannot be opened or not all bytes reach it.
bool writeConfigFile(const char* path, const ConfigRecord& record);

// The game's reading of "KPX.cfg" in the working directory.
DisplayMode readDisplayMode();

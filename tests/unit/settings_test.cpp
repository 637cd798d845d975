#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_folder.h"
#include "settings.h"

// Found by argument-dependent lookup, so it stands beside DisplayMode in the global namespace.
static void PrintTo(const DisplayMode& m, std::ostream* os) {
    *os << m.width << "x" << m.height << " " << m.bitsPerPixel << " bits " << m.refreshHz << " Hz";
}

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kDefaultBytes{0x01, 0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x03, 0, 0, 0};
const Bytes kCompatibilityBytes{0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0};
const Bytes kPreferredBytes{0x01, 0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x05, 0, 0, 0};

Bytes encoded(const ConfigRecord& record) {
    const auto bytes = encodeConfigRecord(record);
    return {bytes.begin(), bytes.end()};
}

ConfigRecord decoded(const Bytes& bytes) {
    ConfigRecord record = kDefaultConfigRecord;
    decodeConfigRecord(bytes, record);
    return record;
}

DisplayMode modeOf(std::int32_t resolution, std::int32_t depth, std::int32_t refresh) {
    return displayModeFromRecord(ConfigRecord{1, resolution, depth, refresh});
}

TEST(SettingsRecord, WorkedExamplesEncodeByteForByte) {
    EXPECT_EQ(encoded(kDefaultConfigRecord), kDefaultBytes);
    EXPECT_EQ(encoded(ConfigRecord{1, 0, 0, 7}), kCompatibilityBytes);
    EXPECT_EQ(encoded(ConfigRecord{1, 2, 1, 5}), kPreferredBytes);
}

TEST(SettingsRecord, NegativeAndLargeIndicesAreLittleEndianTwosComplement) {
    EXPECT_EQ(
        encoded(ConfigRecord{0, -1, INT_MIN, 0x7fffffff}),
        (Bytes{0x00, 0xff, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x80, 0xff, 0xff, 0xff, 0x7f}));
    const ConfigRecord back = decoded(encoded(ConfigRecord{0xab, -1, INT_MIN, 0x7fffffff}));
    EXPECT_EQ(back.soundFlag, 0xab);
    EXPECT_EQ(back.resolutionIndex, -1);
    EXPECT_EQ(back.colorDepthIndex, INT_MIN);
    EXPECT_EQ(back.refreshRateIndex, 0x7fffffff);
}

TEST(SettingsRecord, FieldsCutOffByTheEndKeepTheirDefaults) {
    const Bytes full{0x00, 0x05, 0, 0, 0, 0x00, 0, 0, 0, 0x06, 0, 0, 0};
    for (std::size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        const ConfigRecord r = decoded(Bytes(full.begin(), full.begin() + length));
        EXPECT_EQ(r.soundFlag, length >= 1 ? 0 : 1);
        EXPECT_EQ(r.resolutionIndex, length >= 5 ? 5 : 2);
        EXPECT_EQ(r.colorDepthIndex, length >= 9 ? 0 : 1);
        EXPECT_EQ(r.refreshRateIndex, length >= 13 ? 6 : 3);
    }
    Bytes longer = full;
    longer.resize(20, 0x09);
    const ConfigRecord r = decoded(longer);
    EXPECT_EQ(r.resolutionIndex, 5);
    EXPECT_EQ(r.refreshRateIndex, 6);
}

TEST(SettingsTables, EveryRowGivesItsValue) {
    const DisplayMode sizes[] = {{640, 480, 32, 75},  {800, 600, 32, 75},   {1024, 768, 32, 75},
                                 {1152, 864, 32, 75}, {1280, 1024, 32, 75}, {1600, 1200, 32, 75}};
    for (std::int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(modeOf(i, 1, 3), sizes[i]) << "resolution " << i;
    }
    EXPECT_EQ(modeOf(2, 0, 3).bitsPerPixel, 16);
    EXPECT_EQ(modeOf(2, 1, 3).bitsPerPixel, 32);
    const int rates[] = {60, 70, 72, 75, 85, 100, 120, 0};
    for (std::int32_t i = 0; i < 8; ++i) {
        EXPECT_EQ(modeOf(2, 1, i).refreshHz, rates[i]) << "refresh " << i;
    }
}

TEST(SettingsTables, IndicesOutsideATableFallBackFieldByField) {
    for (std::int32_t bad : {-1, 6, 8, 0x7fffffff, INT_MIN}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(modeOf(bad, 0, 0), (DisplayMode{1024, 768, 16, 60}));
        EXPECT_EQ(modeOf(0, bad, 0), (DisplayMode{640, 480, 32, 60}));
        if (bad != 6) {  // 6 is a refresh-rate row (120 Hz)
            EXPECT_EQ(modeOf(0, 0, bad), (DisplayMode{640, 480, 16, 75}));
        }
    }
    EXPECT_EQ(modeOf(0, 2, 7), (DisplayMode{640, 480, 32, 0}));
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override { path_ = (dir_ / "KPX.cfg").string(); }

    void writeBytes(const Bytes& bytes) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    Bytes readBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    ScratchFolder dir_{"settings"};
    std::string path_;
};

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    EXPECT_EQ(encoded(readConfigFile(path_.c_str())), kDefaultBytes);
    EXPECT_EQ(displayModeFromRecord(readConfigFile(path_.c_str())),
              (DisplayMode{1024, 768, 32, 75}));
}

TEST_F(SettingsFile, FilesOfEveryShortLengthAndALongOneReadSafely) {
    Bytes content = kCompatibilityBytes;
    content.resize(20, 0x55);
    for (std::size_t length = 0; length <= 20; ++length) {
        SCOPED_TRACE(length);
        writeBytes(Bytes(content.begin(), content.begin() + length));
        const DisplayMode mode = displayModeFromRecord(readConfigFile(path_.c_str()));
        EXPECT_EQ(mode.width, length >= 5 ? 640 : 1024);
        EXPECT_EQ(mode.bitsPerPixel, length >= 9 ? 16 : 32);
        EXPECT_EQ(mode.refreshHz, length >= 13 ? 0 : 75);
    }
}

TEST_F(SettingsFile, AFileThatIsADirectoryGivesTheDefaults) {
    std::filesystem::create_directory(path_);
    EXPECT_EQ(encoded(readConfigFile(path_.c_str())), kDefaultBytes);
    EXPECT_FALSE(writeConfigFile(path_.c_str(), kDefaultConfigRecord));
}

TEST_F(SettingsFile, WritingCutsALongerFileToThirteenBytes) {
    writeBytes(Bytes(20, 0x77));
    ASSERT_TRUE(writeConfigFile(path_.c_str(), ConfigRecord{1, 0, 0, 7}));
    EXPECT_EQ(readBytes(), kCompatibilityBytes);
    EXPECT_EQ(displayModeFromRecord(readConfigFile(path_.c_str())), (DisplayMode{640, 480, 16, 0}));
}

TEST_F(SettingsFile, ReadDisplayModeUsesTheWorkingDirectory) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    const DisplayMode missing = readDisplayMode();
    writeBytes(kPreferredBytes);
    const DisplayMode preferred = readDisplayMode();
    std::filesystem::current_path(previous);
    EXPECT_EQ(missing, (DisplayMode{1024, 768, 32, 75}));
    EXPECT_EQ(preferred, (DisplayMode{1024, 768, 32, 100}));
}

}  // namespace

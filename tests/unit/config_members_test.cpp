// KPXConfig's loading and saving of "KPX.cfg" and its presets, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "config_members.h"
#include "config_test_files.h"

namespace {

using config_test::Bytes;
using config_test::kCompatibilityBytes;
using config_test::kDefaultBytes;
using config_test::readFile;
using config_test::writeFile;

ConfigDlgMembers members(int sound, int resolution, int depth, int rate) {
    ConfigDlgMembers m;
    m.m_bUseSound = sound;
    m.m_nResolution = resolution;
    m.m_nBitDepth = depth;
    m.m_nRefreshRate = rate;
    return m;
}

ConfigDlgMembers loaded() {
    ConfigDlgMembers m = members(-7, -7, -7, -7);
    loadSettings(m);
    return m;
}

class ConfigFile : public ::testing::Test {
  protected:
    config_test::WorkingFolder folder_{"config-members"};
};

TEST_F(ConfigFile, WithoutAFileTheDefaultsShow) {
    EXPECT_EQ(loaded(), members(1, 2, 1, 3));
    saveSettings(loaded());
    EXPECT_EQ(readFile("KPX.cfg"), kDefaultBytes);
}

TEST_F(ConfigFile, FieldsLoadUncheckedInFileOrder) {
    writeFile("KPX.cfg", {0x00, 0x09, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0x08, 0, 0, 0});
    EXPECT_EQ(loaded(), members(0, 9, -1, 8));
}

TEST_F(ConfigFile, TheSoundByteFillsOnlyTheLowByte) {
    for (int byte : {0x02, 0x80, 0xff}) {
        writeFile("KPX.cfg", {static_cast<std::uint8_t>(byte), 2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0});
        EXPECT_EQ(loaded().m_bUseSound, byte);
    }
}

TEST_F(ConfigFile, ShortFilesKeepTheDefaultsOfMissingFieldsAndLongOnesAreReadTo13) {
    writeFile("KPX.cfg", {0x00});
    EXPECT_EQ(loaded(), members(0, 2, 1, 3));
    writeFile("KPX.cfg", {0x00, 0x05, 0, 0, 0, 0x00, 0});
    EXPECT_EQ(loaded(), members(0, 5, 1, 3));
    Bytes longer = kCompatibilityBytes;
    longer.resize(20, 0x01);
    writeFile("KPX.cfg", longer);
    EXPECT_EQ(loaded(), members(1, 0, 0, 7));
}

TEST_F(ConfigFile, SavingWritesThirteenBytesWithMinusOneForAnEmptyGroup) {
    saveSettings(members(1, 0, 0, 7));
    EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes);
    saveSettings(members(1, -1, 1, 3));
    EXPECT_EQ(readFile("KPX.cfg"),
              (Bytes{0x01, 0xff, 0xff, 0xff, 0xff, 0x01, 0, 0, 0, 0x03, 0, 0, 0}));
    // Only the low byte of the sound member is stored.
    saveSettings(members(0x101, 5, -1, -1));
    EXPECT_EQ(readFile("KPX.cfg"),
              (Bytes{0x01, 0x05, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff}));
}

TEST_F(ConfigFile, SavingCutsALongerFileTo13Bytes) {
    writeFile("KPX.cfg", Bytes(20, 0x44));
    saveSettings(members(1, 2, 1, 3));
    EXPECT_EQ(readFile("KPX.cfg"), kDefaultBytes);
}

TEST_F(ConfigFile, SoundFlagsZeroAndOneRoundTrip) {
    for (std::uint8_t sound : {0, 1}) {
        const Bytes bytes{sound, 0x04, 0, 0, 0, 0x00, 0, 0, 0, 0x06, 0, 0, 0};
        writeFile("KPX.cfg", bytes);
        saveSettings(loaded());
        EXPECT_EQ(readFile("KPX.cfg"), bytes);
    }
}

TEST_F(ConfigFile, AFileThatCannotBeOpenedForWritingIsSkippedSilently) {
    writeFile("KPX.cfg", kCompatibilityBytes);
    config_test::makeReadOnly("KPX.cfg");
    {
        config_test::UnprivilegedFileAccess unprivileged;
        ASSERT_FALSE(writeConfigFile("KPX.cfg", kDefaultConfigRecord)) << "the file is writable";
        saveSettings(members(0, 1, 1, 1));
    }
    EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes);

    // A folder in the file's place, and a path whose folder does not exist.
    std::filesystem::create_directory("folder");
    saveSettings(members(0, 1, 1, 1), "folder");
    EXPECT_TRUE(std::filesystem::is_directory("folder"));
    saveSettings(members(0, 1, 1, 1), "missing/KPX.cfg");
    EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST(ConfigPresets, SetAllFourMembers) {
    ConfigDlgMembers m = members(0, -1, -1, -1);
    applyPreset(m, Preset::Compatibility);
    EXPECT_EQ(m, members(1, 0, 0, 7));
    m.m_bUseSound = 0;
    applyPreset(m, Preset::Default);
    EXPECT_EQ(m, members(1, 2, 1, 3));
    m.m_bUseSound = 0;
    applyPreset(m, Preset::Preferred);
    EXPECT_EQ(m, members(1, 2, 1, 5));
}

}  // namespace

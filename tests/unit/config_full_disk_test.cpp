// The dialog's save on a full disk: a small tmpfs of its own, in a mount namespace of this
// process, filled up before OK. Needs root (skipped otherwise).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "config_members.h"
#include "config_test_files.h"

namespace {

using config_test::Bytes;
using config_test::kCompatibilityBytes;
using config_test::kPreferredBytes;
using config_test::readFile;
using config_test::writeFile;

// The "Compatability" preset, stored over whatever the disk holds.
ConfigDlgMembers compatibility() {
    ConfigDlgMembers m;
    applyPreset(m, Preset::Compatibility);
    return m;
}

class FullDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "mounting a tmpfs needs root";
        }
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            GTEST_SKIP() << "no mount namespace of our own here (errno " << errno << ")";
        }
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vantu-full-disk-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        ASSERT_EQ(::mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k"), 0) << errno;
        mounted_ = true;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        if (mounted_) {
            std::filesystem::current_path(previous_);
            EXPECT_EQ(::umount(dir_.c_str()), 0) << errno;
        }
        if (!dir_.empty()) {
            std::error_code ignored;
            std::filesystem::remove(dir_, ignored);
        }
    }

    // Writes a filler file until the disk refuses more; the disk is then full.
    static void fillDisk() {
        const int fd = ::open("filler", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(512, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        const int error = errno;
        ::close(fd);
        ASSERT_EQ(error, ENOSPC);
    }

    std::filesystem::path dir_;
    std::filesystem::path previous_;
    bool mounted_ = false;
};

// Cutting the old file to length frees its block, and the 13 bytes take it again: nothing is
// lost and the new settings are saved.
TEST_F(FullDisk, AnOldFileIsOverwrittenWithTheNewSettings) {
    for (std::size_t oldLength : {13, 5, 20}) {
        Bytes old = kPreferredBytes;
        old.resize(oldLength, 0x5a);
        writeFile("KPX.cfg", old);
        fillDisk();
        saveSettings(compatibility());
        EXPECT_EQ(readFile("KPX.cfg"), kCompatibilityBytes) << "old file of " << oldLength;
        std::filesystem::remove("filler");
    }
}

// With no old content there is no block to take: the file is left empty (or made empty),
// which the game and the dialog read as the defaults. The dialog closes all the same.
TEST_F(FullDisk, WithoutAnOldFileTheSaveLeavesAnEmptyFileAndFailsQuietly) {
    fillDisk();
    EXPECT_FALSE(writeConfigFile("KPX.cfg", kDefaultConfigRecord));
    EXPECT_EQ(std::filesystem::file_size("KPX.cfg"), 0u);
    saveSettings(compatibility());
    EXPECT_EQ(std::filesystem::file_size("KPX.cfg"), 0u);
    ConfigDlgMembers shown;
    loadSettings(shown);
    EXPECT_EQ(shown.m_nResolution, kDefaultConfigRecord.resolutionIndex);
}

// A device that is always full: the failure shows only when the file is closed, and is
// reported to the caller all the same.
TEST(FullDevice, AWriteThatFailsAtCloseIsReported) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    EXPECT_FALSE(writeConfigFile("/dev/full", kDefaultConfigRecord));
    saveSettings(compatibility(), "/dev/full");
}

}  // namespace

// Helpers for tests that work on "KPX.cfg" in a working folder of their own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/fsuid.h>
#include <unistd.h>
#endif

#include "scratch_folder.h"

namespace config_test {

using Bytes = std::vector<std::uint8_t>;

inline const Bytes kDefaultBytes{0x01, 0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x03, 0, 0, 0};
inline const Bytes kCompatibilityBytes{0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x07, 0, 0, 0};
inline const Bytes kPreferredBytes{0x01, 0x02, 0, 0, 0, 0x01, 0, 0, 0, 0x05, 0, 0, 0};

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh folder, made the working directory while the object lives.
class WorkingFolder : public ScratchFolder {
  public:
    explicit WorkingFolder(const std::string& name) : ScratchFolder(name, true) {}
};

inline void makeReadOnly(const std::filesystem::path& path) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
}

// Root may write a read-only file. While this object lives, file permission checks on the
// calling thread are made as an unprivileged user (fsuid 65534) when the test runs as root,
// so that a read-only file really cannot be opened for writing; otherwise it does nothing.
// (Windows refuses to write a read-only file to everyone.)
#ifdef _WIN32
struct UnprivilegedFileAccess {
    UnprivilegedFileAccess() {}  // NOLINT(modernize-use-equals-default): not an unused variable
};
#else
class UnprivilegedFileAccess {
  public:
    UnprivilegedFileAccess() : root_(::geteuid() == 0) {
        if (root_) {
            ::setfsuid(65534);
        }
    }
    ~UnprivilegedFileAccess() {
        if (root_) {
            ::setfsuid(0);
        }
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

  private:
    bool root_;
};
#endif

}  // namespace config_test

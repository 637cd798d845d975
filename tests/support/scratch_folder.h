// A fresh folder of its own for one test, removed with everything in it when the object goes.
// Made under TMPDIR with a name of its own, so that tests running at the same time never share one.
#pragma once

#ifdef _WIN32
#include <process.h>
#else
#include <stdlib.h>
#endif

#include <filesystem>
#include <stdexcept>
#include <string>

class ScratchFolder {
  public:
    // A folder named vantu-NAME-XXXXXX; with enter, also the working directory while it lives.
    explicit ScratchFolder(const std::string& name, bool enter = false) {
        dir_ = makeUniqueFolder(std::filesystem::temp_directory_path() / ("vantu-" + name));
        // Searchable by everyone, so that only a file's own mode decides whether an
        // unprivileged user may use it.
        namespace fs = std::filesystem;
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        if (enter) {
            previous_ = std::filesystem::current_path();
            std::filesystem::current_path(dir_);
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!previous_.empty()) {
            std::filesystem::current_path(previous_, ignored);
        }
        std::filesystem::remove_all(dir_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return dir_; }
    operator const std::filesystem::path&() const { return dir_; }  // NOLINT: used as a path
    std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

  private:
    static std::filesystem::path makeUniqueFolder(const std::filesystem::path& stem) {
#ifdef _WIN32
        // No mkdtemp: the process id and a count, taken only by the one that makes the folder.
        const std::string prefix = stem.string() + "-" + std::to_string(::_getpid()) + "-";
        for (int n = 0; n < 10000; ++n) {
            if (std::filesystem::create_directory(prefix + std::to_string(n))) {
                return prefix + std::to_string(n);
            }
        }
        throw std::runtime_error("cannot make a scratch folder " + prefix + "N");
#else
        std::string pattern = stem.string() + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder " + pattern);
        }
        return pattern;
#endif
    }

    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

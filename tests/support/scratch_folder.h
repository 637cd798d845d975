// A fresh folder of its own for one test, removed with everything in it when the object goes.
// Made with mkdtemp under TMPDIR, so that tests running at the same time never share one.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

class ScratchFolder {
  public:
    // A folder named vantu-NAME-XXXXXX; with enter, also the working directory while it lives.
    explicit ScratchFolder(const std::string& name, bool enter = false) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("vantu-" + name + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder " + pattern);
        }
        dir_ = pattern;
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
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

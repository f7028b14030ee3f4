#pragma once
// A private folder for a test's files, and whole files written and read as bytes. Header-only,
// so that the benchmarks can use it too.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include <stdlib.h>
#include <sys/stat.h>

namespace velorra::testing {

// A fresh folder under /tmp, removed with everything in it at the end. It is world-searchable,
// so that checks run as the user nobody can reach the files in it.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "velorra-files") {
        std::string pattern = "/tmp/" + prefix + "-XXXXXX";
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
        ::chmod(pattern.c_str(), 0755);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of `relative` in the folder; nothing is created.
    std::string path(const std::string& relative) const { return path_ + "/" + relative; }
    // Creates the file, and the folders above it, with these bytes; returns its path.
    std::string makeFile(const std::string& relative, const std::string& bytes = "x") const {
        const std::filesystem::path p = path(relative);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    // Creates the folder and those above it; returns its path.
    std::string makeDir(const std::string& relative) const {
        std::filesystem::create_directories(path(relative));
        return path(relative);
    }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace velorra::testing

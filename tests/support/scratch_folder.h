// The one scratch folder of the tests: a fresh folder under the system's temporary folder,
// unique to the instance (parallel test processes never share one), removed with everything
// in it when the instance goes, even where a test took its write permission away.
#pragma once

#include <filesystem>
#include <string>

namespace corvane::testing {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace corvane::testing

#include "scratch_folder.h"

#include <fstream>
#include <random>
#include <sstream>

namespace corvane::testing {

ScratchFolder::ScratchFolder()
{
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("corvane-test-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace corvane::testing

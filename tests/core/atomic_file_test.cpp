#include "common/atomic_file.h"
#include "common/error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using corvane::AtomicFile;

namespace {

std::string readAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

fs::path freshFolder(const char* name)
{
    fs::path dir = fs::temp_directory_path() / ("corvane-" + std::string(name) + "-" +
                                                std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

} // namespace

TEST(AtomicFile, ReplacesTargetOnlyOnCommitAndLeavesNoTemporaryFiles)
{
    const fs::path dir = freshFolder("atomic");
    const fs::path target = dir / "out.dnc";
    std::ofstream(target) << "old program";

    {
        AtomicFile discarded(target.string());
        discarded.write("half a program");
        // destroyed without commit, as when a write is cancelled or throws
    }
    EXPECT_EQ(readAll(target), "old program");

    AtomicFile file(target.string());
    file.write("new program\r\n");
    EXPECT_EQ(readAll(target), "old program");
    file.commit();
    EXPECT_EQ(readAll(target), "new program\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(AtomicFile, ReportsTheFileAndTheReason)
{
    try {
        AtomicFile full("/dev/full");
        full.write(std::string(1 << 16, 'x'));
        full.commit();
        FAIL() << "writing to a full device must fail";
    } catch (const corvane::Error& e) {
        EXPECT_EQ(e.file(), "/dev/full");
        EXPECT_NE(std::string(e.what()).find("No space left"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::exists("/dev/full")); // written in place, never replaced

    EXPECT_THROW(AtomicFile("/nonexistent-folder/x.dxf"), corvane::Error);
    EXPECT_THROW(AtomicFile(fs::temp_directory_path().string()), corvane::Error);
}

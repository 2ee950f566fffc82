#include "common/atomic_file.h"
#include "common/error.h"

#include <filesystem>
#include <fstream>
#include "scratch_folder.h"

#include <gtest/gtest.h>
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

} // namespace

TEST(AtomicFile, ReplacesTargetOnlyOnCommitAndLeavesNoTemporaryFiles)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
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

TEST(AtomicFile, SavesThroughLinksKeepsPermissionsAndRefusesProtectedFiles)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "out.dxf") << "old";
    fs::permissions(dir / "real" / "out.dxf", fs::perms(0600));
    fs::create_symlink("real/out.dxf", dir / "link.dxf"); // relative to the link's folder
    fs::create_symlink("link.dxf", dir / "chain.dxf");    // a link to a link

    AtomicFile viaChain((dir / "chain.dxf").string());
    viaChain.write("new");
    viaChain.commit();
    EXPECT_TRUE(fs::is_symlink(dir / "chain.dxf"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.dxf"));
    EXPECT_EQ(readAll(dir / "real" / "out.dxf"), "new");
    EXPECT_EQ(fs::status(dir / "real" / "out.dxf").permissions(), fs::perms(0600));

    // A link that points nowhere yet names the file to create.
    fs::create_symlink("real/fresh.dxf", dir / "dangling.dxf");
    AtomicFile fresh((dir / "dangling.dxf").string());
    fresh.write("made");
    fresh.commit();
    EXPECT_EQ(readAll(dir / "real" / "fresh.dxf"), "made");
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.dxf"));

    // No write bit for anyone: refused before anything is written, even for root.
    const fs::path locked = dir / "real" / "locked.dnc";
    std::ofstream(locked) << "keep me";
    fs::permissions(locked, fs::perms(0444));
    try {
        AtomicFile refused(locked.string());
        ADD_FAILURE() << "a write-protected file must not be replaced";
    } catch (const corvane::Error& e) {
        EXPECT_EQ(e.file(), locked.string());
        EXPECT_NE(e.reason().find("write-protected"), std::string::npos) << e.what();
    }
    EXPECT_EQ(readAll(locked), "keep me");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 3);
}

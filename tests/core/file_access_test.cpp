// Files that are not what they seem or change under the reader: pipes, devices, names at
// the system's length limit, files shortened while mapped or read.
#include "common/atomic_file.h"
#include "common/error.h"
#include "common/mapped_file.h"
#include "common/regular_file.h"
#include "scratch_folder.h"

#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvane;

namespace {

std::string reasonOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const Error& e) {
        return e.reason();
    }
    return "(no error)";
}

} // namespace

TEST(RegularFile, RefusesPipesAndFoldersAtOnceAndSeesAChange)
{
    const corvane::testing::ScratchFolder folder;
    const std::string pipe = folder.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Opening a pipe for reading would wait for a writer for ever.
    EXPECT_EQ(reasonOf([&] { RegularFile file(pipe); }), "is not a regular file");
    EXPECT_EQ(reasonOf([&] { RegularFile file(folder.path().string()); }),
              "is a folder, not a file");
    EXPECT_EQ(reasonOf([&] {
                  RegularFile file(folder.file("none"), "cannot be opened");
              }).rfind("cannot be opened: ", 0),
              0u);

    const std::string name = folder.file("f.txt");
    corvane::testing::writeFile(name, "twelve bytes");
    const RegularFile file(name);
    EXPECT_EQ(file.size(), 12u);
    EXPECT_FALSE(file.changed());
    ASSERT_EQ(::truncate(name.c_str(), 5), 0);
    EXPECT_TRUE(file.changed());
    EXPECT_EQ(reasonOf([&] { file.checkUnchanged(); }), "changed while it was read");
}

TEST(AtomicFile, WritesToAPipeOnlyWhenAProgramReadsIt)
{
    const corvane::testing::ScratchFolder folder;
    const std::string pipe = folder.file("out.dnc");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Nobody reads: refused at once instead of waiting for a reader for ever.
    EXPECT_EQ(reasonOf([&] { AtomicFile file(pipe); }), "is a pipe that no program reads from");

    std::string received;
    std::thread reader([&] { received = corvane::testing::readFile(pipe); });
    // The reader may not have opened its end yet: try until it has.
    for (int attempt = 0;; ++attempt) {
        try {
            AtomicFile file(pipe);
            file.write("G00 X0\r\n");
            file.commit();
            break;
        } catch (const Error&) {
            ASSERT_LT(attempt, 10000);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    reader.join();
    EXPECT_EQ(received, "G00 X0\r\n");
    EXPECT_EQ(fs::status(pipe).type(), fs::file_type::fifo); // written in place, not replaced
}

TEST(AtomicFile, SavesUnderTheLongestNameTheFolderTakes)
{
    const corvane::testing::ScratchFolder folder;
    const long longest = ::pathconf(folder.path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 20);
    // ASCII and a name of two-byte characters whose cut must not split one.
    for (const std::string& name : {std::string(std::size_t(longest) - 4, 'n') + ".dnc", [&] {
                                        std::string n;
                                        while (n.size() + 2 <= std::size_t(longest) - 3)
                                            n += "\xC3\xA9"; // é
                                        return n + ".x";
                                    }()}) {
        ASSERT_LE(name.size(), std::size_t(longest));
        const fs::path target = folder.path() / name;
        corvane::testing::writeFile(target, "old");
        AtomicFile file(target.string());
        file.write("new");
        file.commit();
        EXPECT_EQ(corvane::testing::readFile(target), "new");
        fs::remove(target);
    }
    EXPECT_TRUE(fs::is_empty(folder.path())); // no temporary file left behind
}

TEST(MappedFile, AFileShortenedWhileMappedReadsAsZerosAndIsReportedChanged)
{
    const corvane::testing::ScratchFolder folder;
    const std::string name = folder.file("big.dxf");
    const long page = ::sysconf(_SC_PAGESIZE);
    corvane::testing::writeFile(name, std::string(std::size_t(page) * 4, 'a'));
    const MappedFile file(name);
    file.checkUnchanged();
    ASSERT_EQ(::truncate(name.c_str(), page), 0);
    // Without the guard, touching the second page ends the process with SIGBUS.
    const std::string_view bytes = file.bytes();
    std::size_t zeros = 0;
    for (char c : bytes)
        zeros += c == '\0';
    EXPECT_EQ(bytes[0], 'a');
    EXPECT_EQ(zeros, std::size_t(page) * 3);
    EXPECT_EQ(reasonOf([&] { file.checkUnchanged(); }), "changed while it was read");
}

TEST(MappedFile, ABusErrorOutsideAGuardedMappingStillEndsTheProcess)
{
    EXPECT_EXIT(
        {
            const corvane::testing::ScratchFolder folder;
            const std::string name = folder.file("other");
            corvane::testing::writeFile(name, std::string(8192, 'a'));
            const MappedFile guarded(name); // installs the handler
            const int fd = ::open(name.c_str(), O_RDONLY);
            const auto* unguarded = static_cast<const volatile char*>(
                ::mmap(nullptr, 8192, PROT_READ, MAP_PRIVATE, fd, 0));
            ::truncate(name.c_str(), 0);
            (void)unguarded[4096];
            std::exit(0);
        },
        // Killed by SIGBUS, or by the address sanitizer's report of it in a checked build.
        [](int status) { return !(WIFEXITED(status) && WEXITSTATUS(status) == 0); }, "");
}

// corvane-cli given names that are not plain files, outputs that cannot take the bytes,
// outputs that are its own inputs, chains that cannot end well, and a kill while a plug-in
// runs: each ends at once with a reason, and nothing that existed is lost.
#include "cli_run.h"
#include "scratch_folder.h"
#include "test_files.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using corvane::testing::CliRun;

class HostileIo : public ::testing::Test {
protected:
    void SetUp() override
    {
        write("pyramid.dxf", corvane::testing::pyramidDxf());
        write("prog.dnc", "G90 T0 F10\nG00 X0 Y0 Z1\nG01 Z-0.5\nX2 Y1\n");
    }

    void write(const std::string& name, const std::string& bytes) const
    {
        corvane::testing::writeFile(dir / name, bytes);
    }
    std::string read(const std::string& name) const
    {
        return corvane::testing::readFile(dir / name);
    }

    // corvane-cli from the scratch folder, its stdout sent to `output` and its stderr
    // captured; stopped after a minute so that a hang fails the test instead of blocking it.
    CliRun cli(const std::string& arguments, const std::string& output = "/dev/null") const
    {
        return corvane::testing::runCommand("cd '" + dir.string() +
                                            "' && timeout 60 " CORVANE_CLI " " + arguments +
                                            " 2>&1 >" + output);
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

bool mentions(const CliRun& run, const std::string& text)
{
    return run.out.find(text) != std::string::npos;
}

} // namespace

TEST_F(HostileIo, PipesAreRefusedAtOnceForReadingAndForWriting)
{
    ASSERT_EQ(::mkfifo((dir / "fifo.dnc").c_str(), 0600), 0);
    for (const char* command :
         {"dnc fifo.dnc", "simulate fifo.dnc --tool 'End Mill' --diameter 1 --cell 0.1"}) {
        const CliRun run = cli(command);
        EXPECT_EQ(run.exitCode, 1) << command << ": " << run.out; // 124: it waited
        EXPECT_TRUE(mentions(run, "fifo.dnc: is not a regular file")) << run.out;
    }
    // A program written to a pipe that nobody reads would wait for a reader for ever.
    const CliRun run = cli("regions pyramid.dxf -o fifo.dnc");
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_TRUE(mentions(run, "fifo.dnc: is a pipe that no program reads from")) << run.out;
}

TEST_F(HostileIo, ADumpToAFullDiskFailsWithTheReason)
{
    for (const char* command : {"mesh pyramid.dxf --dump", "dnc prog.dnc --dump",
                                       "regions pyramid.dxf --dump", "dnc prog.dnc"}) {
        const CliRun run = cli(command, "/dev/full");
        EXPECT_EQ(run.exitCode, 1) << command << ": " << run.out;
        EXPECT_TRUE(mentions(run, "cannot write the output: No space left on device"))
            << command << ": " << run.out;
    }
}

TEST_F(HostileIo, AnOutputThatIsAnInputIsRefusedAndTheInputKept)
{
    const std::string mesh = read("pyramid.dxf"), program = read("prog.dnc");
    // The same name, and another name for the same file.
    ASSERT_EQ(::link((dir / "prog.dnc").c_str(), (dir / "same.pgm").c_str()), 0);
    fs::create_symlink("pyramid.dxf", dir / "link.dxf");
    const std::string simulate = "simulate prog.dnc --tool 'End Mill' --diameter 1 --cell 0.1 ";
    struct Case {
        std::string command, says;
        int exitCode;
    };
    for (const Case& c : {
             Case{"regions pyramid.dxf -o pyramid.dxf", "is the same file as the input", 1},
             Case{"regions pyramid.dxf -o link.dxf", "is the same file as the input", 1},
             Case{simulate + "-o prog.dnc", "must end in .pgm", 2},
             Case{simulate + "-o same.pgm", "is the same file as the input", 1},
             Case{simulate + "--target same.pgm --size-x 1 --size-y 1 --depth 1 --deviation "
                             "prog.dnc",
                  "must end in .png", 2},
         }) {
        const CliRun run = cli(c.command);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.command << ": " << run.out;
        EXPECT_TRUE(mentions(run, c.says)) << c.command << ": " << run.out;
    }
    EXPECT_EQ(read("pyramid.dxf"), mesh);
    EXPECT_EQ(read("prog.dnc"), program);
}

TEST_F(HostileIo, AChainWhoseResultCannotBeWrittenIsRefusedBeforeItRuns)
{
    std::vector<std::vector<int>> rows(600, std::vector<int>(600, 128));
    rows[0][0] = 0;
    write("in.bmp", corvane::testing::greyBmp(rows));
    write("out.bmp", "kept");
    // 60000 x 60000 pixels: 10.8 GB as a colour BMP, beyond what the format holds, and more
    // memory than most machines have. Either is said before the hours of work.
    const CliRun run = cli("image in.bmp -o out.bmp --op resize-image:100");
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_TRUE(mentions(run, "resize-image")) << run.out;
    EXPECT_TRUE(mentions(run, "60000 x 60000")) << run.out;
    EXPECT_EQ(read("out.bmp"), "kept");
}

TEST_F(HostileIo, APluginAndWhatItStartedEndWithAKilledCommand)
{
    write("in.bmp", corvane::testing::greyBmp({{0, 255}, {255, 0}}));
    // Starts a program of its own, says who they are, then hangs.
    write("hangs", "#!/bin/sh\nsleep 600 </dev/null >/dev/null 2>&1 &\necho $$ $! > pids.tmp\n"
                   "mv pids.tmp pids\nexec sleep 600\n");
    fs::permissions(dir / "hangs", fs::perms::owner_all);
    const pid_t command = ::fork();
    ASSERT_GE(command, 0);
    if (command == 0) {
        ::chdir(dir.c_str());
        ::execl(CORVANE_CLI, CORVANE_CLI, "image", "in.bmp", "-o", "out.bmp", "--plugin", "./hangs",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string pids;
    for (int tries = 0; tries < 3000 && pids.empty(); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pids = read("pids");
    }
    ::kill(command, SIGTERM);
    int status = 0;
    ::waitpid(command, &status, 0);
    ASSERT_FALSE(pids.empty()) << "the plug-in never started";
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);

    // Both go at once; the process table shows it a moment later (a zombie is gone too).
    const auto running = [](int pid) {
        const std::string stat =
            corvane::testing::readFile("/proc/" + std::to_string(pid) + "/stat");
        return !stat.empty() && stat.find(") Z") == std::string::npos;
    };
    int plugin = 0, child = 0;
    ASSERT_EQ(std::sscanf(pids.c_str(), "%d %d", &plugin, &child), 2) << pids;
    for (int tries = 0; tries < 1000 && (running(plugin) || running(child)); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(running(plugin)) << "the plug-in outlived the command";
    EXPECT_FALSE(running(child)) << "what the plug-in started outlived the command";
    ::kill(plugin, SIGKILL);
    ::kill(child, SIGKILL);
}

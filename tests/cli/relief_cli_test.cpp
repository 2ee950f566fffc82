// corvane-cli surface, gcode and gouge, run as a user runs them.
#include "cli_run.h"
#include "scratch_folder.h"
#include "test_files.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using corvane::testing::CliRun;

class ReliefCli : public ::testing::Test {
protected:
    // Runs corvane-cli with a fixed clock and the C locale, so headers are reproducible.
    CliRun cli(const std::string& arguments) const
    {
        return corvane::testing::runCli(dir, arguments);
    }

    static std::string read(const fs::path& p) { return corvane::testing::readFile(p); }

    // A 24-bit BMP of grey levels, top row first, at 3937 pixels per metre.
    void writeGreyBmp(const std::string& name, const std::vector<std::vector<int>>& rows) const
    {
        corvane::testing::writeFile(dir / name, corvane::testing::greyBmp(rows));
    }

    corvane::testing::ScratchFolder scratch;
    fs::path dir = scratch.path();
};

const std::string twoByTwoSizes =
    " --no-keep-aspect --size-x 0.03 --size-y 0.03 --step-x 0.01 --step-y 0.01";

} // namespace

TEST_F(ReliefCli, SurfaceWritesTheReferenceMeshThatEzdxfReads)
{
    writeGreyBmp("two.bmp", {{0, 128}, {255, 64}});
    const CliRun run = cli("surface two.bmp -o two.dxf --no-gouge" + twoByTwoSizes);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(read(dir / "two.dxf"), read(CORVANE_TEST_DATA "/relief/two_by_two.dxf"));
    EXPECT_NE(run.errors.find("Ready..."), std::string::npos);

    // With gouge control (the default End Mill .125 is far wider than the picture).
    ASSERT_EQ(cli("surface two.bmp -o gouged.dxf" + twoByTwoSizes).exitCode, 0);
    const std::string check = "/usr/bin/python3 -c \"import ezdxf,sys; d=ezdxf.readfile('" +
                              (dir / "gouged.dxf").string() +
                              "'); sys.exit(1 if d.audit().has_errors else 0)\"";
    EXPECT_EQ(std::system(check.c_str()), 0);
    EXPECT_NE(read(dir / "gouged.dxf"), read(dir / "two.dxf"));
}

TEST_F(ReliefCli, GcodeWritesTheWorkedExampleAndAppliesOptionsInOrder)
{
    writeGreyBmp("worked.bmp", {{255, 128, 0, 255}, {255, 255, 255, 255}});
    const std::string sizes =
        "gcode worked.bmp --no-gouge --no-keep-aspect --size-x 4 --size-y 2 --step-x 1 "
        "--step-y 1 --rapid 0.1 --feed 10";
    CliRun run = cli(sizes + " -o worked.dnc --depth 0.2 --depth-per-pass 0.1");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(read(dir / "worked.dnc"), read(CORVANE_TEST_DATA "/relief/worked_example.dnc"));
    EXPECT_NE(run.errors.find("Pass 2"), std::string::npos);

    // Typing Depth afterwards copies it into Depth / Pass: one pass.
    run = cli(sizes + " -o once.dnc --depth-per-pass 0.1 --depth 0.2");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors.find("Pass 2"), std::string::npos);

    // With Keep Aspect Ratio a size resets both steps to one cell.
    ASSERT_EQ(cli("gcode worked.bmp -o a.dnc --no-gouge --step-x 0.02 --size-x 4").exitCode, 0);
    ASSERT_EQ(cli("gcode worked.bmp -o b.dnc --no-gouge --size-x 4").exitCode, 0);
    EXPECT_EQ(read(dir / "a.dnc"), read(dir / "b.dnc"));
}

namespace {

// Empty when a pseudo-terminal can be opened; otherwise what failed. A container without
// /dev/pts has the master device but cannot open a terminal's other end.
std::string whyNoPseudoTerminal()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return std::string("posix_openpt: ") + std::strerror(errno);
    std::string why;
    const char* name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !(name = ::ptsname(master))) {
        why = std::string("grantpt: ") + std::strerror(errno);
    } else if (const int terminal = ::open(name, O_RDWR | O_NOCTTY); terminal < 0) {
        why = std::string(name) + ": " + std::strerror(errno);
    } else {
        ::close(terminal);
    }
    ::close(master);
    return why;
}

} // namespace

TEST_F(ReliefCli, ProgressIsOneLineAStatusInAFileAndCountsUpOnlyOnATerminal)
{
    std::vector<std::vector<int>> ramp(40, std::vector<int>(60));
    for (auto& row : ramp)
        for (std::size_t x = 0; x < row.size(); ++x)
            row[x] = int(x * 4);
    writeGreyBmp("ramp.bmp", ramp);
    const CliRun logged = cli("gcode ramp.bmp -o ramp.dnc");
    ASSERT_EQ(logged.exitCode, 0) << logged.errors;
    EXPECT_EQ(logged.errors, "Applying Gouge Control. Please Wait...\nSaving to File...\nPass 1\n"
                             "Writing to file...\nReady...\n");

    // script(1) gives the command a terminal and copies what it shows.
    if (std::system("command -v script > /dev/null") != 0)
        GTEST_SKIP() << "script(1) is not installed";
    if (const std::string why = whyNoPseudoTerminal(); !why.empty())
        GTEST_SKIP() << "no pseudo-terminal can be made here (" << why
                     << "), so the progress on a terminal cannot be seen";
    const std::string onTerminal = "cd " + dir.string() +
                                   " && script -qec '" CORVANE_CLI
                                   " gcode ramp.bmp -o tty.dnc' /dev/null > tty.txt";
    ASSERT_EQ(std::system(onTerminal.c_str()), 0);
    const std::string shown = read(dir / "tty.txt");
    EXPECT_NE(shown.find("%"), std::string::npos) << shown;
    const auto at100 = shown.find("100%");
    EXPECT_TRUE(at100 == std::string::npos || shown.find("100%", at100 + 1) == std::string::npos)
        << shown;
    EXPECT_NE(shown.find("Ready..."), std::string::npos) << shown;
}

TEST_F(ReliefCli, AnInterruptRemovesTheTemporaryFileAndFails)
{
    // Black everywhere and a V bit 2000 cells across whose cone stays below 255 grey steps:
    // gouge control takes minutes, and the mesh's temporary file is open all that time.
    writeGreyBmp("black.bmp", std::vector<std::vector<int>>(400, std::vector<int>(400, 0)));
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        std::ofstream(dir / "out.dxf") << "the mesh that was there";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, STDERR_FILENO);
            if (::chdir(dir.c_str()) == 0)
                ::execl(CORVANE_CLI, CORVANE_CLI, "surface", "black.bmp", "-o", "out.dxf", "--tool",
                        "V Bit", "--diameter", "20", "--depth", "17", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const auto temporaryFiles = [&] {
            int count = 0;
            for (const auto& entry : fs::directory_iterator(dir))
                count += entry.path().filename().string().rfind(".out.dxf.", 0) == 0;
            return count;
        };
        for (int i = 0; i < 2000 && temporaryFiles() == 0; ++i)
            ::usleep(5000);
        ASSERT_EQ(temporaryFiles(), 1) << "the run never started writing";
        ::kill(child, signalNumber);
        int status = 0;
        pid_t ended = 0;
        for (int i = 0; i < 600 && ended == 0; ++i) {
            ended = ::waitpid(child, &status, WNOHANG);
            if (ended == 0)
                ::usleep(50000);
        }
        if (ended == 0) { // the signal did not end it: do not leave it running for minutes
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "the interrupted run went on";
        }
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_EQ(temporaryFiles(), 0);
        EXPECT_EQ(read(dir / "out.dxf"), "the mesh that was there");
    }
}

TEST_F(ReliefCli, OutOfMemoryNamesTheStepTheSizeAndTheAmount)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer cannot run under a memory limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "the address sanitizer cannot run under a memory limit";
#endif
#endif
    // The widest V bit whose cone stays below 255 grey steps: gouge control needs over
    // 130 MB of taps and copies, the program itself starts in about 60 MB.
    writeGreyBmp("black.bmp", std::vector<std::vector<int>>(200, std::vector<int>(200, 0)));
    std::ofstream(dir / "s.dxf") << "the mesh that was there";
    const auto limited = [&](const std::string& arguments) {
        const std::string command = "cd " + dir.string() +
                                    " && ulimit -v 100000 && " CORVANE_CLI " " + arguments +
                                    " --tool 'V Bit' --diameter 20 --depth 17 2> errors.txt";
        const int status = std::system(command.c_str());
        return CliRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, read(dir / "errors.txt")};
    };
    const CliRun gouge = limited("gouge black.bmp -o g.pgm");
    EXPECT_EQ(gouge.exitCode, 1) << gouge.errors;
    EXPECT_NE(gouge.errors.find("Not enough memory: gouge control for a 200 x 200 grid needs "
                                "about "),
              std::string::npos)
        << gouge.errors;
    // The engine's surface run, as the desktop program calls it, says the same.
    const CliRun surface = limited("surface black.bmp -o s.dxf");
    EXPECT_EQ(surface.exitCode, 1) << surface.errors;
    EXPECT_NE(surface.errors.find("Not enough memory: gouge control for a 202 x 202 grid"),
              std::string::npos)
        << surface.errors;
    EXPECT_EQ(read(dir / "s.dxf"), "the mesh that was there");
    EXPECT_FALSE(fs::exists(dir / "g.pgm"));
}

TEST_F(ReliefCli, GougeWritesTheAdjustedGridAsPgm)
{
    writeGreyBmp("lone.bmp", {{255, 255, 255}, {255, 0, 255}, {255, 255, 255}});
    const CliRun run = cli("gouge lone.bmp -o lone.pgm --tool \"V Bit\" --diameter 0.03 --angle 60 "
                           "--cell-w 0.01 --cell-h 0.01 --depth 0.25");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::string expected = "P5\n3 3\n255\n";
    for (int i = 0; i < 9; ++i)
        expected += char(i == 4 ? 237 : 255);
    EXPECT_EQ(read(dir / "lone.pgm"), expected);
}

TEST_F(ReliefCli, RefusesBadInputAndReportsFailedWrites)
{
    writeGreyBmp("p.bmp", {{0, 128, 255}, {64, 32, 16}});
    std::ofstream(dir / "keep.dnc") << "old program";
    const struct {
        std::string arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {"gcode p.bmp -o keep.dnc --depth-per-pass 0", 1,
         "Depth / Pass must be a number greater than 0"},
        {"gcode p.bmp -o keep.dnc --step-x 1,5", 1, "Step X: \"1,5\" is not a number"},
        {"gcode p.bmp -o keep.dnc --no-keep-aspect --step-x 9", 1,
         "Step X is more than twice Size X"},
        {"gcode p.bmp -o keep.dnc --tool \"V Bit\" --angle 200", 1,
         "Included Angle must lie between 5 and 179"},
        {"gcode p.bmp -o keep.dnc --diameter -1", 1, "Diameter can not be negative"},
        {"gcode p.bmp -o keep.dnc --rapid 0.1 --feed -5", 1,
         "Feedrate must be a number greater than 0"},
        {"gcode p.bmp -o keep.dnc --rapid -1 --feed 5", 1, "Rapid Height can not be negative"},
        {"gcode p.bmp -o keep.dnc --depth 7e305", 1, "Depth can not be more than 100000"},
        {"surface p.bmp -o x.dxf --no-gouge --depth 1e307", 1, "Depth can not be more than 100000"},
        {"surface p.bmp -o x.dxf --size-x 1e308", 1, "Size X can not be more than 100000"},
        {"gcode p.bmp -o keep.dnc --diameter 0", 1, "Tool Diameter can not be 0!"},
        {"gcode missing.bmp -o keep.dnc", 1, "missing.bmp"},
        {"gcode p.bmp -o /dev/full --no-gouge", 1,
         "/dev/full: write failed: No space left on device"},
        {"surface p.bmp -o no-such-folder/x.dxf", 1, "no-such-folder/x.dxf"},
        {"gouge p.bmp -o x.pgm --diameter 0", 1, "Tool Diameter can not be 0!"},
        {"gcode p.bmp -o keep.dnc --tool Chisel", 2, "Chisel"},
        {"surface p.bmp -o x.dxf --feed 10", 2, "--feed"},
        {"gcode p.bmp", 2, "--output"},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << "\n" << run.errors;
        EXPECT_NE(run.errors.find(c.message), std::string::npos) << c.arguments << "\n"
                                                                 << run.errors;
        EXPECT_EQ(run.errors.find("Ready..."), std::string::npos) << c.arguments;
    }
    EXPECT_EQ(read(dir / "keep.dnc"), "old program");
    EXPECT_FALSE(fs::exists(dir / "x.dxf"));

    // A zero diameter in the DXF run is only a warning: the mesh is written without it.
    const CliRun zero = cli("surface p.bmp -o zero.dxf --diameter 0");
    EXPECT_EQ(zero.exitCode, 0) << zero.errors;
    EXPECT_NE(zero.errors.find("Tool Diameter can not be 0!"), std::string::npos);
}

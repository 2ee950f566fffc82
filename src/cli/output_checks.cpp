#include "cli/output_checks.h"

#include "common/error.h"
#include "common/regular_file.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace corvane::cli {

namespace {

[[noreturn]] void failWriting(int err)
{
    throw Error(std::string("cannot write the output") +
                (err ? std::string(": ") + std::strerror(err) : std::string()));
}

} // namespace

void writeStandardOutput(std::string_view bytes)
{
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        failWriting(errno);
}

void flushStandardOutput()
{
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        failWriting(errno);
}

std::string lowerExtension(const std::string& path)
{
    std::string e = std::filesystem::path(path).extension().string();
    std::transform(e.begin(), e.end(), e.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return e;
}

void requireExtension(const std::string& option, const std::string& path,
                      std::initializer_list<const char*> extensions)
{
    const std::string given = lowerExtension(path);
    std::string names;
    for (const char* e : extensions) {
        if (given == e)
            return;
        names += names.empty() ? e : std::string(" or ") + e;
    }
    throw CLI::ValidationError(option, "the name must end in " + names + ": " + path);
}

void refuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs)
        if (!output.empty() && !input.empty() && sameFile(output, input))
            throw Error(output,
                        "is the same file as the input " + input + "; choose another output");
}

} // namespace corvane::cli

// corvane-cli dnc FILE: what the reader makes of a G-code program. By default the number of
// records of each kind and the extents, as text or as one line of JSON; with --dump every
// record exactly as stored, for comparing readers: a line "extents" with the eight values,
// then "kind line feed startAngle endAngle x y z i j" per record, numbers as "%.17g".
#include "cli/commands.h"
#include "cli/output_checks.h"
#include "cli/stderr_run_control.h"
#include "dnc/dnc_reader.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace corvane::cli {

namespace {

using dnc::DncMove;
using dnc::DncProgram;

struct DncOptions {
    std::string file;
    bool json = false;
    bool dump = false;
};

struct KindName {
    std::int32_t kind;
    const char* text;
    const char* json;
};
constexpr std::array<KindName, 6> kindNames{{
    {dnc::DncNone, "None (before any G0 to G3)", "none"},
    {dnc::DncRapid, "Rapid (G00)", "rapid"},
    {dnc::DncFeed, "Feed (G01)", "feed"},
    {dnc::DncClockwise, "Clockwise arc (G02)", "clockwiseArc"},
    {dnc::DncCounterClockwise, "Counter-clockwise arc (G03)", "counterClockwiseArc"},
    {dnc::DncFeedChange, "Feed change (F)", "feedChange"},
}};

std::array<long long, kindNames.size()> countKinds(const DncProgram& program)
{
    std::array<long long, kindNames.size()> counts{};
    for (const DncMove& m : program.moves)
        for (std::size_t k = 0; k < kindNames.size(); ++k)
            if (m.kind == kindNames[k].kind)
                ++counts[k];
    return counts;
}

// "%.17g" without depending on the locale: to_chars with a precision is defined as printf
// in the C locale.
void appendG17(std::string& out, double v)
{
    char text[40];
    const auto end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
    out += ' ';
    out.append(text, end.ptr);
}

void printDump(const DncProgram& program)
{
    const Extents3D& e = program.extents;
    std::string out = "extents";
    for (double v : {e.minX, e.maxX, e.minY, e.maxY, e.minZ, e.maxZ, e.rangeY, e.rangeX})
        appendG17(out, v);
    out += '\n';
    for (const DncMove& m : program.moves) {
        out += std::to_string(m.kind);
        out += ' ';
        out += std::to_string(m.line);
        for (double v : {m.feed, double(m.startAngle), double(m.endAngle), m.x, m.y, m.z,
                         double(m.i), double(m.j)})
            appendG17(out, v);
        out += '\n';
        if (out.size() > (1 << 20)) {
            writeStandardOutput(out);
            out.clear();
        }
    }
    writeStandardOutput(out);
    flushStandardOutput();
}

void printSummary(const DncOptions& options, const DncProgram& program)
{
    const auto counts = countKinds(program);
    const Extents3D& e = program.extents;
    if (options.json) {
        nlohmann::ordered_json kinds = nlohmann::ordered_json::object();
        for (std::size_t k = 0; k < kindNames.size(); ++k)
            kinds[kindNames[k].json] = counts[k];
        const nlohmann::ordered_json extents = {
            {"minX", e.minX}, {"maxX", e.maxX}, {"minY", e.minY},     {"maxY", e.maxY},
            {"minZ", e.minZ}, {"maxZ", e.maxZ}, {"rangeY", e.rangeY}, {"rangeX", e.rangeX}};
        const nlohmann::ordered_json info = {{"file", options.file},
                                             {"records", program.moves.size()},
                                             {"kinds", kinds},
                                             {"extents", extents}};
        std::cout << info.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    std::cout << "Records: " << program.moves.size() << "\n";
    for (std::size_t k = 0; k < kindNames.size(); ++k)
        std::cout << kindNames[k].text << ": " << counts[k] << "\n";
    std::string x = "X", y = "Y", z = "Z";
    for (auto [text, lo, hi] : {std::tuple{&x, e.minX, e.maxX}, std::tuple{&y, e.minY, e.maxY},
                                std::tuple{&z, e.minZ, e.maxZ}}) {
        appendG17(*text, lo);
        *text += " ..";
        appendG17(*text, hi);
    }
    std::cout << "Extents: " << x << ", " << y << ", " << z << "\n";
}

} // namespace

void addDncCommand(CLI::App& app)
{
    auto options = std::make_shared<DncOptions>();
    CLI::App* command =
        app.add_subcommand("dnc", "Read a G-code (DNC) program: record counts and extents");
    command->add_option("FILE", options->file, "G-code program")->required();
    CLI::Option* json = command->add_flag("--json", options->json, "One line of JSON");
    command->add_flag("--dump", options->dump, "Every record as stored, one line each")
        ->excludes(json);
    command->callback([options] {
        StderrRunControl control;
        const dnc::DncFile file = dnc::LoadDncProgram(options->file, control);
        if (options->dump)
            printDump(file.program);
        else
            printSummary(*options, file.program);
    });
}

} // namespace corvane::cli

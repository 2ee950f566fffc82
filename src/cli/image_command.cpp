// corvane-cli image IN -o OUT [--op NAME[:ARG,...]]... [--plugin PROGRAM]...: the picture
// window's image operations and plug-in filters as a chain, for batch work. Every step is
// checked before the picture is read, and OUT is only written once every step succeeded.
#include "cli/commands.h"
#include "cli/stderr_run_control.h"
#include "common/error.h"
#include "common/out_of_memory.h"
#include "imaging/depth_levels.h"
#include "imaging/operation_chain.h"
#include "imaging/operation_table.h"
#include "imaging/picture_io.h"
#include "imaging/plugin_filter.h"

#include <iostream>
#include <memory>
#include <optional>
#include <variant>

namespace corvane::cli {

namespace {

struct ImageOptions {
    std::string input;
    std::string output;
    std::vector<std::string> operations;
    std::vector<std::string> plugins;
    bool listOps = false;
};

using Step = std::variant<imaging::OperationCall, std::string>; // an operation or a plug-in

// The --op and --plugin options in the order they were given on the command line.
std::vector<Step> stepsInOrder(const CLI::App& command, const ImageOptions& options)
{
    std::vector<Step> steps;
    std::size_t op = 0, plugin = 0;
    for (const CLI::Option* given : command.parse_order()) {
        if (given->get_name() == "--op") {
            try {
                steps.emplace_back(imaging::parseOperationCall(options.operations.at(op++)));
            } catch (const Error& e) {
                throw CLI::ValidationError("--op", e.what());
            }
        } else if (given->get_name() == "--plugin") {
            steps.emplace_back(options.plugins.at(plugin++));
        }
    }
    return steps;
}

// The steps' memory and the output's limits, before any step runs.
void checkChain(imaging::PictureShape start, const std::vector<Step>& steps,
                const std::string& output)
{
    std::vector<std::optional<imaging::OperationCall>> calls;
    for (const Step& step : steps) {
        const auto* call = std::get_if<imaging::OperationCall>(&step);
        calls.push_back(call ? std::optional(*call) : std::nullopt);
    }
    imaging::checkOperationChain(start, calls, {imaging::fileTypeFromName(output), output},
                                 imaging::availableMemory());
}

void runImage(const CLI::App& command, const ImageOptions& options)
{
    if (options.listOps) {
        for (const imaging::ImageOperation& op : imaging::imageOperations())
            std::cout << imaging::describeOperation(op) << "\n";
        return;
    }
    if (options.input.empty() || options.output.empty())
        throw CLI::ValidationError("image", "IN and -o OUT are required (or --list-ops)");
    if (imaging::fileTypeFromName(options.output) == imaging::FileTypeUnknown)
        throw CLI::ValidationError("-o", "the output name must end in .bmp, .pcx, .tif, .tiff, "
                                         ".jpg, .jpeg, .png, .pbm, .pgm, .ppm or .pnm: " +
                                             options.output);
    const std::vector<Step> steps = stepsInOrder(command, options);

    StderrRunControl control;
    imaging::Picture picture = imaging::readPicture(options.input, control);
    // The operations and plug-ins work on 8 or 24 bits: a depth map goes to 256 levels first,
    // and the user is told so.
    if (picture.deep() && !steps.empty()) {
        std::cerr << "corvane-cli: " << imaging::ReduceTo256LevelsMessage << "\n";
        picture = imaging::reducedTo256Levels(picture);
    }
    checkChain(picture.shape(), steps, options.output);
    for (const Step& step : steps) {
        if (const auto* call = std::get_if<imaging::OperationCall>(&step)) {
            const imaging::PictureShape result = imaging::resultShape(*call, picture.shape());
            picture =
                runWithMemoryFor(call->operation->name, result.width, result.height, "picture",
                                 imaging::workingMemory(*call, picture.shape()), [&] {
                                     return call->operation->run(picture, call->arguments, control);
                                 });
        } else {
            const std::string& plugin = std::get<std::string>(step);
            // Its input as a PNM file, what it writes back and the result: three 24-bit
            // copies of a picture of about this size.
            const std::uint64_t bytes =
                9 * std::uint64_t(picture.width) * std::uint64_t(picture.height);
            picture = runWithMemoryFor(
                "plug-in " + imaging::pluginName(plugin), picture.width, picture.height, "picture",
                bytes, [&] { return imaging::runPluginFilter(plugin, picture, control); });
        }
    }
    control.showStatus("Saving " + options.output + "...");
    imaging::writePicture(picture, options.output, imaging::fileTypeFromName(options.output), {},
                          control);
}

} // namespace

void addImageCommand(CLI::App& app)
{
    auto options = std::make_shared<ImageOptions>();
    CLI::App* image =
        app.add_subcommand("image", "Run image operations and plug-in filters over a picture");
    image->add_option("IN", options->input, "Picture to read");
    image->add_option("-o,--output", options->output,
                      "Picture to write; its extension gives the kind");
    image
        ->add_option("--op", options->operations,
                     "Operation NAME[:ARG,ARG...], run in the order given (see --list-ops)")
        ->take_all()
        ->allow_extra_args(false);
    image
        ->add_option("--plugin", options->plugins, "Plug-in program run at this place in the chain")
        ->take_all()
        ->allow_extra_args(false);
    image->add_flag("--list-ops", options->listOps,
                    "Print every operation with its arguments' names and ranges");
    image->callback([image, options] { runImage(*image, *options); });
}

} // namespace corvane::cli

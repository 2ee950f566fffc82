// corvane-cli info PICTURE: the size, depth and resolution of a picture file, as text or as
// one line of JSON for scripts.
#include "cli/commands.h"
#include "imaging/picture_io.h"

#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

namespace corvane::cli {

namespace {

struct InfoOptions {
    std::string picture;
    bool json = false;
};

void printInfo(const InfoOptions& options)
{
    const imaging::Picture p = imaging::readPicture(options.picture);
    if (options.json) {
        const nlohmann::ordered_json info = {{"file", options.picture}, {"width", p.width},
                                             {"height", p.height},      {"bitCount", p.bitCount},
                                             {"xRes", p.xRes},          {"yRes", p.yRes}};
        // A file name need not be UTF-8; such bytes become U+FFFD rather than an error.
        std::cout << info.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    std::cout << "Width: " << p.width << "\n"
              << "Height: " << p.height << "\n"
              << "Bit count: " << p.bitCount << "\n"
              << "Resolution: " << p.xRes << " x " << p.yRes << "\n";
}

} // namespace

void addInfoCommand(CLI::App& app)
{
    auto options = std::make_shared<InfoOptions>();
    CLI::App* info = app.add_subcommand("info", "Show a picture's size, bit depth and resolution");
    info->add_option("PICTURE", options->picture, "Picture file")->required();
    info->add_flag("--json", options->json, "One line of JSON instead of text");
    info->callback([options] { printInfo(*options); });
}

} // namespace corvane::cli

// Plug-in filters: any executable program that reads a binary PNM picture on its standard
// input and writes the filtered picture as a binary PNM on its standard output, the netpbm
// way (pnminvert, pnmsmooth and the like work as they are).
#pragma once

#include "common/run_control.h"
#include "imaging/picture.h"

#include <string>
#include <vector>

namespace corvane::imaging {

// Every executable regular file in folder (symbolic links followed), sorted by name; empty
// when the folder does not exist or cannot be read.
std::vector<std::string> listPlugins(const std::string& folder);

// The name a plug-in is offered under: its file name.
std::string pluginName(const std::string& programPath);

// Runs the program over the picture and returns what it wrote. While it runs, the control
// gets a status text, the share of the picture handed over so far on the gauge, and a
// checkpoint about ten times a second; Esc (or a stop request) kills the program and throws
// corvane::Cancelled. Throws corvane::Error naming the plug-in when it cannot be started,
// exits with a non-zero status, is killed by a signal, writes something that is not a
// picture (with the first line of what it wrote on its error stream, cut to 200 characters)
// or writes more than 16 times the picture it was given (64 MB at least). The palette of a
// palette picture whose result is grey with the same size is kept when the result fits it;
// otherwise the result's own depth (8-bit grey or 24-bit) is returned.
//
// The plug-in runs in a process group of its own, ended (with whatever the plug-in started)
// when the filter ends in any way and by the interrupt handler (temporary_files.h).
Picture runPluginFilter(const std::string& programPath, const Picture& picture,
                        RunControl& control = silentRunControl());

} // namespace corvane::imaging

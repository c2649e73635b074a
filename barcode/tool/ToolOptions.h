#pragma once
// Command line of the stelcode tool: which data to encode, how, and where to.
#include <stelcode/Encoder.h>
#include <stelcode/Render.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

struct ToolOptions
{
    std::string text;                             // from the command line
    bool textGiven = false;                       // false: from -i FILE or standard input
    std::string inputFile;                        // "-" or empty: standard input
    bool binary = false;                          // the bytes as they are, not UTF-8
    std::string output;                           // empty: no image; "-": standard output
    std::optional<stelcode::ImageFormat> format;  // --format
    bool printCodewords = false;
    bool help = false;
    bool version = false;
    stelcode::EncodeOptions encode;
    stelcode::RenderOptions render;
};

struct ToolParse
{
    std::optional<ToolOptions> options;
    std::string error;  // why there are no options, in Spanish
};

// Reads the arguments that follow the program name.
ToolParse parseToolOptions(const std::vector<std::string>& args);

std::string toolUsage();

// Where the image goes: the file name (the format's extension appended when
// the name has none of .bmp, .png, .svg) and its format.
struct OutputTarget
{
    std::string path;  // empty: standard output
    stelcode::ImageFormat format = stelcode::ImageFormat::Bmp;
};
OutputTarget outputTarget(const ToolOptions& options);

// Warnings, in Spanish, one a line: characters the symbol does not carry as
// given, and geometry below the minimums of ISO/IEC 15438 (rows at least three
// modules high, quiet zones at least two modules wide).
std::vector<std::string> toolWarnings(
    const ToolOptions& options, const stelcode::EncodeResult& result);

// Runs the tool; the exit status: 0 done (warnings or not), 1 the data does
// not fit or cannot be read or the image cannot be written, 2 bad options.
int runTool(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err);

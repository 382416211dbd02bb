// The command line of tavenro-cli: QQ numbers and files of numbers in the
// order given, the output format and the switches.
#pragma once

#include "text/text_array.h"

#include <span>
#include <string_view>
#include <vector>

namespace tavenro {

enum class OutputFormat { Table, Tsv, Json, M3u };

// One QQ number, or a file holding one per line ("-": standard input).
struct NumberSource {
    enum class Kind { Number, File };
    Kind kind = Kind::Number;
    Text value;

    friend bool operator==(const NumberSource&, const NumberSource&) = default;
};

struct CliOptions {
    std::vector<NumberSource> sources;
    OutputFormat format = OutputFormat::Table;
    bool raw = false;
    bool help = false;
    bool version = false;

    friend bool operator==(const CliOptions&, const CliOptions&) = default;
};

struct ParsedArguments {
    CliOptions options;
    // A one-line message naming the bad argument; empty when the line is
    // usable.
    Text error;
};

// Reads the arguments after the program name, left to right. --help and
// --version end the reading where they stand, so that they work whatever
// follows; an error met before them wins.
[[nodiscard]] ParsedArguments ParseArguments(std::span<const std::string_view> arguments);

[[nodiscard]] std::string_view UsageText();
[[nodiscard]] std::string_view VersionText();

} // namespace tavenro

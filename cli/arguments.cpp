#include "cli/arguments.h"

#include "cli/number_list.h"
#include "cli/one_line.h"
#include "text/text.h"

#include <optional>

namespace tavenro {

namespace {

std::optional<OutputFormat> FormatNamed(std::string_view name) {
    if (name == "table")
        return OutputFormat::Table;
    if (name == "tsv")
        return OutputFormat::Tsv;
    if (name == "json")
        return OutputFormat::Json;
    if (name == "m3u")
        return OutputFormat::M3u;
    return std::nullopt;
}

// Splits "--name=value"; options that take a value accept both spellings.
struct Option {
    std::string_view name;
    std::optional<std::string_view> attached;
};

Option SplitOption(std::string_view argument) {
    const auto equals = argument.find('=');
    if (!argument.starts_with("--") || equals == std::string_view::npos)
        return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

Text Quoted(std::string_view argument) {
    return ConcatText({"'", OneLine(argument), "'"});
}

ParsedArguments Failure(CliOptions options, Text message) {
    return {std::move(options), std::move(message)};
}

} // namespace

ParsedArguments ParseArguments(std::span<const std::string_view> arguments) {
    CliOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const bool looksLikeOption = !optionsEnded && argument.size() > 1 && argument[0] == '-';
        if (!looksLikeOption) {
            if (!IsQqNumber(argument))
                return Failure(options, ConcatText({Quoted(argument), " is not a QQ number"}));
            options.sources.push_back({NumberSource::Kind::Number, Text(argument)});
            continue;
        }

        const Option option = SplitOption(argument);
        const bool takesValue = option.name == "-i" || option.name == "--input" ||
                                option.name == "-f" || option.name == "--format";
        if (option.attached && !takesValue)
            return Failure(options, ConcatText({Quoted(option.name), " takes no value"}));
        std::optional<std::string_view> value = option.attached;
        if (takesValue && !value) {
            if (i + 1 == arguments.size())
                return Failure(options, ConcatText({Quoted(option.name), " needs a value"}));
            value = arguments[++i];
        }

        if (option.name == "--") {
            optionsEnded = true;
        } else if (option.name == "-h" || option.name == "--help") {
            options.help = true;
            return {options, {}};
        } else if (option.name == "--version") {
            options.version = true;
            return {options, {}};
        } else if (option.name == "--raw") {
            options.raw = true;
        } else if (option.name == "-i" || option.name == "--input") {
            if (value->empty())
                return Failure(options, ConcatText({Quoted(option.name), " needs a file name"}));
            options.sources.push_back({NumberSource::Kind::File, Text(*value)});
        } else if (option.name == "-f" || option.name == "--format") {
            const auto format = FormatNamed(*value);
            if (!format)
                return Failure(options, ConcatText({"unknown format ", Quoted(*value),
                                                    ": use table, tsv, json or m3u"}));
            options.format = *format;
        } else {
            return Failure(options, ConcatText({"unknown option ", Quoted(option.name)}));
        }
    }

    if (options.sources.empty())
        return Failure(options, "no QQ number given");
    // JSON text is UTF-8 by definition; the service's GBK bytes cannot be
    // put into it unconverted.
    if (options.raw && options.format == OutputFormat::Json)
        return Failure(options, "'--raw' cannot be combined with '--format json', which is "
                                "always UTF-8");
    return {options, {}};
}

std::string_view UsageText() {
    return "Usage: tavenro-cli [OPTION]... QQ-NUMBER...\n"
           "       tavenro-cli [OPTION]... -i FILE\n"
           "Lists the background-music playlist of each QQ number: the same search,\n"
           "the same songs in the same order as the Tavenro window.\n"
           "\n"
           "  -i, --input FILE    read QQ numbers from FILE, one a line ('-': standard\n"
           "                      input); blank lines are skipped\n"
           "  -f, --format FORMAT table (default), tsv, json or m3u\n"
           "      --raw           write the service's texts as it sent them (GBK),\n"
           "                      not converted (not with json)\n"
           "  -h, --help          show this help and exit\n"
           "      --version       show the version and exit\n"
           "\n"
           "Exit status: 0 when songs were found, 1 when none were, 2 on a usage error.\n"
           "TAVENRO_MUSIC_HOST (host or host:port) replaces the music service's host.\n";
}

std::string_view VersionText() {
    return "tavenro-cli " TAVENRO_CLI_VERSION "\n";
}

} // namespace tavenro

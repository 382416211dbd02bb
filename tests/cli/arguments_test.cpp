// The command line: what each argument does, and the one-line message that
// names the argument a usage error comes from.
#include "cli/arguments.h"

#include <gtest/gtest.h>
#include <vector>

namespace tavenro {
namespace {

using Kind = NumberSource::Kind;

ParsedArguments Parse(const std::vector<std::string_view>& arguments) {
    return ParseArguments(arguments);
}

CliOptions WithNumbers(std::vector<NumberSource> sources, OutputFormat format = OutputFormat::Table,
                       bool raw = false) {
    CliOptions options;
    options.sources = std::move(sources);
    options.format = format;
    options.raw = raw;
    return options;
}

TEST(ParseArguments, UsableLines) {
    CliOptions help;
    help.help = true;
    CliOptions version;
    version.version = true;
    CliOptions helpAfterNumber = WithNumbers({{Kind::Number, "1"}});
    helpAfterNumber.help = true;

    struct Case {
        const char* what;
        std::vector<std::string_view> arguments;
        CliOptions expected;
    };
    const Case cases[] = {
        {"one number", {"10001"}, WithNumbers({{Kind::Number, "10001"}})},
        {"numbers keep their order",
         {"10002", "10001", "10002"},
         WithNumbers({{Kind::Number, "10002"}, {Kind::Number, "10001"}, {Kind::Number, "10002"}})},
        {"options after the number",
         {"10001", "--format", "m3u"},
         WithNumbers({{Kind::Number, "10001"}}, OutputFormat::M3u)},
        {"attached value",
         {"--format=json", "1"},
         WithNumbers({{Kind::Number, "1"}}, OutputFormat::Json)},
        {"short option, the last format wins",
         {"-f", "json", "1", "-f", "tsv"},
         WithNumbers({{Kind::Number, "1"}}, OutputFormat::Tsv)},
        {"files in place among numbers",
         {"1", "-i", "list.txt", "2", "--input=-", "--input", "-"},
         WithNumbers({{Kind::Number, "1"},
                      {Kind::File, "list.txt"},
                      {Kind::Number, "2"},
                      {Kind::File, "-"},
                      {Kind::File, "-"}})},
        {"a file name that looks like an option",
         {"-i", "--raw"},
         WithNumbers({{Kind::File, "--raw"}})},
        {"raw",
         {"--raw", "1", "--format", "m3u"},
         WithNumbers({{Kind::Number, "1"}}, OutputFormat::M3u, true)},
        {"-- ends the options", {"--", "007"}, WithNumbers({{Kind::Number, "007"}})},
        {"help stops reading", {"--help", "--bogus", "abc"}, help},
        {"short help after a number", {"1", "-h"}, helpAfterNumber},
        {"version without a number", {"--version"}, version},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ParsedArguments parsed = Parse(c.arguments);
        EXPECT_EQ(parsed.error, "");
        EXPECT_EQ(parsed.options, c.expected);
    }
}

TEST(ParseArguments, UsageErrorsNameTheArgument) {
    struct Case {
        std::vector<std::string_view> arguments;
        std::string_view named; // the part of the message that names the culprit
    };
    const Case cases[] = {
        {{}, "no QQ number given"},
        {{"--raw", "-f", "tsv"}, "no QQ number given"},
        {{"abc"}, "'abc' is not a QQ number"},
        {{"10001x"}, "'10001x'"},
        {{""}, "'' is not a QQ number"},
        {{"-"}, "'-' is not a QQ number"},
        {{"1 2"}, "'1 2'"},
        {{"10001&uin=2"}, "'10001&uin=2'"},
        {{"1", "--", "--raw"}, "'--raw' is not a QQ number"},
        {{"1", "--bogus"}, "unknown option '--bogus'"},
        {{"1", "-x"}, "unknown option '-x'"},
        {{"1", "--format"}, "'--format' needs a value"},
        {{"1", "-i"}, "'-i' needs a value"},
        {{"1", "--input="}, "'--input' needs a file name"},
        {{"1", "--format", "xml"}, "unknown format 'xml'"},
        {{"1", "--format=JSON"}, "unknown format 'JSON'"},
        {{"1", "--raw=yes"}, "'--raw' takes no value"},
        {{"1", "--raw", "--format", "json"}, "'--raw' cannot be combined with '--format json'"},
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        // A control byte from the command line does not reach the terminal.
        {{"1\x1B[2J"}, "'1 [2J' is not a QQ number"},
    };
    for (const Case& c : cases) {
        std::string line;
        for (std::string_view argument : c.arguments)
            line.append(argument).append(" ");
        SCOPED_TRACE(line);
        const ParsedArguments parsed = Parse(c.arguments);
        EXPECT_NE(parsed.error.find(c.named), std::string::npos) << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

TEST(ParseArguments, HelpNamesEveryOptionAndVersionIsOneLine) {
    for (std::string_view option : {"--input", "--format", "tsv, json or m3u", "--raw", "--help",
                                    "--version", "TAVENRO_MUSIC_HOST"})
        EXPECT_NE(UsageText().find(option), std::string_view::npos) << option;
    EXPECT_EQ(VersionText(), "tavenro-cli 1.0.0\n");
}

} // namespace
} // namespace tavenro

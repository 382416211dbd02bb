// tavenro-cli: the window's song search for one or more QQ numbers, printed
// as a table, TSV, JSON or an M3U playlist. No announcement check: the
// command line only searches.
#include "cli/arguments.h"
#include "cli/console_output.h"
#include "cli/gbk_to_utf8.h"
#include "cli/number_list.h"
#include "cli/one_line.h"
#include "cli/search_number.h"
#include "cli/song_formatter.h"
#include "text/fatal.h"
#include "text/text.h"

#include <cstdio>
#include <optional>
#include <vector>

namespace tavenro {

namespace {

constexpr int kSongsFound = 0;
constexpr int kNoSongs = 1;
constexpr int kUsageError = 2;

int UsageError(std::string_view message) {
    const Text line = ConcatText({"tavenro-cli: ", message, " (see --help)\n"});
    std::fwrite(line.data(), 1, line.size(), stderr);
    return kUsageError;
}

// Every number of the command line in order, files read in place. All input
// is read and checked before the first request.
std::optional<std::vector<Text>> CollectNumbers(const std::vector<NumberSource>& sources,
                                                Text& error) {
    std::vector<Text> numbers;
    for (const NumberSource& source : sources) {
        if (source.kind == NumberSource::Kind::Number) {
            numbers.push_back(source.value);
            continue;
        }
        const Text name = source.value == "-" ? Text("standard input") : OneLine(source.value);
        const std::optional<Text> content = ReadNumberFile(source.value);
        if (!content) {
            error = ConcatText({"cannot read '", name, "'"});
            return std::nullopt;
        }
        NumberLines lines = ParseNumberLines(*content);
        if (!lines.error.empty()) {
            error = ConcatText({"'", name, "' ", lines.error});
            return std::nullopt;
        }
        numbers.insert(numbers.end(), lines.numbers.begin(), lines.numbers.end());
    }
    if (numbers.empty()) {
        error = "no QQ number given";
        return std::nullopt;
    }
    return numbers;
}

int Run(const std::vector<std::string_view>& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments);
    if (!parsed.error.empty())
        return UsageError(parsed.error);
    const CliOptions& options = parsed.options;
    ConsoleOutput out(options.raw);
    if (options.help || options.version) {
        out.Write(options.help ? UsageText() : VersionText());
        return kSongsFound;
    }

    Text error;
    const auto numbers = CollectNumbers(options.sources, error);
    if (!numbers)
        return UsageError(error);

    OutputText convert = [](std::string_view gbk) { return GbkToUtf8(gbk); };
    if (options.raw)
        convert = [](std::string_view gbk) { return Text(gbk); };
    const auto formatter = MakeSongFormatter(options.format, convert);

    bool found = false;
    out.Write(formatter->Begin());
    for (const Text& number : *numbers) {
        const NumberSongs result = SearchNumber(number);
        found = found || !result.songs.empty();
        out.Write(formatter->Add(result));
    }
    out.Write(formatter->End());
    return found ? kSongsFound : kNoSongs;
}

} // namespace

} // namespace tavenro

int main(int argc, char** argv) {
    tavenro::InstallOutOfMemoryStop();
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tavenro::Run(arguments);
}

#include "cli/number_list.h"

#include "cli/one_line.h"
#include "text/bytes.h"
#include "text/text.h"

#include <cstdio>
#include <memory>

namespace tavenro {

bool IsQqNumber(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

NumberLines ParseNumberLines(std::string_view content) {
    NumberLines result;
    // Notepad starts UTF-8 files with a byte-order mark.
    if (content.starts_with("\xEF\xBB\xBF"))
        content.remove_prefix(3);
    int lineNumber = 0;
    while (!content.empty()) {
        ++lineNumber;
        const auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);

        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        if (!IsQqNumber(line)) {
            result.error = ConcatText(
                {"line ", ToText(lineNumber), ": '", OneLine(line), "' is not a QQ number"});
            return result;
        }
        result.numbers.emplace_back(line);
    }
    return result;
}

std::optional<Text> ReadNumberFile(std::string_view path) {
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> owned;
    std::FILE* file = stdin;
    if (path != "-") {
        owned.reset(std::fopen(Text(path).c_str(), "rb"));
        if (!owned)
            return std::nullopt;
        file = owned.get();
    }

    Text content;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    if (std::ferror(file))
        return std::nullopt;
    return content;
}

} // namespace tavenro

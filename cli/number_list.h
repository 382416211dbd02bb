// QQ numbers as tavenro-cli accepts them, from arguments and from files.
#pragma once

#include "text/text_array.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tavenro {

// One or more ASCII digits and nothing else. The window sends whatever is
// typed; the command line refuses anything else, so that a stray word or a
// "&" cannot change the request.
[[nodiscard]] bool IsQqNumber(std::string_view text);

struct NumberLines {
    std::vector<Text> numbers;
    // Names the first line that is not a QQ number ("line 3: 'abc' is not a
    // QQ number"); empty when every line was usable.
    Text error;
};

// One number a line; blanks, tabs and a carriage return around a number are
// dropped (files written on Windows), empty lines are skipped, and so is a
// UTF-8 byte-order mark at the start.
[[nodiscard]] NumberLines ParseNumberLines(std::string_view content);

// The whole content of the file, or of standard input for "-"; nothing when
// it cannot be opened or read.
[[nodiscard]] std::optional<Text> ReadNumberFile(std::string_view path);

} // namespace tavenro

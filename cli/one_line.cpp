#include "cli/one_line.h"

namespace tavenro {

Text OneLine(std::string_view text) {
    Text line(text);
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return line;
}

} // namespace tavenro

// Strings are converted first and escaped after: in GBK the second byte of a
// character may be 0x5C, the backslash, which must not be escaped; in UTF-8
// no ASCII byte occurs inside a character.
#include "cli/song_formatter.h"
#include "text/bytes.h"

namespace tavenro {

namespace {

Text JsonString(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    Text out = "\"";
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F) {
                out += "\\u00";
                out += kHex[byte >> 4];
                out += kHex[byte & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

class JsonFormatter : public SongFormatter {
  public:
    explicit JsonFormatter(OutputText convert) : convert_(std::move(convert)) {}

    Text Begin() override { return "["; }

    Text Add(const NumberSongs& result) override {
        Text out;
        const Text number = JsonString(convert_(result.number));
        int id = 0;
        for (const Song& song : result.songs) {
            out.append(empty_ ? "\n" : ",\n");
            empty_ = false;
            out.append("  {\"qq\": ").append(number);
            out.append(", \"id\": ").append(ToText(++id));
            out.append(", \"name\": ").append(JsonString(convert_(song.name)));
            out.append(", \"address\": ").append(JsonString(convert_(song.address)));
            out.append("}");
        }
        return out;
    }

    Text End() override { return empty_ ? "]\n" : "\n]\n"; }

  private:
    OutputText convert_;
    bool empty_ = true;
};

} // namespace

std::unique_ptr<SongFormatter> MakeJsonFormatter(OutputText convert) {
    return std::make_unique<JsonFormatter>(std::move(convert));
}

} // namespace tavenro

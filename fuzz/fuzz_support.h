// What the fuzz targets share: reading the arguments of one call out of the
// fuzzer's bytes, and stopping with a readable report at a difference.
//
// Input format (so that seeds can be written by hand): fields separated by
// zero bytes. A text field is used as it is; it can hold every byte but zero,
// as a Text can. A number field is decimal with an optional "-", wrapping to
// 32 bits ("4294967295" is -1, "-2147483648" the least int); an empty number
// field leaves an optional argument out. A flag field is on when it begins
// with "1". Missing fields are empty.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavenro::fuzz {

class Fields {
  public:
    Fields(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    std::string_view Text() {
        const std::size_t zero = rest_.find('\0');
        const std::string_view field = rest_.substr(0, zero);
        rest_ = zero == std::string_view::npos ? std::string_view() : rest_.substr(zero + 1);
        return field;
    }

    std::optional<int> Number() {
        const std::string_view field = Text();
        if (field.empty())
            return std::nullopt;
        std::size_t i = 0;
        const bool negative = field[0] == '-';
        if (negative)
            ++i;
        std::uint32_t value = 0;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
            value = value * 10 + static_cast<std::uint32_t>(field[i] - '0');
        return static_cast<int>(negative ? ~value + 1 : value);
    }

    int NumberOr(int absent) { return Number().value_or(absent); }

    bool Flag() {
        const std::string_view field = Text();
        return !field.empty() && field[0] == '1';
    }

    // Everything not read yet, zero bytes included.
    std::string_view Rest() {
        const std::string_view rest = rest_;
        rest_ = {};
        return rest;
    }

  private:
    std::string_view rest_;
};

// A value as a report shows it: texts quoted with every byte outside
// printable ASCII as \xNN.
inline std::string Shown(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        }
    }
    return out + "\"";
}
inline std::string Shown(const std::string& text) {
    return Shown(std::string_view(text));
}
inline std::string Shown(const char* text) {
    return Shown(std::string_view(text));
}
inline std::string Shown(long long value) {
    return std::to_string(value);
}
inline std::string Shown(int value) {
    return std::to_string(value);
}
inline std::string Shown(bool value) {
    return value ? "true" : "false";
}
inline std::string Shown(const std::optional<int>& value) {
    return value ? std::to_string(*value) : "(left out)";
}
inline std::string Shown(const std::vector<std::string>& pieces) {
    std::string out = "[";
    for (const std::string& piece : pieces)
        out += (out.size() > 1 ? ", " : "") + Shown(piece);
    return out + "]";
}

// The arguments of the call under test, for the report.
class Call {
  public:
    explicit Call(std::string routine) : text_(std::move(routine) + "(") {}

    template <class T> Call& With(const T& argument) {
        text_ += (first_ ? "" : ", ") + Shown(argument);
        first_ = false;
        return *this;
    }

    [[nodiscard]] std::string Text() const { return text_ + ")"; }

  private:
    std::string text_;
    bool first_ = true;
};

[[noreturn]] inline void Fail(const Call& call, const std::string& got, const std::string& want) {
    std::fprintf(stderr, "\n%s\n  gave:      %s\n  rules say: %s\n", call.Text().c_str(),
                 got.c_str(), want.c_str());
    std::abort();
}

template <class Got, class Want>
void ExpectSame(const Call& call, const Got& got, const Want& want) {
    if (!(got == want))
        Fail(call, Shown(got), Shown(want));
}

// A property that holds whatever the rules give in detail.
inline void ExpectThat(bool holds, const Call& call, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "\n%s\n  breaks: %s\n", call.Text().c_str(), property);
        std::abort();
    }
}

} // namespace tavenro::fuzz

// The output formats of tavenro-cli. A formatter is fed one number's songs
// at a time, so that each number is printed as soon as its search ends, and
// returns the bytes to write.
#pragma once

#include "cli/arguments.h"
#include "cli/song_rows.h"

#include <functional>
#include <memory>
#include <string_view>

namespace tavenro {

// Turns a text in the service's code page (GBK) into the bytes written out:
// UTF-8, or unchanged for --raw. Every text the formatters write passes
// through it, their own GBK literals included.
using OutputText = std::function<Text(std::string_view gbk)>;

class SongFormatter {
  public:
    virtual ~SongFormatter() = default;

    // Before the first number.
    [[nodiscard]] virtual Text Begin() { return {}; }
    // One number's songs.
    [[nodiscard]] virtual Text Add(const NumberSongs& result) = 0;
    // After the last number.
    [[nodiscard]] virtual Text End() { return {}; }
};

[[nodiscard]] std::unique_ptr<SongFormatter> MakeSongFormatter(OutputFormat format,
                                                               OutputText convert);

// Per number: a heading with the number, a table (ID, name, address) with
// aligned columns and the window's count line; a blank line between numbers.
[[nodiscard]] std::unique_ptr<SongFormatter> MakeTableFormatter(OutputText convert);

// A header line, then one line per song: number, ID, name, address.
[[nodiscard]] std::unique_ptr<SongFormatter> MakeTsvFormatter(OutputText convert);

// One array of objects {"qq", "id", "name", "address"}, one object a line.
// JSON is UTF-8: convert must yield it.
[[nodiscard]] std::unique_ptr<SongFormatter> MakeJsonFormatter(OutputText convert);

// An extended M3U playlist of every number's songs; a song without an
// address has nothing to play and is left out.
[[nodiscard]] std::unique_ptr<SongFormatter> MakeM3uFormatter(OutputText convert);

} // namespace tavenro

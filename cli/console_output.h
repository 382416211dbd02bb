// Standard output of tavenro-cli.
//
// The formatters hand over UTF-8 (or, for --raw, the service's GBK bytes).
// Natively these bytes go to stdout as they are. Under Windows:
// - stdout is a console: UTF-8 is written as UTF-16 with WriteConsoleW, so
//   Chinese names show whatever the console's code page; raw bytes are
//   written as they are and the console reads them in its code page (936 on
//   a Chinese system).
// - stdout is a file or a pipe: the bytes are written as they are, UTF-8
//   unless --raw, the same bytes as natively; files, scripts and players get
//   one encoding on every system, independent of the console's settings.
// Line ends are "\n" everywhere.
#pragma once

#include <string_view>

namespace tavenro {

class ConsoleOutput {
  public:
    // raw: the bytes are GBK as received, not UTF-8.
    explicit ConsoleOutput(bool raw) : raw_(raw) {}

    void Write(std::string_view bytes);

  private:
    bool raw_;
};

} // namespace tavenro

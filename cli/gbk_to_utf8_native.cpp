#include "cli/gbk_to_utf8.h"

#include <cerrno>
#include <iconv.h>

namespace tavenro {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class Converter {
  public:
    // Code page 936 by its Windows name: the table the Windows build reads
    // the service's texts with.
    Converter() : handle_(iconv_open("UTF-8", "CP936")) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (Usable())
            iconv_close(handle_);
    }

    [[nodiscard]] bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    [[nodiscard]] iconv_t Handle() const { return handle_; }

  private:
    iconv_t handle_;
};

} // namespace

Text GbkToUtf8(std::string_view gbk) {
    Converter converter;
    Text utf8;
    if (!converter.Usable()) {
        // Without the table only ASCII can be told apart.
        for (const char c : gbk)
            utf8 += static_cast<unsigned char>(c) < 0x80 ? std::string_view(&c, 1) : kReplacement;
        return utf8;
    }

    char buffer[4096];
    char* in = const_cast<char*>(gbk.data());
    std::size_t inLeft = gbk.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t done = iconv(converter.Handle(), &in, &inLeft, &out, &outLeft);
        utf8.append(buffer, static_cast<std::size_t>(out - buffer));
        if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a lead byte at the end): one byte is replaced
        // and conversion resumes after it.
        utf8 += kReplacement;
        ++in;
        --inLeft;
    }
    return utf8;
}

} // namespace tavenro

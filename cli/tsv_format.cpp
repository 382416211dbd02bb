#include "cli/one_line.h"
#include "cli/song_formatter.h"

namespace tavenro {

namespace {

class TsvFormatter : public SongFormatter {
  public:
    explicit TsvFormatter(OutputText convert) : convert_(std::move(convert)) {}

    Text Begin() override { return convert_("qq\tid\tname\taddress\n"); }

    Text Add(const NumberSongs& result) override {
        Text out;
        const Text number = OneLine(result.number);
        for (const Song& song : result.songs) {
            out.append(number).append("\t").append(OneLine(song.id)).append("\t");
            out.append(OneLine(song.name)).append("\t").append(OneLine(song.address));
            out.append("\n");
        }
        return convert_(out);
    }

  private:
    OutputText convert_;
};

} // namespace

std::unique_ptr<SongFormatter> MakeTsvFormatter(OutputText convert) {
    return std::make_unique<TsvFormatter>(std::move(convert));
}

} // namespace tavenro

#include "cli/one_line.h"
#include "cli/song_formatter.h"

namespace tavenro {

namespace {

class M3uFormatter : public SongFormatter {
  public:
    explicit M3uFormatter(OutputText convert) : convert_(std::move(convert)) {}

    Text Begin() override { return convert_("#EXTM3U\n"); }

    Text Add(const NumberSongs& result) override {
        Text out;
        for (const Song& song : result.songs) {
            if (song.address.empty())
                continue;
            // The duration is unknown: -1, as the format provides.
            out.append("#EXTINF:-1,").append(OneLine(song.name)).append("\n");
            out.append(OneLine(song.address)).append("\n");
        }
        return convert_(out);
    }

  private:
    OutputText convert_;
};

} // namespace

std::unique_ptr<SongFormatter> MakeM3uFormatter(OutputText convert) {
    return std::make_unique<M3uFormatter>(std::move(convert));
}

} // namespace tavenro

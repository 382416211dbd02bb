// The table is laid out in GBK, before conversion: there a double-byte
// character is two bytes wide and two columns wide, so byte counts are
// screen columns.
#include "cli/one_line.h"
#include "cli/song_formatter.h"
#include "text/text.h"

#include <algorithm>

namespace tavenro {

namespace {

constexpr std::string_view kGap = "  ";

// The window's label of the number box and its column headers.
constexpr std::string_view kNumberLabel = "QQ号码：";
constexpr std::string_view kIdHeader = "ID";
constexpr std::string_view kNameHeader = "歌曲名称";
constexpr std::string_view kAddressHeader = "歌曲地址";

void AppendRow(Text& out, std::string_view id, std::string_view name, std::string_view address,
               std::size_t idWidth, std::size_t nameWidth) {
    out.append(id).append(idWidth - id.size(), ' ').append(kGap);
    out.append(name).append(nameWidth - name.size(), ' ').append(kGap);
    out.append(address).append("\n");
}

class TableFormatter : public SongFormatter {
  public:
    explicit TableFormatter(OutputText convert) : convert_(std::move(convert)) {}

    Text Add(const NumberSongs& result) override {
        std::vector<Song> rows;
        std::size_t idWidth = kIdHeader.size();
        std::size_t nameWidth = kNameHeader.size();
        for (const Song& song : result.songs) {
            rows.push_back({OneLine(song.id), OneLine(song.name), OneLine(song.address)});
            idWidth = std::max(idWidth, rows.back().id.size());
            nameWidth = std::max(nameWidth, rows.back().name.size());
        }

        Text out = first_ ? Text() : Text("\n");
        first_ = false;
        out.append(kNumberLabel).append(OneLine(result.number)).append("\n");
        AppendRow(out, kIdHeader, kNameHeader, kAddressHeader, idWidth, nameWidth);
        for (const Song& row : rows)
            AppendRow(out, row.id, row.name, row.address, idWidth, nameWidth);
        out.append(OneLine(result.status)).append("\n");
        return convert_(out);
    }

  private:
    OutputText convert_;
    bool first_ = true;
};

} // namespace

std::unique_ptr<SongFormatter> MakeTableFormatter(OutputText convert) {
    return std::make_unique<TableFormatter>(std::move(convert));
}

} // namespace tavenro

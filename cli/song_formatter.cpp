#include "cli/song_formatter.h"

namespace tavenro {

std::unique_ptr<SongFormatter> MakeSongFormatter(OutputFormat format, OutputText convert) {
    switch (format) {
    case OutputFormat::Tsv:
        return MakeTsvFormatter(std::move(convert));
    case OutputFormat::Json:
        return MakeJsonFormatter(std::move(convert));
    case OutputFormat::M3u:
        return MakeM3uFormatter(std::move(convert));
    case OutputFormat::Table:
        break;
    }
    return MakeTableFormatter(std::move(convert));
}

} // namespace tavenro

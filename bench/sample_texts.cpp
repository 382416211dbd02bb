#include "bench/sample_texts.h"

#include <array>
#include <cstdint>
#include <string>

namespace tavenro::bench {

namespace {

// xorshift64*: small, fast and the same everywhere.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint32_t Below(std::uint32_t n) {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>(((state_ * 0x2545F4914F6CDD1DULL) >> 32) % n);
    }

  private:
    std::uint64_t state_;
};

constexpr std::array kWords = {
    "the",       "song",     "list",    "http",         "www",      "cookie", "Set-Cookie", "value",
    "index",     "name",     "address", "Tavenro",      "Music",    "player", "data",       "path",
    "query",     "user",     "agent",   "Content-Type", "text",     "html",   "charset",    "GBK",
    "GET",       "HTTP/1.1", "Host",    "Accept",       "length",   "server", "playlist",   "uin",
    "xsong_url", "page",     "Version", "update",       "download", "and",    "of",         "to",
    "in",        "is",       "for",     "on",           "with",     "from",   "ID",         "OK"};

// GB2312 words: both bytes of each character lie in A1-FE.
constexpr std::array kGb2312Words = {"歌曲", "地址", "音乐", "列表", "空间", "背景",
                                     "下载", "播放", "名称", "更新", "软件", "公告"};

constexpr std::array kSeparators = {" ", " ", " ", " ", ", ", "; ", "=", ": ", " / ", "&"};

// Second bytes of the two-byte characters of a GBK page: the GB2312 range
// after GB2312 lead bytes, 0x40-0x7E after the extension's 0x81-0xA0.
void AppendGb2312Char(Random& random, Text& out) {
    out.push_back(static_cast<char>(0xB0 + random.Below(0xF7 - 0xB0 + 1)));
    out.push_back(static_cast<char>(0xA1 + random.Below(0xFE - 0xA1 + 1)));
}

void AppendExtensionChar(Random& random, Text& out) {
    out.push_back(static_cast<char>(0x81 + random.Below(0xA0 - 0x81 + 1)));
    out.push_back(static_cast<char>(0x40 + random.Below(0x7E - 0x40 + 1)));
}

void Begin(Text& page, std::size_t bytes) {
    page.reserve(bytes + 64);
    page.append("   ");
    page.append(kStartMarker);
    page.append("\r\n");
}

void End(Text& page) {
    page.append("\r\n");
    page.append(kGbkMarker);
    page.append(" ");
    page.append(kEndMarker);
    page.append("   ");
}

constexpr std::size_t kTail = 64;

} // namespace

Text MostlyAsciiPage(std::size_t bytes) {
    Random random(0x5EED0001);
    Text page;
    Begin(page, bytes);
    std::size_t lineStart = page.size();
    while (page.size() + kTail < bytes) {
        if (random.Below(25) == 0)
            page.append(kGb2312Words[random.Below(kGb2312Words.size())]);
        else
            page.append(kWords[random.Below(kWords.size())]);
        if (page.size() - lineStart > 60 + random.Below(40)) {
            page.append("\r\n");
            lineStart = page.size();
        } else {
            page.append(kSeparators[random.Below(kSeparators.size())]);
        }
    }
    End(page);
    return page;
}

Text MostlyGbkPage(std::size_t bytes) {
    Random random(0x5EED0002);
    Text page;
    Begin(page, bytes);
    std::size_t lineStart = page.size();
    while (page.size() + kTail < bytes) {
        const std::uint32_t kind = random.Below(100);
        if (kind < 80) {
            AppendGb2312Char(random, page);
        } else if (kind < 88) {
            AppendExtensionChar(random, page);
        } else if (kind < 91) {
            page.append("，"); // A3 AC
        } else if (kind < 93) {
            page.append("。"); // A1 A3
        } else if (kind < 95) {
            page.append(std::to_string(random.Below(2030)));
        } else if (kind < 97) {
            page.append(kWords[random.Below(kWords.size())]);
        } else {
            page.append(" ");
        }
        if (page.size() - lineStart > 70 + random.Below(30)) {
            page.append("\r\n");
            lineStart = page.size();
        }
    }
    End(page);
    return page;
}

Text PlaylistReply(int songs) {
    Random random(0x5EED0003);
    constexpr std::array kNames = {"山间小路",
                                   "雨后的街",
                                   "We&#39;re Home 回家",
                                   "月光下的河流",
                                   "旧时光 (Live)",
                                   "海边的风",
                                   "晴天小调",
                                   "北方的雪",
                                   "远行",
                                   "Yesterday Once More",
                                   "夜曲\\n(Remix)",
                                   "稻香"};
    constexpr std::array kSingers = {"林晓",   "周小雨", "夏天乐队", "陈默",          "苏晴",
                                     "王一鸣", "赵北",   "何方",     "The Carpenters"};
    Text reply = "jsonCallback({code:0,subcode:0,message:\"\",qqmusic:{uin:\"904000\",xautoplay:1,"
                 "xrandomplay:0,xloop:1,xmusicnum:" +
                 std::to_string(songs) + ",playlist:{song:[";
    reply.reserve(static_cast<std::size_t>(songs) * 540 + 256);
    for (int i = 1; i <= songs; ++i) {
        const std::string id = std::to_string(4000000 + i);
        const std::string mid =
            "00" + std::to_string(1000000007ULL * static_cast<unsigned>(i) % 999999999989ULL);
        if (i > 1)
            reply.append(",");
        reply.append("{xqusic_id:" + id + ",xctype:3,xexpire_time:0,xdesc:\"\",");
        reply.append("xsong_name:\"");
        reply.append(kNames[random.Below(kNames.size())]);
        reply.append(std::to_string(i));
        reply.append("\",xsong_mid:\"" + mid + "\",xsinger_id:" + std::to_string(6000 + i % 50));
        reply.append(",xsinger_name:\"");
        reply.append(kSingers[random.Below(kSingers.size())]);
        reply.append("\",xalbum_id:" + std::to_string(3000 + i % 400) + ",xalbum_name:\"专辑" +
                     std::to_string(i % 400) + "\",xalbum_mid:\"" + mid +
                     "A\",xsong_type:1,xsong_vid:\"\",xsong_pay:0,");
        reply.append("xsong_url:'http://stream.tavenro-demo.example/mp3/C400" + mid +
                     ".mp3?vkey=" + std::to_string(random.Below(1000000000)) +
                     std::to_string(random.Below(1000000000)) + "&guid=" +
                     std::to_string(random.Below(1000000000)) + "&uin=904000&fromtag=46'");
        reply.append(",xsong_size:" + std::to_string(3000000 + random.Below(5000000)) +
                     ",xsong_playtime:" + std::to_string(120 + random.Below(300)));
        reply.append(",xsong_lrc:'http://lyric.tavenro-demo.example/lrc/" + mid + ".lrc'");
        reply.append(",xpic:'http://img.tavenro-demo.example/music/photo/album_300/" +
                     std::to_string(i % 97) + "/300_albumpic_" + std::to_string(3000 + i % 400) +
                     "_0.jpg'}");
    }
    reply.append("]}}})");
    return reply;
}

} // namespace tavenro::bench

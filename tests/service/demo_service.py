#!/usr/bin/env python3
"""A stand-in for the two web services Tavenro talks to, for the demo and the tests.

It listens on 127.0.0.1 only. The first line it prints on stdout is the port
it listens on, so that a script or a test can start it with --port 0 and read
the port back.

Playlists (the music service's reply shape, GBK, text/html; charset=GBK):
    GET /fcg-bin/cgi_playlist_xml.fcg?json=1&uin=N
        10001           six songs (Chinese names, an &#39; entity, an address
                        with a trailing blank)
        10002           three songs
        10000           an empty playlist
        0               an empty body
        900000 + K      K generated songs, K below 100000 (900500: 500), for load
        Hostile replies, for the window's robustness tests:
        880001          100,000 generated songs (the songs of 900000 + K, K = 100000)
        880002          the three songs of 10002, then 1 MB of entries without an
                        address key (too much for the pattern's backtracking)
        880003          names holding a double quote, backslashes, CR/LF, a
                        backslash right before the closing quote
        880004          GBK names ending in a lone lead byte right before the
                        closing quote, between whole names
        880005          about 20 MB: the six songs of 10001 and one more song
                        behind a 20 MB description field
        880006          the first four songs of 10001 announced whole by
                        Content-Length, but the connection closes halfway
                        through the fourth entry (three whole entries sent)
        anything else   an empty playlist (also numbers of any length)

Announcement page (HTML holding "[1]version[1][2]address[2][3]address[3]"):
    GET /notice.html
        version=TEXT    field 1 (default V1.0)
        update=TEXT     field 2 (default this service's /download.html)
        promo=TEXT      field 3 (default empty)
        markers=none    a page without any field
        page=TEXT       exactly this body instead of the article
        status=404      a 404 error page without fields
        delay=SECONDS   answer this much later
        close=1         close the connection without answering
    Query values are percent-encoded bytes and reach the page as they are
    (send GBK); the rest of the page is GBK.

Bookkeeping:
    GET /requests       the request targets received so far, one a line
    GET /unused-port    a port on 127.0.0.1 on which nothing listens
    GET /quit           stop the service
"""

import argparse
import functools
import html
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

PLAYLIST_PATH = "/fcg-bin/cgi_playlist_xml.fcg"
NOTICE_PATH = "/notice.html"
GENERATED_BASE = 900000

# (id, name, singer id, singer, address); the names are written as the
# service writes them, entities included.
SONGS_10001 = [
    (3120401, "山间小路", 5101, "林晓", "http://music.tavenro-demo.example/mp3/shanjian.mp3"),
    (3120402, "雨后的街", 5102, "周小雨", "http://music.tavenro-demo.example/mp3/yuhou.mp3"),
    (3120403, "We&#39;re Home 回家", 5103, "夏天乐队", "http://music.tavenro-demo.example/mp3/home.mp3"),
    (3120404, "月光下的河流", 5101, "林晓", "http://music.tavenro-demo.example/mp3/yueguang.mp3"),
    (3120405, "旧时光 (Live)", 5104, "陈默", "http://music.tavenro-demo.example/mp3/jiushiguang.mp3"),
    (3120406, "海边的风", 5105, "苏晴", "http://music.tavenro-demo.example/mp3/haibian.mp3 "),
]
SONGS_10002 = [
    (3120501, "晴天小调", 5201, "王一鸣", "http://music.tavenro-demo.example/mp3/qingtian.mp3"),
    (3120502, "北方的雪", 5202, "赵北", "http://music.tavenro-demo.example/mp3/beifang.mp3"),
    (3120503, "远行", 5203, "何方", "http://music.tavenro-demo.example/mp3/yuanxing.mp3"),
]


def song_entry(song_id, name, singer_id, singer, address):
    return (
        f'{{xqusic_id:{song_id},xctype:3,xexpire_time:0,xdesc:"",'
        f'xsong_name:"{name}",xsinger_id:{singer_id},xsinger_name:"{singer}",'
        f"xsong_url:'{address}',xsong_size:{3000000 + song_id % 997 * 1000},"
        f"xsong_playtime:{180 + song_id % 120}}}"
    )


def playlist_reply(uin, songs):
    entries = ",".join(song_entry(*song) for song in songs)
    return (
        f'jsonCallback({{code:0,subcode:0,message:"",qqmusic:{{uin:"{uin}",'
        f"xautoplay:1,xrandomplay:0,xloop:1,xmusicnum:{len(songs)},"
        f"playlist:{{song:[{entries}]}}}}}})"
    )


def generated_songs(count):
    return [
        (4000000 + i, f"测试歌曲{i}", 6000 + i % 50, f"演唱者{i % 50}",
         f"http://music.tavenro-demo.example/load/{i}.mp3")
        for i in range(1, count + 1)
    ]


def songs_for(uin):
    if uin == "10001":
        return SONGS_10001
    if uin == "10002":
        return SONGS_10002
    # The length test first: int() refuses texts of more than 4300 digits,
    # and a pasted number may be much longer.
    if len(uin) == 6 and uin.isdigit() and GENERATED_BASE <= int(uin) < GENERATED_BASE + 100000:
        return generated_songs(int(uin) - GENERATED_BASE)
    return []


# Hostile song names, as str; "\udcXX" stands for the lone byte XX
# (encoded with surrogateescape).
QUOTED_NAMES = [
    'Say "Hi" 你好',
    "C:\\歌曲\\新歌.mp3",
    "第一行\r\n第二行",
    "以反斜杠结尾\\",
    '\\"转义的引号\\"',
    "\n开头是换行",
]
BROKEN_GBK_NAMES = [
    "半个字\udcb8",
    "完整的名字",
    "\udcc4",
    "abc\udcb1",
    "最后一首",
]
FILLER_BYTES = 20 * 1024 * 1024
NO_ADDRESS_BYTES = 1024 * 1024


def numbered_songs(names, first_id):
    return [
        (first_id + i, name, 7000 + i, "歌手", f"http://music.tavenro-demo.example/odd/{i}.mp3")
        for i, name in enumerate(names, 1)
    ]


def entries_without_address(size):
    """Song entries carrying a name but no xsong_url key, `size` bytes at least."""
    entries, length, i = [], 0, 0
    while length < size:
        i += 1
        entry = (f'{{xqusic_id:{5000000 + i},xctype:3,xdesc:"",xsong_name:"无地址的歌{i}",'
                 f'xsinger_id:{i % 90},xsinger_name:"歌手{i % 90}",xsong_size:{1000 + i}}}')
        entries.append(entry)
        length += len(entry.encode("gbk")) + 1
    return ",".join(entries)


def filler_entry(size):
    """A song whose description field alone is `size` bytes, keys after it."""
    unit = "很长很长的歌曲介绍，没有任何键。"
    text = unit * (size // len(unit.encode("gbk")) + 1)
    return (f'{{xqusic_id:3120499,xctype:3,xdesc:"{text}",xsong_name:"大回复里的歌",'
            f"xsinger_id:5199,xsinger_name:\"林晓\","
            f"xsong_url:'http://music.tavenro-demo.example/mp3/big.mp3',xsong_size:1}}")


HOSTILE_NUMBERS = ("880001", "880002", "880003", "880004", "880005", "880006")


def hostile_reply(uin):
    """The whole reply body for a hostile number, or None for any other number."""
    return built_hostile_reply(uin) if uin in HOSTILE_NUMBERS else None


# Built once: the large ones take seconds.
@functools.lru_cache(maxsize=None)
def built_hostile_reply(uin):
    def wrapped(entries, count):
        return (f'jsonCallback({{code:0,subcode:0,message:"",qqmusic:{{uin:"{uin}",'
                f"xautoplay:1,xrandomplay:0,xloop:1,xmusicnum:{count},"
                f"playlist:{{song:[{entries}]}}}}}})").encode("gbk", "surrogateescape")

    if uin == "880001":
        return playlist_reply(uin, generated_songs(100000)).encode("gbk")
    if uin == "880002":
        good = ",".join(song_entry(*song) for song in SONGS_10002)
        return wrapped(good + "," + entries_without_address(NO_ADDRESS_BYTES), 3)
    if uin == "880003":
        return wrapped(",".join(song_entry(*s) for s in numbered_songs(QUOTED_NAMES, 3130000)),
                       len(QUOTED_NAMES))
    if uin == "880004":
        songs = numbered_songs(BROKEN_GBK_NAMES, 3140000)
        return wrapped(",".join(song_entry(*song) for song in songs), len(songs))
    if uin == "880005":
        entries = [song_entry(*song) for song in SONGS_10001]
        entries.insert(3, filler_entry(FILLER_BYTES))
        return wrapped(",".join(entries), len(entries))
    return playlist_reply(uin, SONGS_10001[:4]).encode("gbk")


def cut_short_length(body):
    """Where 880006's body stops: inside the fourth entry, before its address."""
    fourth = body.index(SONGS_10001[3][1].encode("gbk"))
    return fourth + 4


def notice_article(version, update, promo):
    fields = b"[1]" + version + b"[1][2]" + update + b"[2][3]" + promo + b"[3]"
    return (
        "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\">"
        "<title>Tavenro 版本公告</title></head>\n<body><div class=\"article\">\n"
        "<h1>Tavenro 版本公告</h1>\n"
        "<p>程序每次启动时读取本页，请勿改动下面一行的标记。</p>\n<p>"
    ).encode("gbk") + fields + b"</p>\n</div></body></html>\n"


def page_without_fields(title, text):
    return (
        f"<!DOCTYPE html>\n<html><head><meta charset=\"gbk\"><title>{title}</title></head>\n"
        f"<body><p>{html.escape(text)}</p></body></html>\n"
    )


class Handler(BaseHTTPRequestHandler):
    server_version = "TavenroDemo/1.0"

    def do_GET(self):
        self.server.last_request = time.monotonic()
        url = urlsplit(self.path)
        # Latin-1 keeps every byte of a value as the client encoded it.
        query = parse_qs(url.query, keep_blank_values=True, encoding="latin-1")
        if url.path not in ("/requests", "/unused-port", "/quit"):
            with self.server.lock:
                self.server.requests.append(self.path)

        if url.path == PLAYLIST_PATH:
            uin = query.get("uin", [""])[0]
            hostile = hostile_reply(uin)
            if uin == "880006":
                self.reply(200, hostile, cut_at=cut_short_length(hostile))
                return
            if hostile is not None:
                self.reply(200, hostile)
                return
            body = b"" if uin == "0" else playlist_reply(uin, songs_for(uin)).encode("gbk")
            self.reply(200, body)
        elif url.path == NOTICE_PATH:
            self.notice(query)
        elif url.path == "/download.html":
            self.reply(200, page_without_fields("下载", "Tavenro 新版本下载页（演示）").encode("gbk"))
        elif url.path == "/requests":
            with self.server.lock:
                listing = "".join(line + "\n" for line in self.server.requests)
            self.reply(200, listing.encode("utf-8"), "text/plain; charset=utf-8")
        elif url.path == "/unused-port":
            with socket.socket() as probe:
                probe.bind(("127.0.0.1", 0))
                port = probe.getsockname()[1]
            self.reply(200, str(port).encode("ascii"), "text/plain")
        elif url.path == "/quit":
            self.reply(200, b"bye\n", "text/plain")
            threading.Thread(target=self.server.shutdown).start()
        else:
            self.reply(404, page_without_fields("404", "找不到该页面").encode("gbk"))

    def notice(self, query):
        def value(name, default):
            return query[name][0] if name in query else default

        time.sleep(float(value("delay", "0")))
        if value("close", "") == "1":
            self.close_connection = True
            return  # no status line, no headers: the client sees the connection end
        if value("status", "") == "404":
            self.reply(404, page_without_fields("404", "文章不存在或已被删除").encode("gbk"))
            return
        if "page" in query:
            body = value("page", "").encode("latin-1")
        elif value("markers", "") == "none":
            body = page_without_fields("Tavenro 博客", "这篇文章已经搬家了。").encode("gbk")
        else:
            own = f"127.0.0.1:{self.server.server_port}/download.html"
            fields = (value(name, default).encode("latin-1")
                      for name, default in (("version", "V1.0"), ("update", own), ("promo", "")))
            body = notice_article(*fields)
        self.reply(200, body)

    def reply(self, status, body, content_type="text/html; charset=GBK", cut_at=None):
        """Sends the body; with cut_at, only its first cut_at bytes, then the
        connection ends although Content-Length announced the whole body."""
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if cut_at is None:
            self.wfile.write(body)
            return
        self.wfile.write(body[:cut_at])
        self.wfile.flush()
        self.close_connection = True
        # A half close, so that the client sees the end of the stream (not a
        # reset) right after the bytes sent.
        self.connection.shutdown(socket.SHUT_WR)

    def log_message(self, format, *args):
        if not self.server.quiet:
            super().log_message(format, *args)


def stop_when_idle(server, seconds):
    while True:
        time.sleep(1)
        if time.monotonic() - server.last_request > seconds:
            server.shutdown()
            return


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0, help="port to listen on; 0 picks a free one")
    parser.add_argument("--quiet", action="store_true", help="do not log requests to stderr")
    parser.add_argument("--idle-exit", type=float, default=0, metavar="SECONDS",
                        help="stop after this long without a request (0: never)")
    args = parser.parse_args()

    server = ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.lock = threading.Lock()
    server.requests = []
    server.quiet = args.quiet
    server.last_request = time.monotonic()
    print(server.server_port, flush=True)
    if args.idle_exit > 0:
        threading.Thread(target=stop_when_idle, args=(server, args.idle_exit), daemon=True).start()
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())

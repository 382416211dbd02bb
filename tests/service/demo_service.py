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
        anything else   an empty playlist

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


def songs_for(uin):
    if uin == "10001":
        return SONGS_10001
    if uin == "10002":
        return SONGS_10002
    if uin.isdigit() and GENERATED_BASE <= int(uin) < GENERATED_BASE + 100000:
        return [
            (4000000 + i, f"测试歌曲{i}", 6000 + i % 50, f"演唱者{i % 50}",
             f"http://music.tavenro-demo.example/load/{i}.mp3")
            for i in range(1, int(uin) - GENERATED_BASE + 1)
        ]
    return []


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

    def reply(self, status, body, content_type="text/html; charset=GBK"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

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

#!/usr/bin/env python3
"""tavenro-cli from the outside against the demo service: what it prints in
each format, its exit codes, the requests it sends, and what a terminal
shows. Runs the native program directly and the Windows one through Wine
(--runner scripts/wine-run); expects TAVENRO_DEMO_SERVICE (with_demo_service.sh)."""
import argparse
import json
import os
import pty
import re
import shutil
import subprocess
import sys
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "service"))
import demo_service  # noqa: E402  (the songs it serves)

PLAYLIST = "/fcg-bin/cgi_playlist_xml.fcg?json=1&uin="
TIMEOUT = 120


def songs(uin):
    """(name, address) of the demo playlist, as the service writes them."""
    table = {"10001": demo_service.SONGS_10001, "10002": demo_service.SONGS_10002}
    return [(name, address) for _, name, _, _, address in table[uin]]


class Cli:
    def __init__(self, program, runner, service):
        self.command = ([runner] if runner else []) + [program]
        self.service = service

    def run(self, *arguments, stdin=b"", host=None):
        env = dict(os.environ, TAVENRO_MUSIC_HOST=host or self.service)
        done = subprocess.run(self.command + list(arguments), input=stdin, env=env,
                              capture_output=True, timeout=TIMEOUT, check=False)
        return done.returncode, done.stdout, done.stderr

    def run_in_terminal(self, *arguments, env_extra=None):
        """Runs with stdout on a pseudo-terminal; the text shown, without
        escape sequences and carriage returns."""
        env = dict(os.environ, TAVENRO_MUSIC_HOST=self.service, **(env_extra or {}))
        leader, follower = pty.openpty()
        process = subprocess.Popen(self.command + list(arguments), stdin=subprocess.DEVNULL,
                                   stdout=follower, stderr=subprocess.PIPE, env=env)
        os.close(follower)
        shown = b""
        while True:
            try:
                chunk = os.read(leader, 65536)
            except OSError:  # the terminal closed with the program
                break
            if not chunk:
                break
            shown += chunk
        os.close(leader)
        process.wait(timeout=TIMEOUT)
        shown = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", shown).replace(b"\r", b"")
        return process.returncode, shown


def service_get(service, target):
    with urllib.request.urlopen(f"http://{service}{target}", timeout=30) as reply:
        return reply.read().decode("utf-8")


def requests_made(service):
    return service_get(service, "/requests").splitlines()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--runner", default="")
    parser.add_argument("--work", required=True)
    args = parser.parse_args()
    service = os.environ["TAVENRO_DEMO_SERVICE"]
    cli = Cli(args.program, args.runner, service)
    windows = bool(args.runner)
    os.makedirs(args.work, exist_ok=True)

    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)
            print("FAIL:", message)

    # The playlist a media player opens: every song in reply order, UTF-8.
    before = len(requests_made(service))
    code, out, err = cli.run("10001", "--format", "m3u")
    expected = "#EXTM3U\n" + "".join(f"#EXTINF:-1,{name}\n{address}\n" for name, address in songs("10001"))
    check(code == 0, f"m3u: exit code {code}, stderr {err!r}")
    check(out == expected.encode("utf-8"), f"m3u: {out!r}")
    # The window's request, one per number, and nothing else.
    check(requests_made(service)[before:] == [PLAYLIST + "10001"],
          f"requests: {requests_made(service)[before:]}")

    # JSON for two numbers: valid for json.tool, every song in order.
    code, out, err = cli.run("10001", "10002", "--format", "json")
    check(code == 0, f"json: exit code {code}")
    tool = subprocess.run([sys.executable, "-m", "json.tool"], input=out, capture_output=True, check=False)
    check(tool.returncode == 0, f"json.tool: {tool.stderr!r} on {out!r}")
    if tool.returncode == 0:
        expected = [{"qq": uin, "id": i, "name": name, "address": address}
                    for uin in ("10001", "10002")
                    for i, (name, address) in enumerate(songs(uin), 1)]
        check(json.loads(out) == expected, f"json: {json.loads(out)}")

    # TSV: numbers from standard input (Windows line ends, a blank line), then
    # a file with a byte-order mark; in command-line order.
    listing = os.path.join(args.work, "numbers.txt")
    with open(listing, "wb") as f:
        f.write("\ufeff10001\r\n".encode("utf-8"))
    code, out, err = cli.run("-i", "-", "--format=tsv", "-i", listing, stdin=b"10002\r\n\n10000\n")
    expected = "qq\tid\tname\taddress\n" + "".join(
        f"{uin}\t{i}\t{name}\t{address}\n"
        for uin in ("10002", "10001") for i, (name, address) in enumerate(songs(uin), 1))
    check(code == 0, f"tsv: exit code {code}, stderr {err!r}")
    check(out == expected.encode("utf-8"), f"tsv: {out!r}")

    # --raw: the service's GBK bytes untouched.
    code, out, err = cli.run("--raw", "-f", "tsv", "10002")
    expected = "qq\tid\tname\taddress\n" + "".join(
        f"10002\t{i}\t{name}\t{address}\n" for i, (name, address) in enumerate(songs("10002"), 1))
    check(code == 0 and out == expected.encode("gbk"), f"raw: {code} {out!r}")

    # The table: the window's headers and count line, the address column
    # aligned on screen (a GBK byte is a screen column).
    code, out, err = cli.run("10002")
    lines = out.decode("utf-8", errors="replace").splitlines()
    check(code == 0, f"table: exit code {code}")
    check(lines[:1] == ["QQ号码：10002"] and lines[-1:] == ["一共搜索到 [3]首歌曲"], f"table: {lines}")
    rows = lines[1:-1]
    check([row.split()[1] for row in rows] == ["歌曲名称"] + [name for name, _ in songs("10002")],
          f"table rows: {rows}")
    columns = {row.encode("gbk").index(("歌曲地址" if i == 0 else "http").encode("gbk"))
               for i, row in enumerate(rows)}
    check(len(columns) == 1, f"table: address column not aligned: {rows}")

    # Exit codes, and usage errors as one line on stderr before any request.
    unused = "127.0.0.1:" + service_get(service, "/unused-port")
    bad_list = os.path.join(args.work, "bad.txt")
    with open(bad_list, "wb") as f:
        f.write(b"10001\nten\n")
    cases = [
        # arguments, host, exit code, text expected on stdout (UTF-8) or stderr
        (["10000"], None, 1, "一共搜索到 [0]首歌曲"),
        (["0", "--format", "json"], None, 1, "[]\n"),
        (["10000", "10002", "-f", "m3u"], None, 0, "#EXTINF:-1,远行\n"),
        (["10001"], unused, 1, "一共搜索到 [0]首歌曲"),
        (["--version"], None, 0, "tavenro-cli 1.0.0\n"),
        (["--help"], None, 0, "Usage: tavenro-cli"),
        ([], None, 2, "no QQ number given"),
        (["10001", "abc"], None, 2, "'abc' is not a QQ number"),
        (["10001", "--format", "xml"], None, 2, "'xml'"),
        (["10001", "--bogus"], None, 2, "'--bogus'"),
        (["10001", "--raw", "--format", "json"], None, 2, "'--raw'"),
        (["-i", os.path.join(args.work, "missing.txt")], None, 2, "missing.txt"),
        (["-i", bad_list], None, 2, "line 2: 'ten'"),
    ]
    for arguments, host, expected_code, text in cases:
        before = len(requests_made(service))
        code, out, err = cli.run(*arguments, host=host)
        what = " ".join(arguments) or "(no arguments)"
        check(code == expected_code, f"{what}: exit code {code}, expected {expected_code}")
        if expected_code == 2:
            message = err.decode("utf-8", errors="replace")
            check(out == b"", f"{what}: wrote {out!r}")
            check(message.startswith("tavenro-cli: ") and message.count("\n") == 1 and text in message,
                  f"{what}: stderr {message!r}")
            check(len(requests_made(service)) == before, f"{what}: sent a request")
        else:
            check(text.encode("utf-8") in out, f"{what}: stdout {out!r}")

    # A terminal shows the names (under Windows: the console's UTF-16
    # output; raw GBK is read in the console's code page 936). Wine writes
    # to the terminal in the locale's character set, so it needs a
    # zh_CN.UTF-8 locale, built here when the system lacks one.
    env_extra = {}
    if windows:
        locales = os.path.join(args.work, "locale")
        if not os.path.isdir(os.path.join(locales, "zh_CN.UTF-8")) and shutil.which("localedef"):
            os.makedirs(locales, exist_ok=True)
            subprocess.run(["localedef", "-i", "zh_CN", "-f", "UTF-8",
                            os.path.join(locales, "zh_CN.UTF-8")], capture_output=True, check=False)
        env_extra = {"LOCPATH": locales}
        if not os.path.isdir(os.path.join(locales, "zh_CN.UTF-8")):
            print("SKIP: terminal output (no zh_CN.UTF-8 locale could be built)")
            env_extra = None
    if env_extra is not None:
        terminal_cases = [(["10002"], "utf-8")] + ([(["10002", "--raw"], "console")] if windows else [])
        for arguments, how in terminal_cases:
            code, shown = cli.run_in_terminal(*arguments, env_extra=env_extra)
            text = shown.decode("utf-8", errors="replace")
            check(code == 0, f"terminal {arguments}: exit code {code}")
            check("QQ号码：10002" in text and "2   北方的雪  http://" in text
                  and "一共搜索到 [3]首歌曲" in text, f"terminal {arguments} ({how}): {shown!r}")

    print(f"{len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

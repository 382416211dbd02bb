#!/usr/bin/env python3
"""Song search end to end: Tavenro.exe under Wine on an X display against the
demo service on 127.0.0.1, driven with the pointer and keyboard as a user
would; a probe on the program's desktop reads the table, the status label
and the message box from outside.

- The announcement page cannot be reached: the program runs on.
- 10001 fills the table with six songs in reply order, GBK names intact, and
  the status reads the count; a screenshot of the filled table is saved.
- 10002 (after 清空号码) replaces them with three.
- A double-clicked row's address lands on the X clipboard, and the message
  box shows it in three lines.
- With the music service unreachable a search gives "[0]" and no message box.
- Esc ends the program with exit code 0 each time.
(A newly announced version is covered by blackbox_test.py.)
"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "service"))
import demo_service  # noqa: E402  (its song data is what the replies hold)
from wine_session import (CLEAR_BUTTON, NUMBER_BOX, SEARCH_BUTTON, DemoService,  # noqa: E402
                          Failures, Program, arguments, click, xdo)

COPY_HINT_TAIL = "请到迅雷下载.或者直接添加到QQ空间背景音乐.."


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"r": "\r", "n": "\n", "t": "\t"}.get(m[1], m[1]), text)


class Probe:
    def __init__(self, args):
        self.args = args

    def run(self, mode, seconds=60):
        done = subprocess.run(
            [self.args.wine_run, self.args.on_desktop, self.args.probe, mode, str(seconds)],
            capture_output=True, timeout=180, check=False,
        )
        text = done.stdout.decode("gbk", errors="replace")
        values = {}
        for line in text.splitlines():
            if "=" in line:
                key, value = line.split("=", 1)
                values[key] = unescape(value)
        return values

    def table(self, seconds=60):
        values = self.run("table", seconds)
        count = values.get("rows", "")
        values["cells"] = [
            values.get(f"row{i}", "").split("\t") for i in range(1, int(count) + 1)
        ] if count.isdigit() else None
        return values

    def table_once_status(self, expected, seconds=30):
        """Reads the table until the status label shows `expected`."""
        deadline = time.time() + seconds
        values = self.table()
        while values.get("status") != expected and time.time() < deadline:
            time.sleep(0.3)
            values = self.table(5)
        return values


def search(window, number, clear_first=False):
    """As a user: (clear the box,) click into it, type, click the button."""
    if clear_first:
        click(window, CLEAR_BUTTON)
    click(window, NUMBER_BOX)
    xdo("type", "--delay", 50, number)
    time.sleep(0.3)
    click(window, SEARCH_BUTTON)


def expected_rows(songs):
    return [[str(i), name, address] for i, (_, name, _, _, address) in enumerate(songs, 1)]


def status_for(count):
    return f"一共搜索到 [{count}]首歌曲"


def clipboard(expected, seconds=10):
    """The X clipboard's text once it is `expected`, or as last read: Wine
    hands the program's text to X on its own time."""
    deadline = time.time() + seconds
    while True:
        done = subprocess.run(["xclip", "-o", "-selection", "clipboard"],
                              capture_output=True, timeout=10, check=False)
        text = done.stdout.decode("utf-8", errors="replace")
        if text == expected or time.time() > deadline:
            return text
        time.sleep(0.3)


def searches_fill_and_replace_the_table(args, service, unused_port, failures):
    print("== searches, announcement page unreachable", flush=True)
    probe = Probe(args)
    program = Program(args, f"127.0.0.1:{service.port}",
                      f"http://127.0.0.1:{unused_port}/notice.html")
    try:
        first = probe.table()
        if not failures.check(first.get("found") == "1",
                              "the window did not appear with the announcement page unreachable"):
            return
        failures.check(first.get("message_box") == "0", "a message box at start")
        failures.check(first.get("cells") == [], f"rows before a search: {first.get('cells')}")
        if not failures.check(program.find_window(), "no X window titled Tavenro"):
            return

        search(program.window, "10001")
        filled = probe.table_once_status(status_for(6))
        failures.check(filled.get("status") == status_for(6), f"status {filled.get('status')!r}")
        failures.check(filled.get("cells") == expected_rows(demo_service.SONGS_10001),
                       f"rows for 10001: {filled.get('cells')}")
        failures.check(filled.get("message_box") == "0", "a message box after the search")
        failures.check(filled.get("search_enabled") == "1", "the button stayed disabled")
        failures.check("/fcg-bin/cgi_playlist_xml.fcg?json=1&uin=10001" in service.requests(),
                       f"requests {service.requests()}")
        os.makedirs(os.path.dirname(os.path.abspath(args.screenshot)), exist_ok=True)
        shot = subprocess.run(["import", "-window", program.window, args.screenshot], check=False)
        failures.check(shot.returncode == 0, "screenshot failed")
        print("screenshot:", args.screenshot, flush=True)

        search(program.window, "10002", clear_first=True)
        replaced = probe.table_once_status(status_for(3))
        failures.check(replaced.get("status") == status_for(3),
                       f"status {replaced.get('status')!r}")
        failures.check(replaced.get("cells") == expected_rows(demo_service.SONGS_10002),
                       f"rows for 10002: {replaced.get('cells')}")

        # The double-clicked row's address: on the clipboard and in the box.
        address = demo_service.SONGS_10002[1][4]
        place = replaced.get("place2", "")
        if failures.check(bool(place), "no place for row 2"):
            left, top, right, bottom = (int(v) for v in place.split(","))
            click(program.window, ((left + min(right, 200)) // 2, (top + bottom) // 2), repeat=2)
            copied = clipboard(address)
            if copied != address:
                # The prefix's clipboard is shared by every Wine desktop in it,
                # and only one of them hands it to X, maybe on another
                # display: then read the Windows clipboard instead.
                print(f"X clipboard {copied!r}: reading the Windows clipboard", flush=True)
                copied = probe.run("clipboard").get("clipboard")
            failures.check(copied == address, f"clipboard {copied!r}")
            box = probe.run("message-box", 30)
            failures.check(box.get("found") == "1", "no message box after the double click")
            failures.check(box.get("caption") == "信息：", f"caption {box.get('caption')!r}")
            lines = box.get("text", "").split("\r\n")
            failures.check(lines == ["链接已复制", "歌曲链接地址：" + address, COPY_HINT_TAIL],
                           f"box lines {lines}")
        program.end_with_escape(failures)
    finally:
        program.stop()


def unreachable_service_gives_zero(args, service, unused_port, failures):
    print("== music service unreachable", flush=True)
    probe = Probe(args)
    program = Program(args, f"127.0.0.1:{unused_port}",
                      f"http://127.0.0.1:{service.port}/notice.html")
    try:
        first = probe.table()
        if not failures.check(first.get("found") == "1", "the window did not appear"):
            return
        if not failures.check(program.find_window(), "no X window titled Tavenro"):
            return
        search(program.window, "10001")
        values = probe.table_once_status(status_for(0))
        failures.check(values.get("status") == status_for(0), f"status {values.get('status')!r}")
        failures.check(values.get("cells") == [], f"rows {values.get('cells')}")
        time.sleep(1)
        failures.check(probe.table(5).get("message_box") == "0",
                       "a message box for an unreachable service")
        program.end_with_escape(failures)
    finally:
        program.stop()


def main():
    args = arguments(service=True, screenshot=True).parse_args()

    failures = Failures()
    service = DemoService(args.service)
    try:
        unused_port = int(service.get("/unused-port"))
        searches_fill_and_replace_the_table(args, service, unused_port, failures)
        unreachable_service_gives_zero(args, service, unused_port, failures)
    finally:
        service.stop()
    return failures.exit_code()


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Hostile replies and faults through the real window: Tavenro.exe under Wine
on an X display, its music service the demo service on 127.0.0.1.

The probe clicks the search button from outside (the click is handled in the
program's own thread, so the probe sees how long the whole search took) and
reads the table back byte for byte; the keyboard is driven with xdotool.
After every case: the search ended, the table holds what the song pattern
picks out of the reply, the status caption counts the rows, the button is
enabled again, no message box is up, and the window still answers the
keyboard (Tab from the number box reaches the search button).

Cases, by the demo service's reserved numbers:
- 880002: three songs, then 1 MB of entries without an address key; the
  matcher gives up on them, the three stay.
- 880003: names with double quotes, backslashes, CR/LF.
- 880004: GBK names ending in a lone lead byte before the closing quote.
- 880006: the connection ends halfway through the fourth entry: three rows.
- 880005: a 20 MB reply.
- 880001: 100,000 rows; rows 1, 50,000 and 100,000 read back right.
- a number of 40,000 digits pasted into the box: taken whole and sent whole.
- the music service refusing the connection: "[0]", twice in a row.
"""
import os
import re
import subprocess
import sys
import threading
import time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "service"))
import demo_service  # noqa: E402  (the replies it builds are what the table must show)
import e2e_search_test as e2e  # noqa: E402
import wine_session as session  # noqa: E402  (the user's side: clicks, keys, the program)

SONG_PATTERN = re.compile(rb"xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'", re.S)
SEARCH_BUTTON_PLACE = "Button@186,8,72,24"
LONG_NUMBER = "1234567890" * 4000


def run_probe(args, *arguments, stdin=None, timeout=300):
    """The probe's key=value lines as a dict (values as Latin-1 text)."""
    done = subprocess.run(
        [args.wine_run, args.on_desktop, args.probe, *map(str, arguments)],
        input=stdin, capture_output=True, timeout=timeout, check=False,
    )
    values = {}
    for line in done.stdout.decode("latin-1").splitlines():
        if "=" in line:
            key, value = line.split("=", 1)
            values[key] = value
    return values


def gbk(text):
    return text.encode("gbk", "surrogateescape")


def status_bytes(count):
    return gbk(e2e.status_for(count))


def rows_of(songs, first=1):
    """Table rows (caption, name, address) as bytes for (id, name, _, _, address) songs."""
    return {i: [str(i).encode(), gbk(name), gbk(address)]
            for i, (_, name, _, _, address) in enumerate(songs, first)}


def rows_picked_from(body):
    """What the song pattern picks out of a reply, row by row."""
    return {i: [str(i).encode(), m[1], m[3]]
            for i, m in enumerate(SONG_PATTERN.finditer(body), 1)}


class Search:
    """One search clicked by the probe, and what the window showed after it."""

    def __init__(self, args, number, rows, seconds=180):
        started = time.monotonic()
        self.values = run_probe(args, "search", number, seconds, *rows, timeout=seconds + 60)
        self.wall = time.monotonic() - started
        self.elapsed = int(self.values.get("elapsed_ms", "-1")) / 1000
        count = self.values.get("rows", "")
        self.count = int(count) if count.lstrip("-").isdigit() else None
        self.cells = {}
        for key, value in self.values.items():
            found = re.fullmatch(r"cell(\d+)\.(\d)", key)
            if found:
                row, column = int(found[1]), int(found[2])
                self.cells.setdefault(row, [b"", b"", b""])[column] = bytes.fromhex(value)

    def check_ended(self, failures, title, count):
        """The common checks: ended, counted, button back, no message box."""
        check = failures.check
        if not check(self.values.get("found") == "1", f"{title}: the window was not found"):
            return False
        check(self.values.get("answered") == "1", f"{title}: the click was not handled in time")
        check(self.count == count, f"{title}: {self.count} rows, expected {count}")
        status = bytes.fromhex(self.values.get("status_hex", ""))
        check(status == status_bytes(count),
              f"{title}: status {status.decode('gbk', 'replace')!r}")
        check(self.values.get("search_enabled") == "1", f"{title}: the button stayed disabled")
        check(self.values.get("message_box") == "0", f"{title}: a message box is up")
        return True

    def check_rows(self, failures, title, expected):
        for row, cells in expected.items():
            failures.check(self.cells.get(row) == cells,
                           f"{title}: row {row} {self.cells.get(row)!r}, expected {cells!r}")


def window_up(args, program, failures):
    """The program's window is there, for the probe and on the X display."""
    return failures.check(run_probe(args, "window", 60).get("found") == "1",
                          "the window did not appear") and \
        failures.check(program.find_window(), "no X window titled Tavenro")


def window_answers(args, program, failures, title):
    """Tab from the number box must reach the search button."""
    session.click(program.window, session.NUMBER_BOX)
    session.xdo("key", "Tab")
    time.sleep(0.3)
    focus = run_probe(args, "window", 10).get("focus")
    failures.check(focus == SEARCH_BUTTON_PLACE,
                   f"{title}: after Tab the focus is on {focus}, not the search button")


def report_time(title, search):
    print(f"time: {title}: search {search.elapsed:.2f} s (probe, click to handled), "
          f"{search.wall:.2f} s with the probe's start and read-back", flush=True)


def warm(service, numbers):
    """Has the service build its large replies while the program starts."""
    def fetch():
        for number in numbers:
            url = (f"http://127.0.0.1:{service.port}{demo_service.PLAYLIST_PATH}"
                   f"?json=1&uin={number}")
            with urllib.request.urlopen(url, timeout=120) as reply:
                reply.read()
    thread = threading.Thread(target=fetch, daemon=True)
    thread.start()
    return thread


def broken_name_shown(cell, whole_part):
    """A name cut after a lone lead byte: its whole characters must come
    through unchanged; the lone byte itself cannot survive the list's
    conversion to text, so it may be dropped or replaced by one character."""
    if not cell.startswith(whole_part):
        return False
    rest = cell[len(whole_part):]
    return rest in (b"", b"?") or (len(rest) == 2 and rest[0] >= 0x81)


def hostile_replies(args, service, failures):
    print("== hostile replies", flush=True)
    warming = warm(service, ["880001", "880005"])
    program = session.Program(args, f"127.0.0.1:{service.port}",
                              f"http://127.0.0.1:{service.port}/notice.html")
    try:
        if not window_up(args, program, failures):
            return

        # (title, number, rows to read, expected row count, expected rows)
        cases = [
            ("1 MB without address keys after three songs", "880002", ["all"], 3,
             rows_of(demo_service.SONGS_10002)),
            ("quotes, backslashes and CR/LF in names", "880003", ["all"],
             len(demo_service.QUOTED_NAMES),
             rows_picked_from(demo_service.hostile_reply("880003"))),
            ("connection closed halfway through the fourth entry", "880006", ["all"], 3,
             rows_of(demo_service.SONGS_10001[:3])),
            ("a 20 MB reply", "880005", ["all"], 7,
             rows_of(demo_service.SONGS_10001[:3]
                     + [(0, "大回复里的歌", 0, "", "http://music.tavenro-demo.example/mp3/big.mp3")]
                     + demo_service.SONGS_10001[3:])),
            ("100,000 entries", "880001", ["1", "2", "50000", "100000"], 100000,
             {i: row for i, row in rows_of(demo_service.generated_songs(100000)).items()
              if i in (1, 2, 50000, 100000)}),
        ]
        for title, number, rows, count, expected in cases:
            if number in ("880001", "880005"):
                warming.join()
            search = Search(args, number, rows)
            report_time(title, search)
            if search.check_ended(failures, title, count):
                search.check_rows(failures, title, expected)
            window_answers(args, program, failures, title)

        # Names cut after a lone lead byte: the pattern works on bytes, so
        # the quote after the lead byte still closes the name, and the next
        # song is not swallowed.
        title = "GBK names ending in a lone lead byte"
        body = demo_service.hostile_reply("880004")
        picked = rows_picked_from(body)
        search = Search(args, "880004", ["all"])
        report_time(title, search)
        if search.check_ended(failures, title, len(picked)):
            for row, (caption, name, address) in picked.items():
                cell = search.cells.get(row, [b"", b"", b""])
                failures.check(cell[0] == caption and cell[2] == address,
                               f"{title}: row {row} {cell!r}")
                whole = name.decode("gbk", "ignore").encode("gbk")
                shown = cell[1] == name if whole == name else broken_name_shown(cell[1], whole)
                failures.check(shown, f"{title}: row {row} name {cell[1]!r} for {name!r}")
                print(f"{title}: row {row}: picked {name.hex()}, shown {cell[1].hex()}", flush=True)
        window_answers(args, program, failures, title)

        # A number longer than the edit control's default limit, pasted as a
        # user would: the box keeps all of it and the request carries it.
        title = "a pasted number of 40,000 digits"
        put = run_probe(args, "put-clipboard", stdin=LONG_NUMBER.encode("ascii"))
        failures.check(put.get("set") == "1", f"{title}: the clipboard was not set: {put}")
        session.click(program.window, session.CLEAR_BUTTON)
        session.click(program.window, session.NUMBER_BOX)
        session.xdo("key", "ctrl+v")
        time.sleep(0.5)
        search = Search(args, "-", [])
        report_time(title, search)
        failures.check(search.values.get("number_length") == str(len(LONG_NUMBER)),
                       f"{title}: the box holds {search.values.get('number_length')} characters")
        search.check_ended(failures, title, 0)
        target = f"{demo_service.PLAYLIST_PATH}?json=1&uin={LONG_NUMBER}"
        sent = [line for line in service.requests() if line.startswith(demo_service.PLAYLIST_PATH)]
        failures.check(target in sent, f"{title}: the request did not carry the whole number; "
                       f"last playlist request {len(sent[-1]) if sent else 0} characters long")
        window_answers(args, program, failures, title)

        program.end_with_escape(failures)
    finally:
        program.stop()


def refused_connection(args, service, unused_port, failures):
    print("== music service refusing the connection", flush=True)
    program = session.Program(args, f"127.0.0.1:{unused_port}",
                              f"http://127.0.0.1:{service.port}/notice.html")
    try:
        if not window_up(args, program, failures):
            return
        for title, number in (("refused connection", "10001"), ("refused again", "10002")):
            search = Search(args, number, ["all"], seconds=60)
            report_time(title, search)
            search.check_ended(failures, title, 0)
        window_answers(args, program, failures, "refused connection")
        program.end_with_escape(failures)
    finally:
        program.stop()


def main():
    args = session.arguments(service=True).parse_args()

    failures = session.Failures()
    service = session.DemoService(args.service)
    try:
        unused_port = int(service.get("/unused-port"))
        hostile_replies(args, service, failures)
        refused_connection(args, service, unused_port, failures)
    finally:
        service.stop()
    return failures.exit_code()


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Tavenro.exe from the outside, under Wine on an X display, with its
announcement page served from 127.0.0.1 (TAVENRO_NOTICE_URL).

- Same version announced: the window stays hidden while the page is being
  read, then appears centred with the caret in the number box; a screenshot
  is saved; Esc ends the process with exit code 0.
- New version announced: the notice box comes up before the window, the
  update page is opened, and the program ends by itself with exit code 0.
"""
import http.server
import os
import subprocess
import sys
import threading
import time

from wine_session import Failures, arguments

WIDTH, HEIGHT = 361, 370


def window_shown():
    found = subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--name", "^Tavenro$"],
        capture_output=True, text=True, check=False,
    )
    return found.stdout.split()


class AnnouncementServer:
    """Serves one page; notes whether the window was on screen while the
    program waited for it (the reply is held back a second to make that
    wait observable)."""

    def __init__(self, page):
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                server.requests.append(self.path)
                time.sleep(1)
                server.shown_while_waiting.append(bool(window_shown()))
                body = page.encode("ascii")
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.requests = []
        self.shown_while_waiting = []
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)

    @property
    def url(self):
        return f"http://127.0.0.1:{self.httpd.server_address[1]}/notice.html"

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.httpd.shutdown()
        self.httpd.server_close()


def run_probe(args, mode):
    done = subprocess.run(
        [args.wine_run, args.on_desktop, args.probe, mode, "60"],
        capture_output=True, timeout=180, check=False,
    )
    text = done.stdout.decode("gbk", errors="replace")
    print(text, flush=True)
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def numbers(text):
    return [int(v) for v in text.split(",")]


def start_program(args, server):
    env = dict(os.environ, TAVENRO_NOTICE_URL=server.url)
    return subprocess.Popen([args.wine_run, args.on_desktop, args.program], env=env)


def stop(program):
    if program.poll() is None:
        program.kill()
        program.wait()


def press_escape(window_id):
    """Points at an inert spot of the client area (Xvfb has no window manager,
    so the keyboard follows the pointer), clicks it and presses Esc."""
    subprocess.run(["xdotool", "mousemove", "--window", window_id, "300", "100"], check=False)
    subprocess.run(["xdotool", "click", "1"], check=False)
    time.sleep(0.3)
    subprocess.run(["xdotool", "key", "Escape"], check=False)


def runs_on_and_ends_with_esc(args, failures):
    print("== same version announced", flush=True)
    with AnnouncementServer("<p>[1]V1.0[1][2]aa.bb/new[2]</p>") as server:
        program = start_program(args, server)
        try:
            values = run_probe(args, "window")
            if values.get("found") != "1":
                failures.check(False, "the main window did not appear")
                return
            failures.check(server.requests == ["/notice.html"], f"requests {server.requests}")
            failures.check(server.shown_while_waiting == [False],
                           "the window was shown before the announcement was read")
            failures.check(values.get("title") == "Tavenro", f"title {values.get('title')!r}")
            left, top, right, bottom = numbers(values["frame"])
            screen_w, screen_h = numbers(values["screen"])
            failures.check((right - left, bottom - top) == (WIDTH, HEIGHT),
                           f"outer size {right - left}x{bottom - top}")
            failures.check((left, top) == ((screen_w - WIDTH) // 2, (screen_h - HEIGHT) // 2),
                           f"not centred: {left},{top} on {screen_w}x{screen_h}")
            number_box = "edit@56,8,120,24"
            failures.check(values.get("focus", "").lower() == number_box, "focus not in the number box")
            failures.check(values.get("caret", "").lower() == number_box, "caret not in the number box")
            failures.check(values.get("visible_controls") == "10", "not ten controls")

            os.makedirs(os.path.dirname(os.path.abspath(args.screenshot)), exist_ok=True)
            shot = subprocess.run(["import", "-window", "root", args.screenshot], check=False)
            failures.check(shot.returncode == 0, "screenshot failed")
            print("screenshot:", args.screenshot, flush=True)

            shown = window_shown()
            failures.check(bool(shown), "no X window titled Tavenro")
            code = None
            for _ in range(3):
                if shown:
                    press_escape(shown[0])
                try:
                    code = program.wait(timeout=10)
                    break
                except subprocess.TimeoutExpired:
                    continue
            failures.check(code == 0, f"Esc: exit code {code}")
        finally:
            stop(program)


def update_notice_ends_the_program(args, failures):
    print("== new version announced", flush=True)
    log = os.environ.get("TAVENRO_BROWSER_LOG")
    before = open(log).read().splitlines() if log and os.path.exists(log) else []
    with AnnouncementServer("<p>[2]aa.bb/new[2] [1]V2.0[1]</p>") as server:
        program = start_program(args, server)
        try:
            box = run_probe(args, "message-box")
            failures.check(box.get("found") == "1", "no notice box")
            failures.check(box.get("caption") == "信息：", f"caption {box.get('caption')!r}")
            failures.check(box.get("text") == "软件已更新，点击确定打开更新网址下载",
                           f"text {box.get('text')!r}")
            failures.check(box.get("main_visible") == "0", "window shown before the notice")
            try:
                code = program.wait(timeout=60)
            except subprocess.TimeoutExpired:
                code = None
            failures.check(code == 0, f"after the notice: exit code {code}")
        finally:
            stop(program)
    if log:
        deadline = time.time() + 30
        opened = []
        while time.time() < deadline:
            opened = open(log).read().splitlines()[len(before):] if os.path.exists(log) else []
            if opened:
                break
            time.sleep(0.2)
        failures.check(opened == ["http://aa.bb/new"], f"opened {opened}")


def main():
    args = arguments(screenshot=True).parse_args()

    failures = Failures()
    runs_on_and_ends_with_esc(args, failures)
    update_notice_ends_the_program(args, failures)
    return failures.exit_code()


if __name__ == "__main__":
    sys.exit(main())

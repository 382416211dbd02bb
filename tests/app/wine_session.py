"""The user's side of Tavenro.exe under Wine on an X display, shared by the
window tests: their arguments, failures, the demo service, the program
started on the test's Wine desktop, and xdotool's pointer and keys."""
import argparse
import os
import subprocess
import sys
import time
import urllib.request

# Client-area points of the controls (the X window is the client area).
NUMBER_BOX = (116, 20)
SEARCH_BUTTON = (222, 20)
CLEAR_BUTTON = (310, 20)


def arguments(*, service=False, screenshot=False):
    """The command line every window test takes; add_argument for more."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--on-desktop", required=True)
    parser.add_argument("--wine-run", required=True)
    if service:
        parser.add_argument("--service", required=True, help="demo_service.py")
    if screenshot:
        parser.add_argument("--screenshot", required=True)
    return parser


class Failures(list):
    def __init__(self):
        super().__init__()
        self.started = time.monotonic()

    def check(self, condition, message):
        if not condition:
            self.append(message)
            print("FAIL:", message, flush=True)
        return condition

    def exit_code(self):
        """Prints the verdict and the whole test's time; 1 on any failure."""
        print(f"whole test: {time.monotonic() - self.started:.1f} s", flush=True)
        print("FAILED" if self else "PASSED", flush=True)
        return 1 if self else 0


class DemoService:
    def __init__(self, script):
        self.process = subprocess.Popen(
            [sys.executable, script, "--port", "0", "--quiet"], stdout=subprocess.PIPE, text=True
        )
        self.port = int(self.process.stdout.readline())

    def get(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}{path}", timeout=10) as reply:
            return reply.read().decode("ascii")

    def requests(self):
        return self.get("/requests").splitlines()

    def stop(self):
        self.process.terminate()
        self.process.wait()


def xdo(*arguments):
    subprocess.run(["xdotool", *map(str, arguments)], check=False)


def click(window, point, repeat=1):
    xdo("mousemove", "--window", window, *point)
    time.sleep(0.2)
    xdo("click", "--repeat", repeat, "--delay", 120, 1)
    time.sleep(0.3)


class Program:
    def __init__(self, args, music_host, notice_url):
        env = dict(os.environ, TAVENRO_MUSIC_HOST=music_host, TAVENRO_NOTICE_URL=notice_url)
        self.process = subprocess.Popen([args.wine_run, args.on_desktop, args.program], env=env)
        self.window = None

    def find_window(self):
        found = subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Tavenro$"],
            capture_output=True, text=True, check=False,
        ).stdout.split()
        self.window = found[0] if found else None
        return self.window

    def end_with_escape(self, failures):
        code = None
        for _ in range(3):
            if self.window:
                # Into the number box: the keyboard follows the pointer, and
                # after a search no control holds the focus (the disabled
                # button lost it), so Esc would arrive as a system key.
                click(self.window, NUMBER_BOX)
                xdo("key", "Escape")
            try:
                code = self.process.wait(timeout=10)
                break
            except subprocess.TimeoutExpired:
                continue
        failures.check(code == 0, f"Esc: exit code {code}")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

#!/usr/bin/env python3
"""Many searches in a row must not leave resources behind: Tavenro.exe under
Wine against the demo service, searched from outside by the probe, which also
reads the program's kernel handles, GDI and USER objects, windows and memory
before, after a warm-up and at the end; under Wine also the Unix file
descriptors of its process.

After the warm-up the figures may only move within noise: a few handles and
descriptors, about a MB of memory; the window count not at all. A thousand
searches make a leak of a kilobyte or of one handle per search stand out.
Figures the platform does not give (printed as -1, as GetGuiResources under
Wine) are reported, not checked.
"""
import os
import sys
import time

import hostile_search_test as hostile
import wine_session as session

# A few reply kinds: songs, an empty body, an empty playlist, a connection
# cut halfway, a longer list.
NUMBERS = ["10001", "10002", "0", "10000", "880006", "900050"]
ROWS_OF_LAST = {"10001": 6, "10002": 3, "0": 0, "10000": 0, "880006": 3, "900050": 50}
FIGURES = ["handles", "gdi_objects", "user_objects", "windows", "private_bytes", "working_set",
           "unix_fds"]
# Growth allowed after the warm-up.
LIMITS = {"handles": 20, "gdi_objects": 20, "user_objects": 20, "windows": 0,
          "private_bytes": 1024 * 1024, "working_set": 4 * 1024 * 1024, "unix_fds": 10}


def unix_descriptors(program):
    """Open file descriptors of the program's Unix process under Wine, or -1."""
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as cmdline:
                first = cmdline.read().split(b"\0")[0].decode(errors="replace")
            if first == program:
                return len(os.listdir(f"/proc/{pid}/fd"))
        except OSError:
            continue
    return -1


def figures(args):
    values = hostile.run_probe(args, "resources", 30)
    found = {name: int(values.get(name, "-1")) for name in FIGURES if name != "unix_fds"}
    found["unix_fds"] = unix_descriptors(args.program)
    return found


def searches(args, count):
    started = time.monotonic()
    values = hostile.run_probe(args, "searches", count, *NUMBERS, timeout=count * 60)
    print(f"{count} searches: {int(values.get('total_ms', '-1')) / 1000:.1f} s in the probe, "
          f"slowest {values.get('slowest_ms')} ms, {time.monotonic() - started:.1f} s in all",
          flush=True)
    return values


def check_growth(failures, warm, end):
    for name, limit in LIMITS.items():
        if warm[name] < 0 or end[name] < 0:
            print(f"{name}: not available on this platform", flush=True)
            continue
        failures.check(end[name] - warm[name] <= limit,
                       f"{name} grew from {warm[name]} to {end[name]} (allowed +{limit})")


def main():
    parser = session.arguments(service=True)
    parser.add_argument("--warm-up", type=int, default=50)
    parser.add_argument("--searches", type=int, default=1000, help="after the warm-up")
    args = parser.parse_args()

    failures = session.Failures()
    service = session.DemoService(args.service)
    program = session.Program(args, f"127.0.0.1:{service.port}",
                              f"http://127.0.0.1:{service.port}/notice.html")
    try:
        if hostile.window_up(args, program, failures):
            rounds = [("start", figures(args))]
            for label, count in (("warm", args.warm_up), ("end", args.searches)):
                done = searches(args, count)
                failures.check(done.get("unanswered") == "0",
                               f"{done.get('unanswered')} searches not handled in time")
                last = NUMBERS[(count - 1) % len(NUMBERS)]
                failures.check(done.get("rows") == str(ROWS_OF_LAST[last]),
                               f"after {label}: {done.get('rows')} rows for {last}")
                failures.check(done.get("search_enabled") == "1", "the button stayed disabled")
                rounds.append((label, figures(args)))
            print("figure".ljust(14) + "".join(label.rjust(14) for label, _ in rounds))
            for name in FIGURES:
                print(name.ljust(14) + "".join(str(values[name]).rjust(14) for _, values in rounds))
            check_growth(failures, rounds[1][1], rounds[2][1])
            hostile.window_answers(args, program, failures, "after the searches")
            program.end_with_escape(failures)
    finally:
        program.stop()
        service.stop()
    return failures.exit_code()


if __name__ == "__main__":
    sys.exit(main())

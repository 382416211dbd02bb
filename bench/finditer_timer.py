#!/usr/bin/env python3
"""What a user would script instead of the pattern search: re.finditer with
the song expression over the reply file, timed as pattern_timer times
SearchAll (process CPU time, the file already read, median of RUNS).

usage: finditer_timer.py FILE RUNS   prints "matches N median S"
"""
import re
import statistics
import sys
import time

SONG_EXPRESSION = rb"xsong_name:\"(.*?)\"(.*?)xsong_url:'(.*?)'"


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], "rb") as f:
        reply = f.read()
    # "." takes line breaks in the program's expression: DOTALL.
    pattern = re.compile(SONG_EXPRESSION, re.DOTALL)
    seconds = []
    matches = 0
    for _ in range(int(sys.argv[2])):
        start = time.process_time()
        matches = len(list(pattern.finditer(reply)))
        seconds.append(time.process_time() - start)
    print(f"matches {matches} median {statistics.median_low(seconds):.6f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

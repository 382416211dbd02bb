#!/usr/bin/env python3
"""Copies a UTF-8 C++ source for clang, with its narrow literals in GBK.

The other builds compile with -fexec-charset=GBK, so that "#引号" is the five
bytes 23 D2 FD BA C5. clang knows no execution character set but UTF-8, so the
fuzz build compiles copies in which every non-ASCII character inside a string
or character literal is written as the octal escapes of its GBK bytes (octal,
because a hex escape would swallow a following digit or letter). Comments are
copied unchanged. A non-ASCII character anywhere else (an identifier, a raw
string, a literal with an encoding prefix) is refused rather than guessed at.

Usage: gbk_literals.py SOURCE COPY
"""

import sys

ENCODING_PREFIXES = {"u8", "u", "U", "L"}


def escaped(char):
    return "".join(f"\\{byte:03o}" for byte in char.encode("gbk"))


def convert(source, name):
    out = []
    i = 0
    n = len(source)
    line = 1

    def refuse(what):
        sys.exit(f"{name}:{line}: non-ASCII character in {what}; the fuzz build cannot copy it")

    while i < n:
        c = source[i]
        if c == "\n":
            line += 1
        if source.startswith("//", i):
            end = source.find("\n", i)
            end = n if end == -1 else end
            out.append(source[i:end])
            i = end
            continue
        if source.startswith("/*", i):
            end = source.find("*/", i + 2)
            end = n if end == -1 else end + 2
            line += source.count("\n", i, end)
            out.append(source[i:end])
            i = end
            continue
        if c in "\"'":
            start = i
            while start > 0 and (source[start - 1].isalnum() or source[start - 1] == "_"):
                start -= 1
            token = source[start:i]
            if c == "'" and token[:1].isdigit():
                out.append(c)  # a digit separator, as in 1'000
                i += 1
                continue
            if c == '"' and token.endswith("R"):
                end = source.find(")", source.find("(", i))
                end = source.find('"', end)
                if any(ord(ch) > 0x7F for ch in source[i:end]):
                    refuse("a raw string")
                out.append(source[i : end + 1])
                i = end + 1
                continue
            prefixed = token in ENCODING_PREFIXES
            j = i + 1
            while j < n and source[j] != c:
                j += 2 if source[j] == "\\" else 1
            body = source[i + 1 : j]
            if prefixed and any(ord(ch) > 0x7F for ch in body):
                refuse("a literal with an encoding prefix")
            out.append(c + "".join(escaped(ch) if ord(ch) > 0x7F else ch for ch in body) + c)
            i = j + 1
            continue
        if ord(c) > 0x7F:
            refuse("code")
        out.append(c)
        i += 1
    return "".join(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source_path, copy_path = sys.argv[1], sys.argv[2]
    with open(source_path, encoding="utf-8") as f:
        source = f.read()
    copied = f'#line 1 "{source_path}"\n' + convert(source, source_path)
    with open(copy_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(copied)


if __name__ == "__main__":
    main()

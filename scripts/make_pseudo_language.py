#!/usr/bin/env python3
"""Makes the pseudo-language's resources from the English ones.

make_pseudo_language.py ENGLISH.rc OUT.rc

Every text of the menus, dialogs and string tables becomes 40 % longer and accented
("Cancel" -> "Çáñçél ··"), so that a control too small for a longer translation shows: access
keys (&), the accelerator after \\t, escapes (\\n, "") and format placeholders (%ls, %1, {0}) are
kept as they are. The icons, bitmaps, accelerators and version of the program are left out: a
language module holds texts only. Written in UTF-8, with the code page pragma windres reads.
"""
import math
import re
import sys

ACCENTS = str.maketrans("aeiouycnszAEIOUYCNSZ", "áéíóúýçñšžÁÉÍÓÚÝÇÑŠŽ")
# Kept as they are: escapes, doubled quotes, placeholders, an access key with its letter.
KEPT = re.compile(r'\\.|""|%[-+ #0]*\d*(?:\.\d+)?(?:ls|lu|llu|I64u|hs|[sdiuxXcf%])|%\d+(?:![^!]*!)?|\{\d+\}|&.')
BLOCK_START = re.compile(r'^\s*(\w+\s+(MENU|DIALOGEX|DIALOG)\b|STRINGTABLE\b)')
LITERAL = re.compile(r'"((?:[^"]|"")*)"')


def visible_length(text):
    length = 0
    for piece in re.split(r'(\\.|""|&.)', text):
        if piece.startswith("\\") and len(piece) == 2:
            continue
        length += 1 if piece in ('""',) or (piece.startswith("&") and len(piece) == 2) else len(piece)
    return length


def accent(text):
    out, last = [], 0
    for kept in KEPT.finditer(text):
        out.append(text[last:kept.start()].translate(ACCENTS))
        out.append(kept.group(0))
        last = kept.end()
    out.append(text[last:].translate(ACCENTS))
    return "".join(out)


def lengthen(segment):
    length = visible_length(segment)
    if length == 0:
        return segment
    extra = math.ceil(length * 0.4)
    return accent(segment) + " " + "·" * max(extra - 1, 1)


def pseudo(text):
    if not text:
        return text
    label, tab, accelerator = text.partition("\\t")
    segments = re.split(r'(\\n)', label)
    return "".join(s if s == "\\n" else lengthen(s) for s in segments) + tab + accelerator


def first_literal(line):
    return LITERAL.sub(lambda m: '"' + pseudo(m.group(1)) + '"', line, count=1)


def convert(lines):
    out = ['// Made by scripts/make_pseudo_language.py from the English resources; not to be edited.',
           '#pragma code_page(65001)', '#include <windows.h>', '#include <commctrl.h>', '#include "resource.h"',
           '#include "tolvane_version.h"', '', 'LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US', '']
    depth, kind = 0, None
    for line in lines:
        stripped = line.strip()
        if kind is None:
            start = BLOCK_START.match(line)
            if start:
                kind = "STRINGTABLE" if start.group(1).startswith("STRINGTABLE") else start.group(2)
                out.append(line)
            continue
        if stripped == "BEGIN":
            depth += 1
            out.append(line)
            continue
        if stripped == "END":
            depth -= 1
            out.append(line)
            if depth == 0:
                kind = None
                out.append("")
            continue
        if stripped.startswith("//") or stripped.startswith(("STYLE", "FONT", "EXSTYLE")):
            out.append(line)
            continue
        if stripped.startswith(("IDS_LANGUAGE_NAME", )):
            out.append(line.replace('"English"', '"Pseudo"'))
            continue
        out.append(first_literal(line))
    return out


def main(argv):
    with open(argv[1], encoding="utf-8") as source:
        lines = source.read().splitlines()
    with open(argv[2], "w", encoding="utf-8", newline="\n") as target:
        target.write("\n".join(convert(lines)) + "\n")


if __name__ == "__main__":
    main(sys.argv)

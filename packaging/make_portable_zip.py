#!/usr/bin/env python3
"""Makes the portable zip: the program, core\\ and a README, in one top folder.

make_portable_zip.py OUT.zip TOP_FOLDER README_TEMPLATE VERSION ARCH NAME=FILE...

NAME is the path inside TOP_FOLDER ("core/7z.dll"); the README template's @VERSION@ and @ARCH@
are filled in and its lines end in CR LF, for Notepad. Entries carry the files' own times, so the
same inputs give the same zip.
"""
import os
import sys
import time
import zipfile


def main(argv):
    out, top, readme_template, version, arch = argv[1:6]
    files = [item.split("=", 1) for item in argv[6:]]
    with open(readme_template, encoding="utf-8") as source:
        readme = source.read().replace("@VERSION@", version).replace("@ARCH@", arch)
    readme = readme.replace("\r\n", "\n").replace("\n", "\r\n")
    readme_time = time.localtime(os.path.getmtime(readme_template))[:6]

    partial = out + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, path in files:
            archive.write(path, f"{top}/{name}")
        archive.writestr(zipfile.ZipInfo(f"{top}/README.txt", readme_time), readme.encode("utf-8"),
                         zipfile.ZIP_DEFLATED)
    os.replace(partial, out)


if __name__ == "__main__":
    main(sys.argv)

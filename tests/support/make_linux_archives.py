#!/usr/bin/env python3
"""Writes, on the Linux side before the tests run, the archives that the Windows archiver cannot
write: tars in gzip, bzip2, xz, zstd and lzma streams, single files in those streams, an ar
archive (the layout of Debian packages), a cpio archive, a zip split into .z01 and .zip parts, and
tars and a zip holding entries that are no plain files (hard and symbolic links), and zips whose
names are stored in the code page of the machine that made them, without the UTF-8 flag. The
tests know the fixed files they hold (see TREE, LINKED and LEGACY_NAMES below)."""
import bz2
import gzip
import io
import lzma
import os
import struct
import subprocess
import sys
import tarfile
import zipfile
import zlib

MTIME = 1300000000  # 2011-03-13 07:06:40 UTC
TREE = [("docs/readme.txt", b"read me\n"), ("docs/caf\u00e9.txt", "caf\u00e9".encode()),
        ("top.bin", bytes(range(256)) * 4)]
NOTE = b"a single note\n"
LINKED = b"".join(b"line %03d of the linked file\n" % i for i in range(60))[:1500]
# A path longer than Windows' 260 units, through five folders of 60 characters.
LONG_PATH = "/".join(c * 60 for c in "vwxyz") + "/long.txt"
# Per code page, names as a machine of that code page stored them (each file holds its name).
LEGACY_NAMES = {
    "cp932": ["\u65e5\u672c\u8a9e\u306e\u30d5\u30a1\u30a4\u30eb.txt", "\u30d5\u30a9\u30eb\u30c0/\u30c6\u30b9\u30c8.txt",
              "readme.txt", "\u8868\u793a.txt"],  # the last holds the byte of '\\' as its second
    "gbk": ["\u4e2d\u6587\u6587\u4ef6.txt", "\u76ee\u5f55/\u6d4b\u8bd5\u6587\u6863.txt"],
    "cp866": ["\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440.txt",
              "\u043f\u0430\u043f\u043a\u0430/\u0434\u043e\u043a\u0443\u043c\u0435\u043d\u0442.txt"],
    "cp437": ["Caf\u00e9 r\u00e9sum\u00e9.txt", "M\u00fcller/Gr\u00f6\u00dfe.txt"],
}


def legacy_names_zip(names, codec):
    """A stored zip whose names are the bytes of `codec`, general-purpose flags 0 (no UTF-8 flag)."""
    dos_time, dos_date = (7 << 11) | (6 << 5) | 20, ((2011 - 1980) << 9) | (3 << 5) | 13
    out, central = b"", b""
    for name in names:
        raw, data = name.encode(codec), name.encode("utf-8")
        crc, offset = zlib.crc32(data), len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 10, 0, 0, dos_time, dos_date, crc, len(data), len(data),
                           len(raw), 0) + raw + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 10, 0, 0, dos_time, dos_date, crc, len(data),
                               len(data), len(raw), 0, 0, 0, 0, 0, offset) + raw
    return out + central + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(names), len(names), len(central), len(out), 0)


def tar_bytes():
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w", format=tarfile.PAX_FORMAT) as tar:
        folder = tarfile.TarInfo("docs")
        folder.type, folder.mode, folder.mtime = tarfile.DIRTYPE, 0o755, MTIME
        tar.addfile(folder)
        for name, data in TREE:
            info = tarfile.TarInfo(name)
            info.size, info.mode, info.mtime = len(data), 0o644, MTIME
            tar.addfile(info, io.BytesIO(data))
    return out.getvalue()


def links_tar(everything):
    """data.txt and two hard links to it; with `everything` also a hard link to a file the tar lacks,
    symbolic links pointing inside, outside and to an absolute path, a file below that last link,
    an empty file and folder, a Unicode name and a long path."""
    out = io.BytesIO()
    with tarfile.open(fileobj=out, mode="w", format=tarfile.GNU_FORMAT) as tar:
        def add(name, kind=tarfile.REGTYPE, data=b"", link=""):
            info = tarfile.TarInfo(name)
            info.type, info.linkname, info.mtime = kind, link, MTIME
            info.mode = 0o755 if kind == tarfile.DIRTYPE else 0o644
            info.size = len(data) if kind == tarfile.REGTYPE else 0
            tar.addfile(info, io.BytesIO(data) if kind == tarfile.REGTYPE else None)
        add("data.txt", data=LINKED)
        add("copy.txt", tarfile.LNKTYPE, link="data.txt")
        add("sub/deep.txt", tarfile.LNKTYPE, link="data.txt")
        if everything:
            add("orphan.txt", tarfile.LNKTYPE, link="nothere.txt")
            add("inside", tarfile.SYMTYPE, link="data.txt")
            add("outside", tarfile.SYMTYPE, link="../../escaped")
            add("absolute", tarfile.SYMTYPE, link="/tmp")
            add("absolute/through.txt", data=b"written through a link")
            add("empty.txt")
            add("emptydir", tarfile.DIRTYPE)
            add("caf\u00e9 \u6587.txt", data="caf\u00e9".encode())
            add(LONG_PATH, data=b"far down")
    return out.getvalue()


def links_zip():
    """A zip with a symbolic link (Unix mode 0120777) beside the file it names."""
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as archive:
        archive.writestr(zipfile.ZipInfo("data.txt", (2011, 3, 13, 7, 6, 40)), LINKED)
        link = zipfile.ZipInfo("inside", (2011, 3, 13, 7, 6, 40))
        link.create_system, link.external_attr = 3, 0o120777 << 16
        archive.writestr(link, "data.txt")
    return out.getvalue()


# Three entries deep in a tree of 100,000 (a folder, a subfolder, its files) carry NEEDLE in their
# names; "needl.txt" beside one of them does not.
NEEDLES = ["d017/s3/Needle-\u00e9.txt", "d042/s9/old NEEDLE-\u00c9 (2).log", "d099/s0/needle-\u00e9"]


def many_zip():
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w") as archive:
        for d in range(100):
            for s in range(10):
                for f in range(100 if (d, s) not in ((17, 3), (42, 9), (99, 0)) else 98):
                    archive.writestr("d%03d/s%d/f%03d.txt" % (d, s, f), b"")
        for name in NEEDLES:
            archive.writestr(name, b"found")
        archive.writestr("d017/s3/needl.txt", b"")
    return out.getvalue()


def zstd(data):
    return subprocess.run(["zstd", "-q", "-c"], input=data, stdout=subprocess.PIPE, check=True).stdout


def ar_bytes(members):
    out = b"!<arch>\n"
    for name, data in members:
        header = (name + "/").ljust(16).encode() + str(MTIME).ljust(12).encode() + b"0".ljust(6) + b"0".ljust(6)
        header += b"100644".ljust(8) + str(len(data)).ljust(10).encode() + b"`\n"
        out += header + data + (b"\n" if len(data) % 2 else b"")
    return out


def cpio_bytes(members):
    out = b""
    for number, (name, data) in enumerate(members + [("TRAILER!!!", b"")]):
        mode = 0o100644 if name != "TRAILER!!!" else 0
        encoded = name.encode() + b"\0"
        fields = [number + 1, mode, 0, 0, 1, MTIME, len(data), 0, 0, 0, 0, len(encoded), 0]
        header = b"070701" + b"".join(b"%08X" % value for value in fields)
        out += header + encoded + b"\0" * ((-(len(header) + len(encoded))) % 4)
        out += data + b"\0" * ((-len(data)) % 4)
    return out


def split_zip(members):
    """A zip spanning two files: the first member in .z01, the second and the directory in .zip."""
    dos_time, dos_date = (7 << 11) | (6 << 5) | 20, ((2011 - 1980) << 9) | (3 << 5) | 13
    disks, central = [b"PK\x07\x08", b""], b""
    for disk, (name, data) in enumerate(members):
        crc, encoded = zlib.crc32(data), name.encode()
        offset = len(disks[disk])
        disks[disk] += struct.pack("<IHHHHHIIIHH", 0x04034B50, 10, 0, 0, dos_time, dos_date, crc, len(data),
                                   len(data), len(encoded), 0) + encoded + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 10, 0, 0, dos_time, dos_date, crc, len(data),
                               len(data), len(encoded), 0, 0, disk, 0, 0, offset) + encoded
    start = len(disks[1])
    disks[1] += central + struct.pack("<IHHHHIIH", 0x06054B50, 1, 1, 1, len(members), len(central), start, 0)
    return disks


def main(folder):
    os.makedirs(folder, exist_ok=True)

    def write(name, data):
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)

    tar = tar_bytes()
    write("tree.tar.gz", gzip.compress(tar, mtime=MTIME))
    write("tree.tgz", gzip.compress(tar, mtime=MTIME))
    write("tree.tar.bz2", bz2.compress(tar))
    write("tree.tar.xz", lzma.compress(tar))
    write("tree.tar.zst", zstd(tar))
    write("tree.tar.lzma", lzma.compress(tar, format=lzma.FORMAT_ALONE))
    with open(os.path.join(folder, "note.txt.gz"), "wb") as raw:
        with gzip.GzipFile(filename="note.txt", mode="wb", fileobj=raw, mtime=MTIME) as stream:
            stream.write(NOTE)
    write("note.txt.bz2", bz2.compress(NOTE))
    write("note.txt.xz", lzma.compress(NOTE))
    write("note.txt.lzma", lzma.compress(NOTE, format=lzma.FORMAT_ALONE))
    write("note.txt.zst", zstd(NOTE))
    write("pack.deb", ar_bytes([("hello.txt", b"hello\n"), ("data.bin", bytes(range(7)))]))
    write("pack.cpio", cpio_bytes([("hello.txt", b"hello\n"), ("data.bin", bytes(range(7)))]))
    first, last = split_zip([("first.txt", b"in the first part\n"), ("second.txt", b"in the last part\n")])
    write("spanned.z01", first)
    write("spanned.zip", last)
    write("hardlinks.tar", links_tar(False))
    everything = links_tar(True)
    write("links.tar", everything)
    write("links.tar.gz", gzip.compress(everything, mtime=MTIME))
    write("links.zip", links_zip())
    write("many.zip", many_zip())
    for codec, names in LEGACY_NAMES.items():
        write("names-%s.zip" % codec, legacy_names_zip(names, codec))


if __name__ == "__main__":
    main(sys.argv[1])

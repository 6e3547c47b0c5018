#!/usr/bin/env python3
"""Checks a compiled help file (.chm) without any CHM library.

Reads the file's directory (the ITSF header, the ITSP directory header and its
PMGL listing chunks) and fails when one of the expected internal names is
missing or empty. Optionally checks the title and the default topic stored in
the #SYSTEM file.

usage: check_chm.py [--title TEXT] [--default-topic PATH] FILE.chm NAME...
       check_chm.py --list FILE.chm
NAME is an internal path such as /html/wizard.htm.
"""
import struct
import sys


class ChmError(Exception):
    pass


def encint(data, pos):
    """A variable-length integer: 7 bits a byte, high bit set on all but the last."""
    value = 0
    while True:
        if pos >= len(data):
            raise ChmError("directory entry runs past its chunk")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos


def read_directory(data):
    """Returns ({name: (section, offset, length)}, offset of the content section 0)."""
    if len(data) < 0x60 or data[:4] != b"ITSF":
        raise ChmError("not a compiled help file (no ITSF header)")
    version, header_length = struct.unpack_from("<II", data, 4)
    dir_offset, dir_length = struct.unpack_from("<QQ", data, 0x48)
    if version >= 3 and header_length >= 0x60:
        content_offset = struct.unpack_from("<Q", data, 0x58)[0]
    else:
        content_offset = dir_offset + dir_length
    directory = data[dir_offset:dir_offset + dir_length]
    if len(directory) < 0x54 or directory[:4] != b"ITSP":
        raise ChmError("no directory header (ITSP)")
    itsp_length, = struct.unpack_from("<I", directory, 8)
    chunk_size, = struct.unpack_from("<I", directory, 0x10)
    first_chunk, = struct.unpack_from("<i", directory, 0x20)
    if chunk_size < 0x20:
        raise ChmError("bad directory chunk size %d" % chunk_size)

    entries = {}
    seen = set()
    chunk_number = first_chunk
    while chunk_number != -1:
        if chunk_number in seen or chunk_number < 0:
            raise ChmError("directory chunks are not a simple list")
        seen.add(chunk_number)
        start = itsp_length + chunk_number * chunk_size
        chunk = directory[start:start + chunk_size]
        if len(chunk) != chunk_size or chunk[:4] != b"PMGL":
            raise ChmError("directory chunk %d is not a listing chunk" % chunk_number)
        free_space, = struct.unpack_from("<I", chunk, 4)
        next_chunk, = struct.unpack_from("<i", chunk, 0x10)
        pos, end = 0x14, chunk_size - free_space
        while pos < end:
            length, pos = encint(chunk, pos)
            name = chunk[pos:pos + length].decode("utf-8")
            pos += length
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            size, pos = encint(chunk, pos)
            entries[name] = (section, offset, size)
        chunk_number = next_chunk
    return entries, content_offset


def read_system(data, entries, content_offset):
    """The records of #SYSTEM (stored uncompressed): {code: bytes}."""
    if "/#SYSTEM" not in entries:
        raise ChmError("no /#SYSTEM file")
    section, offset, size = entries["/#SYSTEM"]
    if section != 0:
        raise ChmError("/#SYSTEM is compressed")
    blob = data[content_offset + offset:content_offset + offset + size]
    records = {}
    pos = 4  # version
    while pos + 4 <= len(blob):
        code, length = struct.unpack_from("<HH", blob, pos)
        records.setdefault(code, blob[pos + 4:pos + 4 + length])
        pos += 4 + length
    return records


def text_of(record):
    return record.split(b"\0", 1)[0].decode("utf-8", "replace")


def main(argv):
    args = argv[1:]
    title = default_topic = None
    listing = False
    while args and args[0].startswith("--"):
        option = args.pop(0)
        if option == "--list":
            listing = True
        elif option in ("--title", "--default-topic") and args:
            if option == "--title":
                title = args.pop(0)
            else:
                default_topic = args.pop(0)
        else:
            print(__doc__.strip(), file=sys.stderr)
            return 2
    if not args:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    chm, expected = args[0], args[1:]

    try:
        with open(chm, "rb") as f:
            data = f.read()
        entries, content_offset = read_directory(data)
        if listing:
            for name in sorted(entries):
                section, _, size = entries[name]
                print("%d %9d  %s" % (section, size, name))
            return 0

        problems = []
        for name in expected:
            if name not in entries:
                problems.append("missing: %s" % name)
            elif entries[name][2] == 0:
                problems.append("empty: %s" % name)
        if title is not None or default_topic is not None:
            records = read_system(data, entries, content_offset)
            if title is not None:
                found = text_of(records.get(3, b""))
                if found != title:
                    problems.append("title is %r, not %r" % (found, title))
            if default_topic is not None:
                found = text_of(records.get(2, b""))
                if found.lstrip("/") != default_topic.lstrip("/"):
                    problems.append("default topic is %r, not %r" % (found, default_topic))
    except (OSError, ChmError, struct.error, UnicodeDecodeError) as error:
        print("%s: %s" % (chm, error), file=sys.stderr)
        return 1

    for problem in problems:
        print("%s: %s" % (chm, problem), file=sys.stderr)
    if problems:
        return 1
    print("%s: %d internal files, all %d expected ones present" % (chm, len(entries), len(expected)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

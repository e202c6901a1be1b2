#!/usr/bin/env python3
"""Writes the fuzzer's seed inputs beside this file, in corpus/.

The first byte selects the reader (0 file, 1 lines, 2 stored key; +4 for
double-byte text); the stored key seed uses the file store's value format.
    python3 qxm/fuzz/make_corpus.py
"""
import pathlib
import struct

SCRIPT = (
    "# crypto menu\r\n"
    "%1=C:\\Tools\\veilor.exe\r\n"
    "%2=C:\\Tools\\lock.ico\r\n"
    "%3\r\n"
    "0;*;Crypto\\AES;Encrypt with AES;%1;aese %f;Encrypt the selected files;%2;%2\r\n"
    "0;aes;Crypto\\AES;Decrypt;%1;aesd %f;%e;%2;#2\r\n"
    "2;*;Crypto;%e;%e;%e;%e;%e;%e\r\n"
    "1;*;%e;Folder;C:\\x.exe;%f %f;help;%2;%2\r\n"
    "2;*;%e;%e;%e;%e;%e;%e;%e\r\n"
).encode("ascii")


def stored_key(lines, constants):
    out = b"QXM registry key 1\n"
    values = [("Line%d" % i, line) for i, line in enumerate(lines)]
    values += [("Img%d" % j, line) for j, line in enumerate(constants)]
    for name, text in values:
        data = text.encode("ascii") + b"\0"
        out += struct.pack("<I", len(name)) + name.encode("ascii")
        out += struct.pack("<II", 1, len(data)) + data
    return out


def main():
    corpus = pathlib.Path(__file__).resolve().parent / "corpus"
    corpus.mkdir(exist_ok=True)
    lines = [line for line in SCRIPT.decode("ascii").split("\r\n") if line]
    items = [line for line in lines if line[0] not in "#%"]
    constants = [line for line in lines if line.startswith("%") and "=" in line]
    seeds = {
        "file-example": b"\x00" + SCRIPT,
        "file-double-byte": b"\x04" + SCRIPT.replace(b"Crypto\\AES", b"Crypto\\\x95\x5c\\AES"),
        "lines-example": b"\x01" + SCRIPT.replace(b"\r\n", b"\n"),
        "stored-example": b"\x02" + stored_key(items, constants),
    }
    for name, data in seeds.items():
        (corpus / name).write_bytes(data)


if __name__ == "__main__":
    main()

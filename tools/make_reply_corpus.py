#!/usr/bin/env python3
"""Writes the seed corpus of the reply decoder's fuzz target: one valid reply per reply rule.

Each file is the fuzz input format: a 16-bit little-endian count of received bytes (minus 16),
then the reply package.

    tools/make_reply_corpus.py tests/fuzz/corpus/reply_decoder
"""
import os
import struct
import sys


def reply(code, reply_length, p1=0, p2=0, p3=0, data=b""):
    header = struct.pack("<8h", 516, code, reply_length, 1, 0, p1, p2, p3)
    package = (header + data).ljust(512, b"\0")[:512]
    return struct.pack("<H", reply_length - 16) + package


def i32s(*values):
    return struct.pack("<%di" % len(values), *values)


def seeds():
    yield "position", reply(513, 128, data=i32s(*range(24)))
    yield "status", reply(514, 16, 0, 1, 1)
    yield "info1", reply(515, 140, data=i32s(100, 90) + struct.pack("<d", 100.0) + bytes(100))
    yield "sysvars", reply(517, 256, data=i32s(*range(48)))
    yield "info2", reply(518, 64, data=b"O1234\0\0\0\0\0\0\0\0O1234" + bytes(8) + i32s(10, 3, 1000, 5000))
    yield "alarms", reply(519, 128, 0, 2, data=i32s(5, 0, 1, 0, 0, 0, 0, 0, 3, 1015, 12, 7))
    yield "milltools", reply(520, 512, 95, data=bytes(range(256)) * 2)
    yield "lathetool", reply(521, 64, 0, 5, data=i32s(*range(8)) + b"\x02")
    yield "workcoords", reply(522, 192, data=i32s(*range(42)))
    yield "globals", reply(523, 416, 0, 0, 49, data=struct.pack("<50d", *range(50)))
    yield "locals", reply(525, 512, 1, data=struct.pack("<49d", *range(49)))
    yield "params", reply(526, 416, 0, 1, 100, data=i32s(*range(100)))
    yield "pulses", reply(528, 64, data=i32s(1, 2, 3, 4, 5, 6))
    yield "extoffsets", reply(538, 512, 0, 20, data=i32s(*range(120)))
    for code in range(544, 549):
        yield "bits%d" % code, reply(code, 512, 0, 0, data=bytes([1, 0] * 248))
    yield "timers", reply(549, 512, 0, 0, data=struct.pack("<248h", *range(248)))
    yield "counters", reply(550, 512, 0, 132, data=struct.pack("<248h", *range(248)))
    yield "registers", reply(551, 512, 0, 0, data=i32s(*range(124)))
    yield "backup", reply(552, 512, 0, 200, data=i32s(*range(124)))
    yield "partpath", reply(554, 144, 0, 12, data=b"C:\\NC\\O1234\0")
    yield "setresult", reply(608, 16, 3)
    yield "rename", reply(657, 272, 0, 4, 4, data=b"A.NC\0B.NC\0")
    yield "delete", reply(658, 144, 2, data=b"A.NC\0")
    entry = bytes(21) + b"\x20" + struct.pack("<HHi", 0x6000, 0x5A21, 1234) + b"O1234.NC".ljust(14, b"\0")
    yield "filelist", reply(665, 512, 0, 3, 25, data=entry * 3)
    yield "hardware", reply(672, 32, data=i32s(0xFFFFFF) + struct.pack("<hBB4h", 0x1F01, 1, 0, 1, 0, 1, 0))
    yield "software", reply(673, 512, data=b"V1.0M-2026\0")
    yield "rootpath", reply(675, 512, data=b"C:\\\0")
    yield "diskfree", reply(677, 24, data=struct.pack("<4H", 1000, 500, 8, 512))
    yield "hardware2", reply(679, 20, 1, data=i32s(12))
    yield "record", reply(21845, 512, 1, data=struct.pack("<hhib", 7, 2, 1234, 5))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "tests/fuzz/corpus/reply_decoder"
    os.makedirs(folder, exist_ok=True)
    for name, content in seeds():
        with open(os.path.join(folder, "seed-" + name), "wb") as f:
            f.write(content)


if __name__ == "__main__":
    main()

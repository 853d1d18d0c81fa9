#!/usr/bin/env python3
"""Builds the controller's own files that vandir-sim ships (data/sim/MACHINE, data/sim/RESOURCE).

Run from anywhere (Python 3.9+, standard library only):

    python3 tools/make_sim_data.py           # (re)writes every file below data/sim/{MACHINE,RESOURCE}
    python3 tools/make_sim_data.py --check   # exits 1 when a file differs from what would be written

The output is deterministic: the same sources give the same bytes. Edit the sources, never the
generated files:

    data/sim/src/display.tsv     display strings          -> RESOURCE/DspE.str, RESOURCE/DspC.str
    data/sim/src/parameters.tsv  parameters 1..2000       -> RESOURCE/param.idx, descriptions
                                                             20001..22000 in DspE.str / DspC.str,
                                                             MACHINE/PARAM.DEF
    data/sim/src/mlc.tsv         ladder alarms, warnings  -> MACHINE/eng_mlc.err, MACHINE/chi_mlc.err
    data/sim/src/user.tsv        machine builder's texts  -> MACHINE/USRENG.STR, MACHINE/USRCHI.STR
    data/sim/src/machine/*       plain text machine files -> MACHINE/ (same names, CRLF)
    this script                  histories and binary machine data (layouts below)

String files. Every text file is written with CRLF line ends. The English ones are ASCII, the
Chinese ones Big5 (Python's "big5" codec). A string file is a list of number=text lines with
comment blocks: a block starts at a line beginning with "/*" and ends at the next line beginning
with "*/"; both lines and everything between are not read, even when the opening line itself
also holds "*/". Each file starts with such a one-line header, "/* NAME ... */", whose block
therefore runs on to the next "*/" line and swallows an example entry. The files hold no section
header: whoever reads them as INI adds "[HMISTRINGTABLE]" in front.

Source tables (*.tsv, UTF-8): "KEY<TAB>English<TAB>Chinese" where KEY is a number or a range
FIRST-LAST. Inside a range the texts may use {N} (1, 2, ... along the range), {I} (0, 1, ...)
and {K} (the key), each with an optional offset and format: {N+20:02d}, {K-2000:03d}.
"@ English<TAB>Chinese" writes a comment block; "#" lines and blank lines are source comments.

PARAM.IDX (RESOURCE/param.idx), little-endian:
    0   32  identification "VANDIR PARAM INDEX V3.1", NUL padded (version 3: 24-byte records)
    32   2  record count N = 2000 (one record per parameter 1..2000)
    34   2  layout K = 11 (starts and counts of all eleven groups present)
    36  44  start of groups 1..11 (i32 index of the group's first record)
    80  44  count of groups 1..11 (i32)
    124     N records of 24 bytes:
              u16 number      parameter number
              u16 extra       write level: 1 user, 2 maker, 9999 super
              i32 value1      minimum
              i32 value2      maximum
              i32 value3      default
              i32 value4      unit code << 8 | implied decimals (see UNITS)
              i16 active      1 at once, 2 after reset, 3 after power off/on, 0 not used
              i16 reserved    0
    The records are sorted by group (1..7, then 11), by number within a group; groups 8..10 are
    empty and start where group 11 starts.

Binary machine files (MACHINE/), little-endian; the values mirror the simulator's machine at
power-up (sim/machine/initial_state.cpp) so that a backup looks like the machine it came from:
    PARAM.BIN    2001 x i32: parameter values of numbers 0..2000 (8004 bytes)
    PARAM.DEF    2001 x i32: factory defaults of numbers 0..2000 from parameters.tsv
    CNC.PAR      ladder settings: 16-byte header "VDLPAR", timer presets 256 x i16 (ms),
                 counter presets 256 x i16, keep relays K000..K255 as 256 bytes
    CNC.LAD      ladder program: 64-byte header "VDLADDER" (version, rung count, instruction
                 count, title, date), then per rung: u16 number, u16 instruction count, 24-byte
                 comment, instructions of 4 bytes (u8 operation, u8 letter, u16 address)
    CNC.L88      the same ladder compiled: 32-byte header "VDL88", 6-byte code words
                 (u8 operation | 0x80, u8 flags, u32 bit address), i32 sum of the code bytes
    GLOBAL6.DAT  milling tool and offset data: 16-byte header "VDGLOB6", 100 tools of 40 bytes
                 (lengths 1..6 i32, radius i32, TDC value i32, TDC time f64), 307 coordinate
                 sets of 6 x i32 (base, G54..G59, G54 P1..P300), 1101 global variables f64
    GREADY6.BIN  lathe tools: 16-byte header "VDGRDY6", 33 tools of 36 bytes (geometry X Y Z R,
                 wear X Y Z R as i32, u8 type, 3 bytes padding)
    GRUNH6.BIN   lathe coordinate sets: 16-byte header "VDGRNH6", 307 sets of 6 x i32
    GRUNL6.BIN   lathe global variables: 16-byte header "VDGRNL6", 1101 x f64
    SRAM         65536-byte battery-backed memory image: header "VDSRAM" with a checksum (u32
                 sum of the bytes from 0x100 on), D registers at 0x100 (256 x i32), counters at
                 0x500 and timers at 0x900 (256 x (i16 now, i16 preset)), keep relays at 0xD00,
                 work data at 0xE00, axis positions at power off at 0xF00, the rest zero
    GRAPH.DAT    graphic definitions: 16-byte header "VDGRAPH", views (16-byte name, 9 x f32),
                 shapes (16-byte name, u16 point count, u8 colour, u8 closed, points 3 x f32)
Text machine files: CNCSYS.LOG (alarm history) and OPMSG.LOG (operation history, a ring of 100
two-line records of 38 characters each, then the index of the next record to be written) are
generated here; PLCIO.CFG, XPNET.BAT, NETWORK.BAT and MMIBASE.INI are copied from src/machine.
"""

from __future__ import annotations

import argparse
import datetime as dt
import re
import struct
import sys
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DATA = ROOT / "data" / "sim"
SRC = DATA / "src"

CRLF = "\r\n"
PARAMETERS = 2000
MAX_DOUBLE = sys.float_info.max  # an empty macro variable

# Parameter groups as the parameter pages name them.
GROUPS = {1: "Servo", 2: "Machine", 3: "Spindle", 4: "MPG", 5: "Offset", 6: "Home",
          7: "Operate", 11: "Other"}
SHOWN_GROUPS = (1, 2, 3, 4, 5, 6, 7, 11)

# Unit name -> (unit code, implied decimals); value4 of a PARAM.IDX record is code << 8 | decimals.
UNITS = {
    "-": (0, 0), "0.0001mm": (1, 4), "mm/min": (2, 0), "rpm": (3, 0), "ms": (4, 0), "%": (5, 0),
    "pulse": (6, 0), "0.001deg": (7, 3), "1/s": (8, 0), "min": (9, 0), "s": (10, 0),
    "mV": (11, 0), "code": (12, 0), "bit": (13, 0), "count": (14, 0), "h": (15, 0),
    "0.1ms": (16, 1), "0.01ms": (17, 2), "Hz": (18, 0), "dB": (19, 0), "0.1C": (20, 1),
    "0.1um/C": (21, 1),
}

USER_LEVEL, MAKER_LEVEL, SUPER_LEVEL = 1, 2, 9999


# ---------------------------------------------------------------------------------------------
# Source tables

@dataclass
class Entry:
    key: int
    english: str
    chinese: str


@dataclass
class Block:
    english: str
    chinese: str


PLACEHOLDER = re.compile(r"\{([NIK])([+-]\d+)?(?::([^}]*))?\}")


def expand(text: str, n: int, i: int, k: int) -> str:
    def one(m: re.Match) -> str:
        value = {"N": n, "I": i, "K": k}[m.group(1)] + int(m.group(2) or 0)
        return format(value, m.group(3) or "d")
    return PLACEHOLDER.sub(one, text)


def parse_range(field: str, where: str) -> tuple[int, int]:
    m = re.fullmatch(r"(\d+)(?:-(\d+))?", field)
    if not m:
        raise SystemExit(f"{where}: bad number or range {field!r}")
    first = int(m.group(1))
    last = int(m.group(2) or first)
    if last < first:
        raise SystemExit(f"{where}: range {field!r} runs backwards")
    return first, last


def source_lines(name: str):
    path = SRC / name
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if line.strip() and not line.startswith("#"):
            yield f"{path.relative_to(ROOT)}:{number}", line


def load_strings(name: str) -> list:
    items: list = []
    seen: set[int] = set()
    for where, line in source_lines(name):
        fields = line.split("\t")
        if fields[0].startswith("@"):
            if len(fields) != 2:
                raise SystemExit(f"{where}: a block line needs English<TAB>Chinese")
            items.append(Block(fields[0][1:].strip(), fields[1].strip()))
            continue
        if len(fields) != 3:
            raise SystemExit(f"{where}: expected KEY<TAB>English<TAB>Chinese")
        first, last = parse_range(fields[0], where)
        for k in range(first, last + 1):
            if k in seen:
                raise SystemExit(f"{where}: key {k} given twice")
            seen.add(k)
            n, i = k - first + 1, k - first
            items.append(Entry(k, expand(fields[1], n, i, k), expand(fields[2], n, i, k)))
    return items


@dataclass
class Parameter:
    number: int
    group: int
    active: int
    minimum: int
    maximum: int
    default: int
    unit: str
    english: str
    chinese: str

    @property
    def level(self) -> int:
        if self.group == 7:
            return USER_LEVEL
        return SUPER_LEVEL if 1901 <= self.number <= 1908 else MAKER_LEVEL


def defaults_of(field: str, count: int, where: str) -> list[int]:
    if ".." in field:
        low, high = (int(x) for x in field.split(".."))
        values = list(range(low, high + 1))
    elif "," in field:
        values = [int(x) for x in field.split(",")]
    else:
        values = [int(field)] * count
    if len(values) != count:
        raise SystemExit(f"{where}: {len(values)} defaults for {count} parameters")
    return values


def load_parameters() -> list[Parameter]:
    table: dict[int, Parameter] = {}
    for where, line in source_lines("parameters.tsv"):
        fields = line.split("\t")
        if len(fields) != 9:
            raise SystemExit(f"{where}: expected 9 columns, found {len(fields)}")
        rng, group, active, low, high, default, unit, english, chinese = fields
        first, last = parse_range(rng, where)
        group, active, low, high = int(group), int(active), int(low), int(high)
        if group not in GROUPS or not 0 <= active <= 3 or unit not in UNITS or low > high:
            raise SystemExit(f"{where}: bad group, activation type, unit or limits")
        for offset, value in enumerate(defaults_of(default, last - first + 1, where)):
            number = first + offset
            if number in table or not 1 <= number <= PARAMETERS:
                raise SystemExit(f"{where}: parameter {number} twice or out of 1..{PARAMETERS}")
            if not low <= value <= high:
                raise SystemExit(f"{where}: default {value} of parameter {number} out of range")
            n = offset + 1
            table[number] = Parameter(number, group, active, low, high, value, unit,
                                      expand(english, n, offset, number),
                                      expand(chinese, n, offset, number))
    missing = [n for n in range(1, PARAMETERS + 1) if n not in table]
    if missing:
        raise SystemExit(f"parameters.tsv: no line for parameters {missing[:10]} ...")
    return [table[n] for n in range(1, PARAMETERS + 1)]


# ---------------------------------------------------------------------------------------------
# String files

@dataclass
class Language:
    codec: str
    pick: str  # "english" or "chinese"


ENGLISH = Language("ascii", "english")
CHINESE = Language("big5", "chinese")

HEADERS = {
    "english": (
        "{name}  {title} */",
        ["Format: one text a line, number=text; the screens look a text up by its number.",
         "Example:",
         "{example}",
         "Lines between the comment marks are not read."]),
    "chinese": (
        "{name}  {title} */",
        ["格式:每行一筆文字,編號=文字;畫面以編號查詢文字。",
         "範例:",
         "{example}",
         "註解符號之間的文字不會被讀取。"]),
}


def string_file(name: str, lang: Language, title: str, example: str, source: str,
                items: list) -> bytes:
    opening, body = HEADERS[lang.pick]
    lines = ["/* " + opening.format(name=name, title=title)]
    lines += [line.format(example=example) for line in body]
    lines += ["*/",
              "/*",
              f" Generated by tools/make_sim_data.py from data/sim/src/{source}.",
              "*/"]
    for item in items:
        if isinstance(item, Block):
            lines += ["", "/*", " " + getattr(item, lang.pick), "*/"]
        else:
            lines.append(f"{item.key}={getattr(item, lang.pick)}")
    text = CRLF.join(lines) + CRLF
    return text.encode(lang.codec)  # raises on a character the file's code page lacks


def parameter_items(parameters: list[Parameter]) -> list:
    items: list = []
    for p in parameters:
        if p.number % 100 == 1:
            last = p.number + 99
            items.append(Block(f"System parameters {p.number:04d}-{last:04d}",
                               f"系統參數{p.number:04d}-{last:04d}"))
        items.append(Entry(20000 + p.number, p.english, p.chinese))
    return items


# ---------------------------------------------------------------------------------------------
# PARAM.IDX

def param_index(parameters: list[Parameter]) -> bytes:
    ordered = sorted(parameters, key=lambda p: (p.group, p.number))
    starts, counts = [], []
    for g in range(1, 12):
        members = [i for i, p in enumerate(ordered) if p.group == g]
        if members:
            starts.append(members[0])
        else:  # an empty group starts where the next group with records starts
            later = [i for i, p in enumerate(ordered) if p.group > g]
            starts.append(later[0] if later else len(ordered))
        counts.append(len(members))
    out = bytearray(b"VANDIR PARAM INDEX V3.1".ljust(32, b"\0"))
    out += struct.pack("<HH", len(ordered), 11)
    out += struct.pack("<11i", *starts)
    out += struct.pack("<11i", *counts)
    for p in ordered:
        code, decimals = UNITS[p.unit]
        out += struct.pack("<HHiiiihh", p.number, p.level, p.minimum, p.maximum, p.default,
                           code << 8 | decimals, p.active, 0)
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# The simulator's machine at power-up (mirrors sim/machine/initial_state.cpp)

def mm(value: float) -> int:
    return int(value * 10000)  # truncation, as the simulator's static_cast


def sim_parameters() -> list[int]:
    values = [(n * 37) % 1000 + (10000 if n % 7 == 0 else 0) for n in range(PARAMETERS + 1)]
    values[122], values[288], values[289], values[202] = 0, 1, 2, 0
    for r in range(40):
        values[1842 + r] = 100 + r
    return values


def coordinate_sets() -> list[list[int]]:
    base = [mm(0.5), mm(-0.25), mm(0.1), 0, 0, 0]
    g54 = [mm(-250), mm(-180), mm(-320), mm(90), mm(45), mm(-30)]
    work = [g54] + [[g54[a] + mm(10.0 * s + a) for a in range(6)] for s in range(1, 6)]
    extended = [[0] * 6 for _ in range(300)]
    for s in range(10):
        for a in range(3):
            extended[s][a] = mm(-100 - 5.0 * s - a)
    return [base] + work + extended


def global_variables() -> list[float]:
    values = [MAX_DOUBLE] * 1101
    for i in range(100):
        values[i] = 0.5 * i - 10.0
    return values


def pack_sets(sets: list[list[int]]) -> bytes:
    return b"".join(struct.pack("<6i", *s) for s in sets)


def pack_doubles(values: list[float]) -> bytes:
    return struct.pack(f"<{len(values)}d", *values)


def header(magic: bytes, *words: int) -> bytes:
    return magic.ljust(8, b"\0") + struct.pack("<4H", *(list(words) + [0] * (4 - len(words))))


class Random:
    """xorshift32: a small generator whose sequence never depends on the Python version."""

    def __init__(self, seed: int):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self) -> int:
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def below(self, n: int) -> int:
        return self.next() % n

    def choice(self, items):
        return items[self.below(len(items))]


def param_bin() -> bytes:
    return struct.pack(f"<{PARAMETERS + 1}i", *sim_parameters())


def param_def(parameters: list[Parameter]) -> bytes:
    return struct.pack(f"<{PARAMETERS + 1}i", 0, *(p.default for p in parameters))


def global6() -> bytes:
    out = bytearray(header(b"VDGLOB6", 6, 100, 307, 1101))
    for t in range(100):
        if t == 0:
            out += bytes(40)
            continue
        lengths = [mm(100 + 1.25 * t), mm(-0.01 * t), mm(0.002 * t), 0, 0, 0]
        out += struct.pack("<6iiid", *lengths, mm(0.5 * (t % 20 + 1)), 3 * t, 1.5 * t)
    out += pack_sets(coordinate_sets())
    out += pack_doubles(global_variables())
    return bytes(out)


def gready6() -> bytes:
    out = bytearray(header(b"VDGRDY6", 6, 33, 36))
    for t in range(33):
        if t == 0:
            out += bytes(36)
            continue
        geometry = [mm(-150 - t), mm(0), mm(-220 - 2.0 * t), mm(0.4 + 0.4 * (t % 3))]
        wear = [mm(0.01 * t), 0, mm(-0.005 * t), mm(0.001 * (t % 4))]
        out += struct.pack("<8iB3x", *geometry, *wear, t % 10)
    return bytes(out)


def grunh6() -> bytes:
    return header(b"VDGRNH6", 6, 307, 6) + pack_sets(coordinate_sets())


def grunl6() -> bytes:
    return header(b"VDGRNL6", 6, 1101, 8) + pack_doubles(global_variables())


def timers_and_counters() -> tuple[list[tuple[int, int]], list[tuple[int, int]]]:
    timers = [(10 * i, 100 * (i + 1)) if i < 16 else (0, 0) for i in range(256)]
    counters = [(i, 50 + i) if i < 16 else (0, 0) for i in range(256)]
    return timers, counters


def keep_relays() -> bytes:
    keep = bytearray(256)
    for k, bits in {0: 0x05, 1: 0x80, 2: 0x11, 8: 0x01, 16: 0x3C, 31: 0x02}.items():
        keep[k] = bits
    return bytes(keep)


def cnc_par() -> bytes:
    timers, counters = timers_and_counters()
    out = bytearray(header(b"VDLPAR", 1, 256, 256, 256))
    out += struct.pack("<256h", *(preset for _, preset in timers))
    out += struct.pack("<256h", *(preset for _, preset in counters))
    out += keep_relays()
    return bytes(out)


def sram() -> bytes:
    image = bytearray(65536)
    d = [0] * 256
    for r in range(51, 101):
        d[r] = 3 * r
    d[55], d[73] = 1, 1  # tool display on; tool 1 in the spindle
    struct.pack_into("<256i", image, 0x100, *d)
    timers, counters = timers_and_counters()
    struct.pack_into("<512h", image, 0x500, *(v for pair in counters for v in pair))
    struct.pack_into("<512h", image, 0x900, *(v for pair in timers for v in pair))
    image[0xD00:0xE00] = keep_relays()
    # parts, required parts, total and cutting time (ms), power-on count, power-on hours
    struct.pack_into("<6i", image, 0xE00, 12, 500, 37_845_000, 0, 1843, 6120)
    struct.pack_into("<6i", image, 0xF00, 0, 0, mm(50), 0, 0, 0)
    checksum = sum(image[0x100:]) & 0xFFFFFFFF
    image[0:16] = struct.pack("<8sHHI", b"VDSRAM", 1, 0, checksum)  # version 1, milling
    return bytes(image)


# Ladder: operations and letters as the ladder editor numbers them.
OPS = {"LD": 1, "LDI": 2, "AND": 3, "ANI": 4, "OR": 5, "ORI": 6, "OUT": 16, "SET": 17,
       "RST": 18, "TMR": 19, "CNT": 20, "END": 31}
LETTERS = {"I": 1, "O": 2, "C": 3, "S": 4, "A": 5, "T": 6, "K": 7}
RUNG_TITLES = [
    "EMERGENCY STOP", "SERVO ON", "SPINDLE CW", "SPINDLE CCW", "SPINDLE STOP", "COOLANT",
    "LUBRICATION", "CHIP CONVEYOR", "WORK LIGHT", "DOOR INTERLOCK", "TOOL CLAMP", "TOOL UNCLAMP",
    "MAGAZINE CW", "MAGAZINE CCW", "ATC ARM", "AIR BLOW", "M CODE DECODE", "T CODE DECODE",
    "FEED HOLD", "CYCLE START", "RESET", "MPG SELECT", "OVERRIDE", "ALARM LAMP", "WARNINGS",
    "PART COUNTER", "OIL MIST", "HYDRAULICS", "SPINDLE COOLER", "ROTARY CLAMP",
]


def ladder_rungs() -> list[tuple[str, list[tuple[str, str, int]]]]:
    rnd = Random(0x1AD)
    rungs = []
    for r in range(420):
        title = f"{RUNG_TITLES[r % len(RUNG_TITLES)]} {r // len(RUNG_TITLES) + 1}"
        code = [(rnd.choice(["LD", "LDI"]), rnd.choice(["I", "C", "S"]), rnd.below(320))]
        for _ in range(1 + rnd.below(5)):
            code.append((rnd.choice(["AND", "ANI", "OR", "ORI"]),
                         rnd.choice(["I", "O", "C", "A", "T"]), rnd.below(256)))
        coil = rnd.choice(["OUT", "OUT", "OUT", "SET", "RST", "TMR", "CNT"])
        letter = {"TMR": "T", "CNT": "C"}.get(coil, rnd.choice(["O", "C", "A"]))
        code.append((coil, letter, rnd.below(256)))
        rungs.append((title, code))
    rungs.append(("END OF LADDER", [("END", "C", 0)]))
    return rungs


def cnc_lad(rungs) -> bytes:
    count = sum(len(code) for _, code in rungs)
    out = bytearray(b"VDLADDER" + struct.pack("<HHI", 0x0203, len(rungs), count))
    out += b"MILL 4AX ATC24 STANDARD".ljust(32, b"\0") + b"20260302" + bytes(8)
    for number, (title, code) in enumerate(rungs, 1):
        out += struct.pack("<HH", number, len(code)) + title.encode("ascii").ljust(24, b"\0")
        for op, letter, address in code:
            out += struct.pack("<BBH", OPS[op], LETTERS[letter], address)
    return bytes(out)


def cnc_l88(rungs) -> bytes:
    code = bytearray()
    for _, instructions in rungs:
        for index, (op, letter, address) in enumerate(instructions):
            last = index == len(instructions) - 1
            code += struct.pack("<BBI", OPS[op] | 0x80, 1 if last else 0,
                                LETTERS[letter] << 16 | address)
    out = bytearray(b"VDL88\0\0\0" + struct.pack("<HHIII", 0x0203, 0, len(code), len(rungs), 0))
    out += bytes(8) + code
    out += struct.pack("<i", sum(code))
    return bytes(out)


def graph_dat() -> bytes:
    views = [("TOP", 1.0, (0, 0, 0), (0, 0, 0)), ("FRONT", 1.0, (0, 0, 0), (-90, 0, 0)),
             ("SIDE", 1.0, (0, 0, 0), (-90, 0, 90)), ("ISOMETRIC", 0.8, (0, 0, 0), (-60, 0, 45)),
             ("LATHE XZ", 1.5, (0, 0, 0), (0, 90, 0))]
    shapes = [("TABLE", 7, True, [(-400, -200, 0), (400, -200, 0), (400, 200, 0), (-400, 200, 0)]),
              ("VISE", 3, True, [(-80, -60, 0), (80, -60, 0), (80, 60, 0), (-80, 60, 0)]),
              ("STOCK", 14, True, [(0, 0, -5), (80, 0, -5), (80, 60, -5), (0, 60, -5)]),
              ("CHUCK", 3, True, [(0, -100, 0), (60, -100, 0), (60, 100, 0), (0, 100, 0)])]
    rnd = Random(0x6AF)
    for n in range(1, 25):  # tool pots of the magazine as small circles
        cx, cy = 500 + 60 * ((n - 1) % 6), -150 + 60 * ((n - 1) // 6)
        points = [(cx + 20 * c, cy + 20 * s, 0) for c, s in
                  [(1, 0), (0.7071, 0.7071), (0, 1), (-0.7071, 0.7071), (-1, 0),
                   (-0.7071, -0.7071), (0, -1), (0.7071, -0.7071)]]
        shapes.append((f"POT {n:02d}", 2 + rnd.below(6), True, points))
    out = bytearray(header(b"VDGRAPH", 1, len(views), len(shapes)))
    for name, scale, origin, rotation in views:
        out += name.encode("ascii").ljust(16, b"\0")
        out += struct.pack("<9f", scale, *origin, *rotation, 640.0, 480.0)
    for name, colour, closed, points in shapes:
        out += name.encode("ascii").ljust(16, b"\0")
        out += struct.pack("<HBB", len(points), colour, int(closed))
        for point in points:
            out += struct.pack("<3f", *point)
    return bytes(out)


# ---------------------------------------------------------------------------------------------
# Histories

MODES = ["EDIT", "AUTO", "MDI", "JOG", "HANDLE", "HOME"]


def english_texts(items: list) -> dict[int, str]:
    return {item.key: item.english for item in items if isinstance(item, Entry)}


def cncsys_log(texts: dict[int, str]) -> bytes:
    """Alarm history: a header line, the alarm text, sometimes a continuation line that begins
    with a blank (the program and block in AUTO; the message line then ends with a blank)."""
    rnd = Random(0xA1A)
    day = dt.datetime(2026, 1, 29, 7, 50, 0)
    daily = [  # (alarm, mode) as they happen during a shift
        (3001, 3), (7051, 5), (3015, 1), (3004, 1), (4012, 1), (1002, 2), (3014, 1), (12007, 1),
        (3043, 1), (8001, 0), (7021, 4), (5021, 1), (3030, 1), (8004, 0), (1016, 1),
        (3038, 1), (7013, 3), (3010, 3), (1028, 2), (3015, 1),
    ]
    lines = []
    step = 0
    for d in range(40):
        now = day + dt.timedelta(days=d)
        if now.weekday() >= 5:
            continue
        now += dt.timedelta(minutes=rnd.below(15), seconds=rnd.below(60))
        for _ in range(2 + rnd.below(3)):
            code, mode = daily[step % len(daily)]
            step += 1
            lines.append(f"{now:%Y/%m/%d %H:%M:%S} ALARM {code:<6d}{MODES[mode]}")
            text = texts[code]
            if mode == 1:
                block = 10 * (1 + rnd.below(10))
                lines.append(text + " ")
                lines.append(f" (O1234 N{block})")
            else:
                lines.append(text)
            now += dt.timedelta(minutes=20 + rnd.below(180), seconds=rnd.below(60))
    return (CRLF.join(lines) + CRLF).encode("ascii")


OP_WIDTH = 38
OP_RECORDS = 100


def operation_events() -> list[tuple[dt.datetime, str, str]]:
    rnd = Random(0x0B5)
    events = []
    for d in range(8):
        now = dt.datetime(2026, 3, 2, 7, 40) + dt.timedelta(days=d)
        if now.weekday() >= 5:
            continue
        now += dt.timedelta(minutes=rnd.below(20), seconds=rnd.below(60))
        day = [("POWER ON", "V1.0M-2026.03"), ("EMERGENCY STOP OFF", ""),
               ("MODE CHANGE", "EDIT -> HOME"), ("HOMING DONE", "AXES 1-4"),
               ("MODE CHANGE", "HOME -> MDI"), ("MDI", "M06 T05"),
               ("PROGRAM SELECT", "O1234"), ("MODE CHANGE", "MDI -> AUTO"),
               ("CYCLE START", "O1234")]
        d_events = list(day)
        if rnd.below(2):
            offset = 3.0 + rnd.below(10) / 100
            d_events += [("FEED HOLD", ""), ("MODE CHANGE", "AUTO -> EDIT"),
                         ("TOOL OFFSET", f"T05 RADIUS {offset:.4f} -> {offset + 0.01:.4f}"),
                         ("MODE CHANGE", "EDIT -> AUTO"), ("CYCLE START", "O1234")]
        if rnd.below(3) == 0:
            d_events += [("FILE RECEIVED", f"C:\\NCFILES\\O{2000 + d} NETWORK"),
                         ("PARAMETER CHANGE", f"P0211 150 -> {120 + 5 * rnd.below(6)}")]
        d_events += [("ALARM RESET", "3015"), ("CYCLE START", "O1234"),
                     ("WORK OFFSET", f"G54 X -250.0000 -> -250.{rnd.below(100):02d}00"),
                     ("RESET", ""), ("PART COUNT", f"{10 + d} / 500"), ("POWER OFF", "")]
        for what, detail in d_events:
            events.append((now, what, detail))
            now += dt.timedelta(minutes=3 + rnd.below(50), seconds=rnd.below(60))
    return events


def opmsg_log() -> bytes:
    """Operation history: a ring of two-line records, then the index of the next record to be
    written. More events than records happened, so the ring has wrapped."""
    events = operation_events()
    if len(events) <= OP_RECORDS or len(events) % OP_RECORDS == 0:
        raise SystemExit("the operation history must wrap with the write index inside the ring")
    records = [("", "")] * OP_RECORDS
    for index, (when, what, detail) in enumerate(events):
        records[index % OP_RECORDS] = (f"{when:%Y/%m/%d %H:%M:%S} {what}", detail)
    lines = []
    for first, second in records:
        if len(first) > OP_WIDTH or len(second) > OP_WIDTH:
            raise SystemExit(f"operation record too long: {first!r} {second!r}")
        lines += [first.ljust(OP_WIDTH), second.ljust(OP_WIDTH)]
    lines.append(f"{len(events) % OP_RECORDS:5d}")
    return (CRLF.join(lines) + CRLF).encode("ascii")


# ---------------------------------------------------------------------------------------------

def crlf_copy(name: str) -> bytes:
    text = (SRC / "machine" / name).read_text(encoding="ascii")
    return (CRLF.join(text.splitlines()) + CRLF).encode("ascii")


def build() -> dict[str, bytes]:
    display = load_strings("display.tsv")
    mlc = load_strings("mlc.tsv")
    user = load_strings("user.tsv")
    parameters = load_parameters()
    dsp = display + parameter_items(parameters)
    rungs = ladder_rungs()

    files = {
        "RESOURCE/DspE.str": string_file("DspE.str", ENGLISH, "display strings, English",
                                         "10001=AUTO MODE (example)", "display.tsv", dsp),
        "RESOURCE/DspC.str": string_file("DspC.str", CHINESE, "顯示字串,繁體中文",
                                         "10001=自動模式(範例)", "display.tsv", dsp),
        "RESOURCE/param.idx": param_index(parameters),
        "MACHINE/eng_mlc.err": string_file("ENG_MLC.ERR", ENGLISH, "PLC alarm and warning texts",
                                           "3001=EMERGENCY STOP (example)", "mlc.tsv", mlc),
        "MACHINE/chi_mlc.err": string_file("CHI_MLC.ERR", CHINESE, "PLC警報與警告文字",
                                           "3001=緊急停止(範例)", "mlc.tsv", mlc),
        "MACHINE/USRENG.STR": string_file("USRENG.STR", ENGLISH, "user strings of the machine",
                                          "14551=USER PARAMETER (example)", "user.tsv", user),
        "MACHINE/USRCHI.STR": string_file("USRCHI.STR", CHINESE, "機械廠使用者字串",
                                          "14551=使用者參數(範例)", "user.tsv", user),
        "MACHINE/CNCSYS.LOG": cncsys_log(english_texts(display + mlc)),
        "MACHINE/OPMSG.LOG": opmsg_log(),
        "MACHINE/PARAM.BIN": param_bin(),
        "MACHINE/PARAM.DEF": param_def(parameters),
        "MACHINE/CNC.PAR": cnc_par(),
        "MACHINE/CNC.LAD": cnc_lad(rungs),
        "MACHINE/CNC.L88": cnc_l88(rungs),
        "MACHINE/GLOBAL6.DAT": global6(),
        "MACHINE/GREADY6.BIN": gready6(),
        "MACHINE/GRUNH6.BIN": grunh6(),
        "MACHINE/GRUNL6.BIN": grunl6(),
        "MACHINE/SRAM": sram(),
        "MACHINE/GRAPH.DAT": graph_dat(),
    }
    for name in ("PLCIO.CFG", "XPNET.BAT", "NETWORK.BAT", "MMIBASE.INI"):
        files[f"MACHINE/{name}"] = crlf_copy(name)
    for path in files:
        stem, _, ext = Path(path).name.partition(".")
        if not (1 <= len(stem) <= 8 and len(ext) <= 3 and "." not in ext):
            raise SystemExit(f"{path}: not an 8.3 name")
    return files


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare with the files in data/sim instead of writing them")
    args = parser.parse_args()
    files = build()
    stale = []
    for path, content in files.items():
        target = DATA / path
        if args.check:
            if not target.is_file() or target.read_bytes() != content:
                stale.append(path)
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        if not target.is_file() or target.read_bytes() != content:
            target.write_bytes(content)
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    if not args.check:
        print(f"{len(files)} files in {DATA.relative_to(ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

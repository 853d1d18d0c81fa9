#!/usr/bin/env python3
"""Generates text/cvcode_tables.cpp: the Big5 -> GB2312 and GB2312 -> Big5 lookup tables.

Code points come from Python's own big5 and gb2312 codecs; the traditional <-> simplified
correspondence comes from OpenCC's character dictionaries (Debian package `opencc`), read as
text files where a distribution ships them and otherwise exported from the binary .ocd2
dictionaries with `opencc_dict`. Run from the repository root:

    python3 tools/gen_cvcode_tables.py text/cvcode_tables.cpp
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

BIG5_TABLE_SIZE = 94 * 157
GB_TABLE_SIZE = 87 * 94
NO_COUNTERPART = 0x2020
BIG5_TRAILS = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
GB_TRAILS = list(range(0xA1, 0xFF))

# The ideographic space must come out as two ASCII spaces, not as the other set's
# ideographic space, so that converted texts keep their column widths.
NEVER_CONVERTED = {"\u3000"}

# Punctuation that both sets have but that the two codecs assign to different Unicode
# code points; without these pairs a middle dot or a dash would become blank.
SAME_GLYPH = [  # (as the big5 codec decodes it, as the gb2312 codec decodes it)
    ("\u00B7", "\u30FB"),  # middle dot
    ("\u2014", "\u2015"),  # em dash
    ("\u223C", "\uFF5E"),  # tilde
    ("\u00A2", "\uFFE0"),  # cent
    ("\u00A3", "\uFFE1"),  # pound
    ("\u00A5", "\uFFE5"),  # yen
]

# Well-known correspondences; a regenerated table that loses one of them is wrong.
EXPECTED_BIG5_TO_GB = {0xB0EA: 0xB9FA, 0xA440: 0xD2BB, 0xA2AF: 0xA3B0, 0xA140: NO_COUNTERPART}
EXPECTED_GB_TO_BIG5 = {0xB9FA: 0xB0EA, 0xD2BB: 0xA440, 0xA1A1: NO_COUNTERPART}


def read_dictionary(path):
    """OpenCC text dictionary: one 'key<TAB>candidate candidate ...' line per character."""
    mapping = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            key, _, candidates = line.rstrip("\n").partition("\t")
            mapping[key] = candidates.split(" ")
    return mapping


def load_dictionary(opencc_dir, name, scratch):
    text = os.path.join(opencc_dir, name + ".txt")
    if os.path.exists(text):
        return read_dictionary(text)
    if not shutil.which("opencc_dict"):
        sys.exit(f"{name}.txt is not in {opencc_dir} and there is no opencc_dict to export it"
                 " from the .ocd2: apt-get install opencc")
    exported = os.path.join(scratch, name + ".txt")
    subprocess.run(["opencc_dict", "-i", os.path.join(opencc_dir, name + ".ocd2"),
                    "-o", exported, "-f", "ocd2", "-t", "text"], check=True)
    return read_dictionary(exported)


def big5_index(code):
    return ((code >> 8) - 0xA1) * 157 + BIG5_TRAILS.index(code & 0xFF)


def gb_index(code):
    return ((code >> 8) - 0xA1) * 94 + (code & 0xFF) - 0xA1


def gb_code(index):
    return (0xA1 + index // 94) << 8 | 0xA1 + index % 94


def decode(code, codec):
    try:
        return bytes([code >> 8, code & 0xFF]).decode(codec)
    except UnicodeDecodeError:
        return None


def encode(char, codec):
    try:
        encoded = char.encode(codec)
    except UnicodeEncodeError:
        return None
    return int.from_bytes(encoded, "big") if len(encoded) == 2 else None


def encodable(candidates, codec):
    return [code for code in (encode(char, codec) for char in candidates) if code]


class Dictionaries:
    def __init__(self, opencc_dir):
        with tempfile.TemporaryDirectory() as scratch:
            self.to_simplified = load_dictionary(opencc_dir, "TSCharacters", scratch)
            self.to_traditional = load_dictionary(opencc_dir, "STCharacters", scratch)
            # OpenCC's traditional forms are the dictionary forms (啓, 爲, 衆); Big5 holds
            # the Taiwan forms (啟, 為, 眾), which these two tables translate.
            self.to_taiwan = load_dictionary(opencc_dir, "TWVariants", scratch)
            self.from_taiwan = load_dictionary(opencc_dir, "TWVariantsRev", scratch)
        self.gb_side = dict(SAME_GLYPH)
        self.big5_side = {gb: big5 for big5, gb in SAME_GLYPH}

    def simplified_candidates(self, char):
        # The character itself ranks before its dictionary form's simplification: Big5 著
        # stays 著 (著名) rather than becoming the particle 着.
        candidates = self.to_simplified.get(char, []) + [char]
        for variant in self.from_taiwan.get(char, []):
            candidates += self.to_simplified.get(variant, [variant])
        return candidates + ([self.gb_side[char]] if char in self.gb_side else [])

    def traditional_candidates(self, char):
        candidates = []
        for form in self.to_traditional.get(char, []) + [char]:
            candidates += self.to_taiwan.get(form, []) + [form]
        return candidates + ([self.big5_side[char]] if char in self.big5_side else [])


def big5_to_gb_table(dictionaries):
    table = [NO_COUNTERPART] * BIG5_TABLE_SIZE
    for lead in range(0xA1, 0xFF):
        for trail in BIG5_TRAILS:
            big5 = lead << 8 | trail
            char = decode(big5, "big5")
            if char is None or char in NEVER_CONVERTED:
                continue
            codes = encodable(dictionaries.simplified_candidates(char), "gb2312")
            table[big5_index(big5)] = (codes or [NO_COUNTERPART])[0]
    return table


def gb_to_big5_table(dictionaries, big5_to_gb):
    table = [NO_COUNTERPART] * GB_TABLE_SIZE
    for lead in range(0xA1, 0xF8):
        for trail in GB_TRAILS:
            gb = lead << 8 | trail
            char = decode(gb, "gb2312")
            if char is None or char in NEVER_CONVERTED:
                continue
            codes = encodable(dictionaries.traditional_candidates(char), "big5")
            # A form that converts back to this very character keeps a GB2312 -> Big5 ->
            # GB2312 round trip lossless (发 -> 發 -> 发 rather than 髮).
            round_trip = [code for code in codes if big5_to_gb[big5_index(code)] == gb]
            chosen = (round_trip or codes or [NO_COUNTERPART])[0]
            table[gb_index(gb)] = chosen
    return table


def fill_from_reverse(big5_to_gb, gb_to_big5):
    """A Big5 character that OpenCC leaves without a GB2312 form but that some GB2312
    character converts to (穭 <- 稆) converts back to that character, so nothing sent to
    the controller comes back blank."""
    for index, big5 in enumerate(gb_to_big5):
        if big5 != NO_COUNTERPART and big5_to_gb[big5_index(big5)] == NO_COUNTERPART:
            big5_to_gb[big5_index(big5)] = gb_code(index)


def check_examples(big5_to_gb, gb_to_big5):
    for big5, gb in EXPECTED_BIG5_TO_GB.items():
        if big5_to_gb[big5_index(big5)] != gb:
            sys.exit(f"Big5 {big5:04X} gives {big5_to_gb[big5_index(big5)]:04X}, not {gb:04X}")
    for gb, big5 in EXPECTED_GB_TO_BIG5.items():
        if gb_to_big5[gb_index(gb)] != big5:
            sys.exit(f"GB2312 {gb:04X} gives {gb_to_big5[gb_index(gb)]:04X}, not {big5:04X}")


def cpp_array(name, table):
    rows = [", ".join(f"0x{code:04X}" for code in table[i:i + 12])
            for i in range(0, len(table), 12)]
    body = ",\n".join("    " + row for row in rows)
    return f"const std::array<std::uint16_t, {len(table)}> {name} = {{{{\n{body},\n}}}};\n"


def opencc_version():
    found = subprocess.run(["opencc", "--version"], capture_output=True, text=True)
    words = [word for word in found.stdout.split() if word[:1].isdigit()]
    return words[0] if words else "unknown"


def render(big5_to_gb, gb_to_big5):
    python = ".".join(map(str, sys.version_info[:3]))
    header = [
        "Generated by tools/gen_cvcode_tables.py; do not edit. From the repository root:",
        "    python3 tools/gen_cvcode_tables.py text/cvcode_tables.cpp",
        f"Sources: Python {python}'s big5 and gb2312 codecs; OpenCC {opencc_version()}'s",
        "TSCharacters, STCharacters, TWVariants and TWVariantsRev dictionaries.",
        f"Without a counterpart (0x2020): {big5_to_gb.count(NO_COUNTERPART)} of"
        f" {BIG5_TABLE_SIZE} Big5 positions, {gb_to_big5.count(NO_COUNTERPART)} of"
        f" {GB_TABLE_SIZE} GB2312 positions.",
    ]
    return (
        "".join(f"// {line}\n" for line in header)
        + '#include "text/cvcode_tables.h"\n\n'
        + "namespace talvo::text {\n\n"
        + cpp_array("kBig5ToGb", big5_to_gb)
        + "\n"
        + cpp_array("kGbToBig5", gb_to_big5)
        + "\n}  // namespace talvo::text\n"
    )


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the C++ file to write, normally text/cvcode_tables.cpp")
    parser.add_argument("--opencc-dir", default="/usr/share/opencc")
    args = parser.parse_args()

    dictionaries = Dictionaries(args.opencc_dir)
    big5_to_gb = big5_to_gb_table(dictionaries)
    gb_to_big5 = gb_to_big5_table(dictionaries, big5_to_gb)
    fill_from_reverse(big5_to_gb, gb_to_big5)
    check_examples(big5_to_gb, gb_to_big5)
    with open(args.output, "w", encoding="utf-8") as out:
        out.write(render(big5_to_gb, gb_to_big5))
    print(f"{args.output}: {big5_to_gb.count(NO_COUNTERPART)} Big5 and "
          f"{gb_to_big5.count(NO_COUNTERPART)} GB2312 positions without a counterpart")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes seed files for the settings fuzzers: stored "Quality", "Font" and "PicData" texts, sound
ones and the kinds of damage a hand-edited settings file shows.

Usage: python3 fuzz/make_settings_corpus.py [folder]   (default: fuzz)
Writes folder/corpus-quality, folder/corpus-font and folder/corpus-picdata.

The first byte of a font seed picks the locale the text is read in: 0 English (United States),
1 German, 2 French, 3 the C locale.
"""

import os
import sys

QUALITY = ["90", "75", " 100 ", "-5", "32767", "-32768", "32768", "0x10", "+12", "7.5", "",
           "abc", "99999999999", "75x", "\t42\n", "\u00a088", "\u0661\u0662"]

FONT = [
    (0, "Arial:12:True:False"),
    (0, "Times New Roman:10.5:False:True"),
    (1, "Arial:10,5:True:True"),
    (2, "DejaVu Sans:8,25:False:False"),
    (3, "Sans:0.001:1:0"),
    (0, "Arial:9:-1:2.5"),
    (0, "Arial:1e3:TRUE:false"),
    (0, "Arial:340282346638528859811704183484516925440:True:False"),
    (0, "Arial:3.4028235e38:True:False"),
    (0, "Arial:1e-45:True:False"),
    (0, "Arial:1,234:True:False"),
    (1, "Arial:1.234,5:True:False"),
    (0, " Odd Face :9:False:False"),
    (0, "Arial:12:True"),
    (0, "Arial:inf:True:False"),
    (0, "Arial:nan:True:False"),
    (0, "\u00c9l\u00e9gante:11:False:True"),
]

PICDATA = [
    ",".join(["0"] * 32),
    "".join(f"{i % 3}," for i in range(32)),
    "".join("1," for _ in range(32)),
    ",".join(["2"] * 31),
    "".join(f" {i % 2} ," for i in range(32)),
    "".join("+1," for _ in range(32)) + "9,9,9",
    "".join("-0," for _ in range(32)),
    "1,2,3," * 11,
    "",
    ",,,,",
]


def write_all(folder, items):
    os.makedirs(folder, exist_ok=True)
    for i, data in enumerate(items):
        with open(os.path.join(folder, f"seed_{i:02d}"), "wb") as f:
            f.write(data)


def main():
    base = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_all(os.path.join(base, "corpus-quality"), [t.encode("utf-8") for t in QUALITY])
    write_all(os.path.join(base, "corpus-font"),
              [bytes([locale]) + text.encode("utf-8") for locale, text in FONT])
    write_all(os.path.join(base, "corpus-picdata"), [t.encode("utf-8") for t in PICDATA])
    print(f"{len(QUALITY)} quality, {len(FONT)} font, {len(PICDATA)} picdata seeds in {base}")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
# The settings records kept as seeds (fuzz/corpus/fuzz_settings), written in the
# target's record layout; run again whenever fuzz_settings.cpp changes how it takes a
# record apart:
#   python3 fuzz/seeds/settings.py fuzz/corpus/fuzz_settings
# Byte 0 odd: a record, in the layout of provider.py.
import os, sys

from provider import ProviderInput

class Record(ProviderInput):
    def short(self, value):
        self.int(-32768, 32767, value, 2)
    def colour(self, value):
        self.int(-2**31, 2**31 - 1, value, 4)
    # A flag: ("empty",), ("bool", b), ("edge", index into the target's kEdges), ("text", t).
    def variant(self, v):
        kind = {"empty": 0, "bool": 1, "edge": 2, "text": 3}[v[0]]
        self.int(0, 3, kind)
        if v[0] == "bool":
            self.bool(v[1])
        elif v[0] == "edge":
            self.int(0, 2, 2)
            self.int(0, 11, v[1])
        elif v[0] == "text":
            self.string(v[1])

def record(spine_name="Arial", spine_size=12, spine_bold=("bool", False),
           spine_italic=("bool", False), pocket_name="Arial", pocket_bold=("bool", False),
           pocket_strikethru=("bool", False), shorts=(0, 1, 0, 0, 0, 0, 0)):
    r = Record()
    r.string(spine_name)
    r.short(spine_size)
    r.colour(0)
    r.variant(spine_bold)
    r.variant(spine_italic)
    r.bool(False)  # spine strikethru
    r.bool(False)  # spine underline
    r.string(pocket_name)
    r.short(10)
    r.colour(0)
    r.variant(pocket_bold)
    r.bool(False)  # pocket italic
    r.variant(pocket_strikethru)
    r.bool(False)  # pocket underline
    for value in shorts:  # alignment, label type, printing method, four margins
        r.short(value)
    return b"\x01" + r.bytes()

DENORM_MIN, LARGEST_SUBNORMAL, DOUBLE_MAX = 6, 7, 9
SEEDS = {
    # Settings at the edges of what the file holds read back as written: flags that
    # are subnormal (strtod calls them a range error) or the largest double, a comma
    # in a font name, an empty one, blanks around a text flag, the 16-bit limits.
    "record-at-the-edges": record(
        spine_name="Arial, Narrow", spine_size=-32768, spine_bold=("edge", LARGEST_SUBNORMAL),
        spine_italic=("edge", DOUBLE_MAX), pocket_name="", pocket_bold=("text", "  yes  "),
        pocket_strikethru=("edge", DENORM_MIN), shorts=(0, 1, 0, 32767, 0, 0, 0)),
}

out = sys.argv[1]
for name, data in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
print("\n".join(sorted(SEEDS)))

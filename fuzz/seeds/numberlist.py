#!/usr/bin/python3
# The number-list seeds (fuzz/corpus/fuzz_numberlist) that name their lists as
# written; run again whenever fuzz_numberlist.cpp changes its input layout:
#   python3 fuzz/seeds/numberlist.py fuzz/corpus/fuzz_numberlist
# FuzzedDataProvider takes strings from the front ("\\" then another byte ends
# a string, "\\\\" is a backslash) and the bytes of integers from the end, last
# byte first.
import os, sys
def s(t): return t.replace("\\", "\\\\").encode("latin-1") + b"\\ "
def seed(l1, l2, c1="", c2="", typ=1, copies=1, s1="", s2="", p1="", p2=""):
    front = s(l1) + s(l2) + s(c1) + s(c2) + s(s1) + s(s2) + s(p1) + s(p2)
    # from the end: bool list1 raw, bool list2 raw, switch (2: default), count 1 + b % 3, type 1 + b % 10
    tail = bytes([(typ - 1) % 10, (copies - 1) % 3, 2, 1, 1])
    return front + tail
out = sys.argv[1]
seeds = {
    "edge-lists": seed("2-4-9", "1-5,", "v", "c"),
    "refused-ranges": seed("3-1", "1-1"),
    "refused-ends": seed("1-", "1 -2"),
    "refused-gaps": seed("5-,6", "1,,2"),
    "refused-large": seed("1-32768", "99999999999999999999"),
    "accepted-ends": seed("1-5-", "007", "Vol.", "c."),
    "accepted-limit": seed("32767", "08-10"),
    "accepted-items": seed("007,8", "1-3,7", "v.", "Copy "),
    "second-constant-alone": seed("1-2", "", "Vol.", "Copy "),
    "sl4-pockets": seed("1-2", "", "Vol.", "", typ=3, s1="QA76\r\n", p1="\nSmith", p2="Smith\nJones"),
    "slb-pocket-lines": seed("1", "1-2", "v", "c", typ=5, copies=2, s1="QA76\r\nS77", p1="\r\nJones"),
    "sp2-empty-spine": seed("1-3", "", "Vol.", "", typ=2, s1="", s2="QA76\r\n"),
    "sl6-two-pockets": seed("2", "1", "Vol.", "c.", typ=4, s1="FIC", p1="Smith\r\nJones", p2="Brown"),
}
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f: f.write(data)

#!/usr/bin/python3
# The page-save seeds (fuzz/corpus/fuzz_pagesave), written in the target's input
# layout; run again whenever fuzz_pagesave.cpp changes how it takes its input apart:
#   python3 fuzz/seeds/pagesave.py fuzz/corpus/fuzz_pagesave
# Every integer here takes one byte (every range is below 256); the label file is
# whatever is left at the front (provider.py).
import os, sys

from provider import ProviderInput

class Seed(ProviderInput):
    def bytes(self, file):
        return super().bytes(file.encode("latin-1"))

# Set positions: 2 .. lastSetPosition (the type's sets per page + 1).
LAST_SET = {1: 41, 2: 21, 3: 11, 4: 7, 5: 11, 6: 9, 7: 51, 8: 57, 9: 2, 10: 37}
EDITS = {"none": 0, "insert": 1, "delete": 2, "series": 3}
MOVES = {"show": 0, "next": 1, "previous": 2}
TARGETS = {"open": 0, "new": 1, "over": 2, "nofile": 3}

def seed(label_type, target, steps, file):
    s = Seed()
    s.int(0, 255, label_type - 1)
    s.int(0, 3, TARGETS[target])
    s.int(1, 3, len(steps))
    for st in steps:
        s.int(0, 2, MOVES[st.get("move", "show")])
        s.int(0, 255, st.get("page", 1) - 1)  # ShowPage: 1 + choice % (pages + 1)
        s.int(0, 3, EDITS[st.get("edit", "none")])
        if st.get("edit", "none") == "none":
            s.bool(True)
        s.int(0, LAST_SET[label_type] + 1, st.get("set", 0))
        if st.get("count", 1) <= 0:
            s.int(0, 7, 0)  # counts -1 and 0
            s.int(-1, 0, st["count"])
        else:
            s.int(0, 7, 2)  # counts 1 to 12
            s.int(1, 12, st.get("count", 1))
        s.string(st.get("c1", ""), 6)
        s.string(st.get("c2", ""), 6)
        for key in ("l1", "l2"):
            s.string(st.get(key, ""), 10)
            s.int(0, 3, 0)  # taken as written
        typed = st.get("typed", [])
        s.int(0, 4, len(typed))
        for pocket, element, text in typed:
            s.bool(pocket)
            s.int(2, 58, element)
            s.string(text, 12)
    return s.bytes(file)

def labels(prefix, count, extra=""):
    return "".join("%s%d%s~~" % (prefix, i, extra) for i in range(1, count + 1))

SEEDS = {
    # sp1, 60 labels: page 1, two blank sets before set 3.
    "sp1-insert": seed(1, "open", [{"edit": "insert", "set": 3, "count": 2}], labels("S", 60)),
    # sl4 (a spine and two pockets a set), 25 sets: page 2, its second set deleted.
    "sl4-delete": seed(3, "open", [{"page": 2, "edit": "delete", "set": 3}],
                       labels("QA76\r\n.", 75)),
    # slb, 15 sets: a Vol. 1-3 x Copy 1,2 series of set 2 on page 1, then the next page
    # typed on and saved.
    "slb-series-then-next": seed(5, "open", [
        {"edit": "series", "set": 2, "c1": "Vol.", "l1": "1-3", "c2": "Copy ", "l2": "1,2"},
        {"move": "next", "typed": [(False, 2, "typed"), (True, 3, "pkt\r\nline")]}],
        labels("T", 30)),
    # sp2 (spines in pairs): saved as a new file, then the previous page.
    "sp2-new-file": seed(2, "new", [
        {"page": 2, "typed": [(False, 3, "QA76")]},
        {"move": "previous", "edit": "insert", "set": 2, "count": 1}], labels("P", 50)),
    # sl6 saved over a longer file, a series on the set past the last label.
    "sl6-over-other": seed(4, "over", [
        {"edit": "series", "set": 6, "c1": "v.", "l1": "1-2", "count": 2}], labels("L", 12)),
    # No file open (after New): the page is the whole file.
    "sp1-no-file": seed(1, "nofile", [
        {"page": 2, "typed": [(False, 2, "new"), (False, 5, "text")]}], labels("S", 45)),
    # Mailer-1, three steps: delete, next page, insert past the end.
    "mailer-three-steps": seed(9, "open", [
        {"edit": "delete", "set": 2},
        {"move": "next"},
        {"move": "show", "page": 4, "edit": "insert", "set": 2, "count": 3}], labels("M", 7)),
    # sl4 of two sets: a spine typed on the empty third set; the empty sets after
    # it are not written.
    "sl4-typed-on-an-empty-set": seed(3, "open", [{"typed": [(False, 4, "S3")]}],
                                      "S1~~P1~~Q1~~S2~~P2~~Q2~~"),
    # sp2: the first spine of a pair emptied, so the pair is left out.
    "sp2-empty-first-spine": seed(2, "open", [{"typed": [(False, 4, "")]}], labels("A", 6)),
    # sp1: Insert Blank with a count of 0 still saves and reads the page again.
    "sp1-insert-zero": seed(1, "open", [{"edit": "insert", "set": 5, "count": 0}], labels("L", 45)),
    # Insert and delete on set positions past the last label change nothing.
    "sp1-empty-positions": seed(1, "open", [
        {"edit": "insert", "set": 10, "count": 2},
        {"edit": "delete", "set": 9}], labels("L", 3)),
    # sl4: every text of the set numbered, the pockets at the end of their first line.
    "sl4-series-every-text": seed(3, "open", [
        {"edit": "series", "set": 2, "c1": "v.", "l1": "1-2"}], "S~~Smith~~Brown\r\nX~~T~~U~~V~~"),
    # sp1, 240 labels: page 6 shown and saved first, so that the starts of pages 4 to 6
    # are remembered; then a longer text typed on page 3 moves them by what it grew.
    "sp1-longer-text-after-a-later-page": seed(1, "open", [
        {"page": 6},
        {"page": 3, "typed": [(False, 10, "longer text")]}], labels("L", 240)),
    # sp1: the file ends in bytes that never end a label; a label typed on the empty
    # page after the end takes their place instead of joining them.
    "sp1-typed-after-an-unfinished-tail": seed(1, "open", [
        {"page": 3, "typed": [(False, 2, "X")]}], labels("L", 40) + "tail"),
}

out = sys.argv[1]
for name, data in SEEDS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
print("\n".join(sorted(SEEDS)))

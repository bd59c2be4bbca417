#!/usr/bin/env python3
"""What cutting a suite would cost over one source file.

    python3 mutate/reading.py [--count N] FILE SUITE [SUITE ...]

Runs the first N mutants of FILE twice over: once with every suite but the
ones named (as the gate would run after cutting them), once for each named
suite with that suite alone (slow suites included, so that it runs at all).
A mutant that survives the first run and dies in the second is one the cut
would let live. Prints a table row a suite. Needs the unmutated self-check of
an earlier `make mutate` (its times set the limits).
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

import mutate

ROOT = mutate.ROOT
BUILD = os.path.join(ROOT, "build-mutate")
RESULTS = os.path.join(BUILD, "mutate", "results.jsonl")


def run(path, count, without, slow, log):
    # An empty recorded list: a reading is compared with nothing.
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as empty:
        pass
    command = [sys.executable, os.path.join(ROOT, "mutate", "mutate.py"), "--build-dir", BUILD,
               "--killed-file", empty.name, "--only", path, "--count", str(count),
               "--reuse-baseline", "--without", ",".join(without)]
    if slow:
        command += ["--slow", "1000"]
    with open(log, "w") as out:
        code = subprocess.run(command, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT).returncode
    os.unlink(empty.name)
    if code != 0:
        sys.exit("mutate.py failed, see " + log)
    with open(RESULTS) as f:
        rows = [json.loads(line) for line in f if line.strip()][1:]
    return {r["id"]: r["status"] for r in rows if r["status"] != "not viable"}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--count", type=int, default=15)
    parser.add_argument("--logs", default=os.path.join(BUILD, "mutate", "readings"))
    parser.add_argument("file")
    parser.add_argument("suite", nargs="+")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(BUILD, "mutate", "baseline.json")):
        sys.exit("no self-check yet: run make mutate once first")
    every = [t.name for t in mutate.list_tests(BUILD)]
    unknown = set(args.suite) - set(every)
    if unknown:
        sys.exit("no such suite: " + ", ".join(sorted(unknown)))
    os.makedirs(args.logs, exist_ok=True)
    stem = os.path.splitext(os.path.basename(args.file))[0]

    without = run(args.file, args.count, args.suite, False,
                  os.path.join(args.logs, stem + "-without.log"))
    left = {i for i, status in without.items() if status == "survived"}
    print("| suite | file | mutants | it kills | the others kill | only it kills |")
    print("|---|---|---|---|---|---|")
    for suite in args.suite:
        alone = run(args.file, args.count, [s for s in every if s != suite], True,
                    os.path.join(args.logs, "%s-%s.log" % (stem, suite)))
        kills = {i for i, status in alone.items() if status in ("killed", "timed out")}
        only = sorted(left & kills)
        print("| `%s` | `%s` | %d | %d | %d | %s |" % (
            suite, args.file, len(without), len(kills), len(without) - len(left),
            "; ".join(":".join(i.split(":")[:2]) for i in only) or "none"), flush=True)


if __name__ == "__main__":
    main()

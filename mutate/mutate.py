#!/usr/bin/python3
"""Mutation testing over labelcore (src/core) and the window commands
(src/store, src/edit, src/app).

Each mutant is one small change to one source line: a comparison or an
arithmetic operator swapped, an integer constant moved by one, an `if` or
`while` condition negated, or a simple statement deleted. The mutant is
written into the checkout, only the targets that link the file are rebuilt
(ccache keeps every other object), and the test suites that can see the file
run, the likeliest killers first, until one fails. The file is restored after
every mutant, and on start-up if a killed run left a backup behind.

    python3 mutate/mutate.py                 # the fixed sample: seed 1, 200 viable mutants
    python3 mutate/mutate.py --only src/core/numberlist.cpp --count 10
    python3 mutate/mutate.py --report        # the last run's figures again

A mutant that does not compile is not viable and does not count; the next
one of the sample is drawn in its place. Mutants listed in
mutate/equivalent.txt (checked by hand: they behave as the original always
does) are counted apart and not run.
"""

import argparse
import functools
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["src/core", "src/store", "src/edit", "src/app"]
# The mutants the suites killed (or timed out) in the run taken as the
# measure: a change to the tests may drop a test only if every one of them is
# still killed.
KILLED_FILE = os.path.join(ROOT, "mutate", "killed.txt")
EQUIVALENT_FILE = os.path.join(ROOT, "mutate", "equivalent.txt")

# A test's time limit under a mutant: a few times its unmutated time, so that
# a mutant that loops forever costs seconds, not the ctest default of minutes.
TIMEOUT_FACTOR = 3.0
TIMEOUT_FLOOR = 10.0


# ---------------------------------------------------------------- candidates

class Mutant:
    def __init__(self, path, line, col, operator, original, replacement):
        self.path = path  # relative to ROOT
        self.line = line  # 1-based
        self.col = col  # 0-based offset of `original` in the line
        self.operator = operator
        self.original = original
        self.replacement = replacement

    @property
    def id(self):
        return "%s:%d:%d:%s:%s->%s" % (self.path, self.line, self.col + 1, self.operator,
                                       self.original, self.replacement)

    def apply(self, lines):
        text = lines[self.line - 1]
        assert text[self.col:self.col + len(self.original)] == self.original, self.id
        lines = list(lines)
        lines[self.line - 1] = text[:self.col] + self.replacement + text[self.col + len(self.original):]
        return lines


def code_only(lines):
    """Each line with comments, string and character literals blanked out
    (same length, so columns stay), and None for lines that hold no code we
    mutate: preprocessor lines, raw strings, lines inside block comments."""
    out = []
    in_block = False
    for raw in lines:
        text = raw.rstrip("\n")
        if 'R"' in text:
            out.append(None)
            continue
        chars = list(text)
        i = 0
        n = len(chars)
        while i < n:
            c = text[i]
            if in_block:
                end = text.find("*/", i)
                stop = n if end < 0 else end + 2
                for k in range(i, stop):
                    chars[k] = " "
                in_block = end < 0
                i = stop
                continue
            if text.startswith("//", i):
                for k in range(i, n):
                    chars[k] = " "
                break
            if text.startswith("/*", i):
                in_block = True
                continue
            if c in "\"'":
                # Blank the literal's content; keep the quotes so that we can
                # tell a literal operand when we see one.
                k = i + 1
                while k < n and text[k] != c:
                    k += 2 if text[k] == "\\" else 1
                for j in range(i + 1, min(k, n)):
                    chars[j] = "\x01"
                i = k + 1
                continue
            i += 1
        code = "".join(chars)
        stripped = code.strip()
        if not stripped or stripped.startswith("#"):
            out.append(None)
        elif re.match(r"(namespace|using|template|class|struct|enum|public:|private:|protected:|"
                      r"static_assert|extern)\b", stripped):
            out.append(None)
        elif re.search(r"\boperator\b", stripped):
            out.append(None)
        else:
            out.append(code)
    return out


COMPARISONS = [(" == ", " != "), (" != ", " == "), (" < ", " <= "), (" <= ", " < "),
               (" > ", " >= "), (" >= ", " > ")]
ARITHMETIC = [(" + ", " - "), (" - ", " + "), (" * ", " / "), (" / ", " * "), (" % ", " * "),
              (" += ", " -= "), (" -= ", " += ")]
CONSTANT = re.compile(r"(?<![\w.'\x01])(\d+)(?![\w.'\x01])")
CONDITION = re.compile(r"\b(if|while) \(")
ASSIGNMENT = re.compile(r"^\s*\*?[A-Za-z_][\w.:\[\]>-]*\s*(=|\+=|-=|\*=|/=|\|=|&=|<<=|>>=)\s.*;$")
CALL = re.compile(r"^\s*[A-Za-z_][\w.:>\-\[\]]*\(.*\);$")
STEP = re.compile(r"^\s*(\+\+|--)?[A-Za-z_][\w.:\[\]>-]*(\+\+|--)?;$")
NOT_A_STATEMENT = re.compile(r"^\s*(return|break|continue|case|default|goto|throw|else|do|delete|"
                             r"if|for|while|switch|Q_[A-Z_]+|emit)\b")


def balanced(text):
    depth = 0
    for c in text:
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth < 0:
                return False
    return depth == 0


def matching_paren(code, open_at):
    depth = 0
    for i in range(open_at, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def occurrences(code, needle):
    start = 0
    while True:
        i = code.find(needle, start)
        if i < 0:
            return
        yield i
        start = i + 1


def line_candidates(path, number, raw, code, previous_code):
    found = []
    for operator, table in (("cmp", COMPARISONS), ("arith", ARITHMETIC)):
        for original, replacement in table:
            for i in occurrences(code, original):
                before = code[:i].rstrip()[-1:]
                after = code[i + len(original):].lstrip()[:1]
                # Text joined with + is not arithmetic; such mutants would not compile.
                if operator == "arith" and (before == '"' or after == '"'):
                    continue
                found.append(Mutant(path, number, i + 1, operator, original.strip(), replacement.strip()))
    for i in occurrences(code, "++"):
        if code[i:i + 3] != "+++":
            found.append(Mutant(path, number, i, "arith", "++", "--"))
    for i in occurrences(code, "--"):
        if code[i:i + 3] != "---" and code[i - 1:i] != "-":
            found.append(Mutant(path, number, i, "arith", "--", "++"))
    for m in CONSTANT.finditer(code):
        literal = m.group(1)
        # A leading zero makes an octal constant (file modes): move it by one
        # in octal.
        octal = len(literal) > 1 and literal.startswith("0")
        if octal and not all(c in "01234567" for c in literal):
            continue
        value = int(literal, 8 if octal else 10)
        for moved in (value + 1, value - 1):
            if moved >= 0:
                text = ("0%o" % moved) if octal else str(moved)
                found.append(Mutant(path, number, m.start(1), "const", literal, text))
    for m in CONDITION.finditer(code):
        open_at = m.end() - 1
        close_at = matching_paren(code, open_at)
        if close_at < 0 or code.startswith("constexpr", m.end()):
            continue
        # A condition that declares its variable cannot be negated as it stands.
        if re.search(r"(?<![=!<>])=(?!=)", code[open_at:close_at]):
            continue
        original = raw[open_at:close_at + 1]
        found.append(Mutant(path, number, open_at, "negate", original, "(!" + original + ")"))
    stripped = code.strip()
    if (not NOT_A_STATEMENT.match(stripped) and balanced(stripped)
            and (ASSIGNMENT.match(stripped) or CALL.match(stripped) or STEP.match(stripped))
            and (previous_code is None or previous_code.rstrip()[-1:] in (";", "{", "}", ":", ")"))):
        start = len(raw) - len(raw.lstrip())
        end = code.rstrip().rfind(";") + 1
        found.append(Mutant(path, number, start, "delete", raw[start:end], ";"))
    return found


def source_files(only, folders=FOLDERS):
    if only:
        return [os.path.relpath(os.path.abspath(only), ROOT)]
    files = []
    for folder in folders:
        for name in sorted(os.listdir(os.path.join(ROOT, folder))):
            if name.endswith(".cpp"):
                files.append(folder + "/" + name)
    return files


def candidates(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        raw_lines = f.read().split("\n")
    code_lines = code_only(raw_lines)
    found = []
    previous = None
    for index, (raw, code) in enumerate(zip(raw_lines, code_lines)):
        if code is not None:
            found.extend(line_candidates(path, index + 1, raw, code, previous))
            previous = code
    return found


def sample_stream(files, seed):
    """Every candidate of the files, in the seeded order of the sample: the
    files shuffled, then one candidate of each file in turn, so the sample
    spreads over all files before any file gets a second mutant."""
    # Each file's candidates are shuffled by a generator of their own, and the
    # files by another: a change to one source file changes only its own
    # mutants, so the runs before and after a change to the tests or to one
    # file draw the same mutants everywhere else.
    order = list(files)
    random.Random(seed).shuffle(order)
    per_file = []
    for path in order:
        found = candidates(path)
        random.Random("%d:%s" % (seed, path)).shuffle(found)
        if found:
            per_file.append(found)
    while per_file:
        for found in per_file:
            yield found.pop()
        per_file = [found for found in per_file if found]


# ---------------------------------------------------------------- the checkout

class Workspace:
    """Writes a mutant into the checkout and always puts the original back."""

    def __init__(self, state_dir):
        self.backup = os.path.join(state_dir, "backup")
        self.note = os.path.join(state_dir, "backup.json")

    def recover(self):
        if not os.path.exists(self.note):
            return
        with open(self.note) as f:
            path = json.load(f)["path"]
        shutil.copyfile(self.backup, os.path.join(ROOT, path))
        os.utime(os.path.join(ROOT, path))
        os.remove(self.note)
        print("restored %s from the backup of an interrupted run" % path)

    def apply(self, mutant, original_lines):
        target = os.path.join(ROOT, mutant.path)
        shutil.copyfile(target, self.backup)
        with open(self.note, "w") as f:
            json.dump({"path": mutant.path}, f)
        with open(target, "w", encoding="utf-8") as f:
            f.write("\n".join(mutant.apply(original_lines)))

    def restore(self, mutant):
        target = os.path.join(ROOT, mutant.path)
        shutil.copyfile(self.backup, target)
        # A fresh time stamp: the next build compiles the original again (a
        # ccache hit) instead of keeping the mutant's object.
        os.utime(target)
        os.remove(self.note)


# ---------------------------------------------------------------- tests

class Test:
    def __init__(self, name, command, cwd, env, target):
        self.name = name
        self.command = command
        self.cwd = cwd
        self.env = env
        self.target = target
        self.seconds = None


def list_tests(build):
    out = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, check=True,
                         capture_output=True, text=True).stdout
    tests = []
    for t in json.loads(out)["tests"]:
        name = t["name"]
        # The smoke tests run the real programs under Xvfb and a print
        # server: a minute each, and they see nothing the suites below miss.
        if name.startswith("smoke_"):
            continue
        env = dict(os.environ)
        cwd = build
        for p in t.get("properties", []):
            if p["name"] == "ENVIRONMENT":
                for item in p["value"]:
                    key, _, value = item.partition("=")
                    env[key] = value
            elif p["name"] == "WORKING_DIRECTORY":
                cwd = p["value"]
        if "command" not in t:
            sys.exit("%s is not built: build %s first" % (name, build))
        target = os.path.basename(t["command"][0])
        tests.append(Test(name, t["command"], cwd, env, target))
    return tests


def run_tests(tests, timeouts, jobs):
    """Runs the tests `jobs` at a time in the given order and stops at the
    first one that fails or runs out of time. Returns (outcome, test name,
    {name: seconds}) with outcome "passed", "failed" or "timeout"."""
    pending = list(tests)
    running = {}
    seconds = {}
    outcome = ("passed", None)
    try:
        return _run(pending, running, seconds, outcome, timeouts, jobs)
    finally:
        for p in running:
            kill(p)


def _run(pending, running, seconds, outcome, timeouts, jobs):
    while (pending or running) and outcome[0] == "passed":
        while pending and len(running) < jobs:
            t = pending.pop(0)
            p = subprocess.Popen(t.command, cwd=t.cwd, env=t.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                                 start_new_session=True)
            running[p] = (t, time.monotonic())
        time.sleep(0.02)
        for p, (t, started) in list(running.items()):
            elapsed = time.monotonic() - started
            if p.poll() is not None:
                del running[p]
                seconds[t.name] = elapsed
                if p.returncode != 0 and outcome[0] == "passed":
                    outcome = ("failed", t.name)
            elif timeouts and elapsed > timeouts[t.name]:
                kill(p)
                del running[p]
                if outcome[0] == "passed":
                    outcome = ("timeout", t.name)
    return outcome[0], outcome[1], seconds


def kill(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    p.wait()


def build(build_dir, targets, log, mutant):
    """Builds the targets; False when the mutant does not compile. A build
    that fails elsewhere ends the run: it would make every mutant look not
    viable."""
    cmd = ["cmake", "--build", build_dir, "-j", "2", "--target"] + sorted(set(targets))
    result = subprocess.run(cmd, capture_output=True, text=True)
    if result.returncode == 0:
        return True
    output = result.stdout + result.stderr
    with open(log, "a") as f:
        f.write("== %s\n%s\n" % (mutant.id, output[-6000:]))
    if os.path.basename(mutant.path) not in output:
        raise SystemExit("the build failed outside %s; see %s" % (mutant.path, log))
    return False


INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


@functools.lru_cache(maxsize=None)
def project_header_includes(name):
    """The includes of the program's header `name` (a path below src/), or
    None when it is not one of the program's headers. Read once: every test
    reaches much the same headers."""
    path = os.path.join(ROOT, "src", name)
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return tuple(INCLUDE.findall(f.read()))


def with_included_headers(text):
    """The text followed by every project header it reaches through its
    includes: a test that includes pagereader.h sees labelfile.h too."""
    seen = set()
    parts = [text]
    pending = INCLUDE.findall(text)
    while pending:
        name = pending.pop()
        if name in seen:
            continue
        seen.add(name)
        includes = project_header_includes(name)
        if includes is None:
            continue
        parts.append('#include "%s"\n' % name)
        pending.extend(includes)
    return "\n".join(parts)


def test_sources():
    """Test name stem -> the text of the source files it is built from, with
    the project headers they reach, to find the tests that include a mutated
    file's header."""
    texts = {}
    for folder in ("core", "gui", "paint", "cli"):
        directory = os.path.join(ROOT, "tests", folder)
        for name in os.listdir(directory):
            if name.startswith("tst_") and name.endswith(".cpp"):
                with open(os.path.join(directory, name), encoding="utf-8") as f:
                    texts["%s_%s" % (folder, name[:-4])] = with_included_headers(f.read())
    fuzz = os.path.join(ROOT, "fuzz")
    for name in os.listdir(fuzz):
        if name.startswith("fuzz_") and name.endswith(".cpp"):
            with open(os.path.join(fuzz, name), encoding="utf-8") as f:
                texts[name[:-4] + "_replay"] = with_included_headers(f.read())
    return texts


def suites_for(path, tests, sources, kills, slow):
    """The tests that can see `path`, likeliest killers first: the test named
    after the file, then tests including its header, then the rest of its
    group (ordered by how many mutants of the same folder each has killed in
    this run), then the other groups; quicker tests first within a rank."""
    folder = os.path.dirname(path)
    stem = os.path.splitext(os.path.basename(path))[0]
    header = '"%s/%s.h"' % (folder[len("src/"):], stem)
    if folder == "src/core":
        groups = [("core_", "_replay"), ("cli_", "paint_"), ("gui_",)]
    elif folder == "src/paint":
        groups = [("paint_",), ("cli_",), ("gui_",)]
    elif folder == "src/cli":
        groups = [("cli_",)]
    else:
        # The command-line tool links labelcore and labelpaint, not the windows.
        groups = [("gui_",)]

    def group_of(t):
        for rank, prefixes in enumerate(groups):
            if any(t.name.startswith(p) or t.name.endswith(p) for p in prefixes):
                return rank
        return None

    ranked = []
    for t in tests:
        g = group_of(t)
        if g is None:
            continue
        test_stem = t.name.split("tst_")[-1].replace("_replay", "").replace("fuzz_", "")
        if test_stem == stem:
            rank = (0, 0)
        elif header in sources.get(t.name, ""):
            rank = (1, g)
        else:
            rank = (2, g)
            # The few suites that take longer than `slow` unmutated (stress
            # runs of many processes, the time-bound fuzz replays) run only
            # for the files they name or include: run for every survivor,
            # they alone would take most of the hour.
            if t.seconds > slow:
                continue
        ranked.append((rank, -kills.get((folder, t.name), 0), t.seconds, t.name, t))
    ranked.sort(key=lambda r: r[:4])
    return [r[-1] for r in ranked]


# ---------------------------------------------------------------- the run

@functools.lru_cache(maxsize=None)
def source_lines(path):
    """The lines of a source file as the checkout holds it, unmutated (read
    before its first mutant is written, and kept)."""
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        return f.read().split("\n")


def run_mutant(mutant, original_lines, suites, workspace, build_dir, build_log, timeouts, jobs):
    """Writes the mutant into the checkout, builds and runs the suites until
    one fails, and puts the original back. Returns (status, the suite that
    killed it or ran out of time)."""
    workspace.apply(mutant, original_lines)
    try:
        # The likeliest killers first, built alone; the rest only when the
        # mutant outlives them.
        first, rest = suites[:2], suites[2:]
        if not build(build_dir, [t.target for t in first], build_log, mutant):
            return "not viable", None
        outcome, name, _ = run_tests(first, timeouts, jobs)
        if outcome == "passed" and rest:
            if not build(build_dir, [t.target for t in rest], build_log, mutant):
                return "not viable", None
            outcome, name, _ = run_tests(rest, timeouts, jobs)
        return {"passed": "survived", "failed": "killed", "timeout": "timed out"}[outcome], name
    finally:
        workspace.restore(mutant)


def recheck(recorded, changed, files, seed, tests, timeouts, sources, slow, workspace,
            build_dir, build_log, jobs):
    """Runs again, against every suite, the recorded mutants that one of the
    `changed` suites killed first: a change to those suites can let live only
    these, since every other recorded mutant was killed by a suite that did
    not change. Returns how many survive now."""
    wanted = {i for i, by in recorded.items() if by is None or by in changed}
    print("%d recorded mutants were killed first by %s; each runs again against every suite"
          % (len(wanted), ", ".join(changed)), flush=True)
    lost = []
    done = 0
    for mutant in sample_stream(files, seed):
        if not wanted:
            break
        if mutant.id not in wanted:
            continue
        wanted.discard(mutant.id)
        t0 = time.monotonic()
        status, by = run_mutant(mutant, source_lines(mutant.path),
                                suites_for(mutant.path, tests, sources, {}, slow), workspace,
                                build_dir, build_log, timeouts, jobs)
        done += 1
        if status == "survived":
            lost.append(mutant.id)
        print("[%3d] %-10s %5.1f s  %s%s" % (done, status, time.monotonic() - t0, mutant.id,
                                             "  (" + by + ")" if by else ""), flush=True)
    if wanted:
        print("not in the sample any more (their sources changed): %d" % len(wanted))
    print("run again: %d; surviving now: %d" % (done, len(lost)))
    for i in lost:
        print("  surviving now: " + i)
    return len(lost)


def load_equivalent():
    marked = {}
    if os.path.exists(EQUIVALENT_FILE):
        with open(EQUIVALENT_FILE, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if not line.strip() or line.startswith("#"):
                    continue
                mutant_id, _, reason = line.partition("  # ")
                marked[mutant_id.strip()] = reason.strip()
    return marked


def summarize(results, equivalent, out=sys.stdout):
    # A survivor marked by hand after its run counts as equivalent too.
    results = [dict(r, status="equivalent") if r["status"] == "survived" and r["id"] in equivalent
               else r for r in results]
    counted = [r for r in results if r["status"] != "not viable"]
    by = {}
    for r in counted:
        by.setdefault(r["status"], []).append(r)
    killed = len(by.get("killed", []))
    timeout = len(by.get("timed out", []))
    equivalent = len(by.get("equivalent", []))
    survived = by.get("survived", [])
    scored = len(counted) - equivalent
    score = 100.0 * (killed + timeout) / scored if scored else 0.0
    seconds = sum(r["seconds"] for r in results)
    print("viable mutants: %d (not viable, drawn again: %d)"
          % (len(counted), len(results) - len(counted)), file=out)
    print("killed:         %d" % killed, file=out)
    print("timed out:      %d" % timeout, file=out)
    print("equivalent:     %d" % equivalent, file=out)
    print("survived:       %d" % len(survived), file=out)
    print("mutation score: %.1f%% (killed and timed out over viable, less equivalent)" % score,
          file=out)
    print("time:           %.0f min" % (seconds / 60.0), file=out)
    if survived:
        print("survivors:", file=out)
        for r in sorted(survived, key=lambda r: r["id"]):
            print("  " + r["id"], file=out)
    timed = by.get("timed out", [])
    if timed:
        print("timed out:", file=out)
        for r in sorted(timed, key=lambda r: r["id"]):
            print("  %s  (%s)" % (r["id"], r["by"]), file=out)


def load_killed():
    """The recorded run's killed mutants: id -> the suite that killed it
    (None where the list does not say)."""
    if not os.path.exists(KILLED_FILE):
        return None
    killed = {}
    with open(KILLED_FILE, encoding="utf-8") as f:
        for line in f:
            if not line.strip() or line.startswith("#"):
                continue
            mutant_id, _, by = line.rstrip("\n").partition("  # ")
            killed[mutant_id.strip()] = by.strip() or None
    return killed


def record_killed(results, folders=None):
    rows = sorted((r["id"], r["by"]) for r in results if r["status"] in ("killed", "timed out"))
    with open(KILLED_FILE, "w", encoding="utf-8") as f:
        if folders and folders.split(",") != FOLDERS:
            f.write("# Compare with: make mutate MUTATE_COUNT=%d MUTATE_ARGS=\"--folders %s "
                    "--killed-file %s\"\n" % (sum(1 for r in results if r["status"] != "not viable"),
                                          folders, os.path.relpath(KILLED_FILE, ROOT)))
        f.write("# Killed or timed out in the run taken as the measure (make mutate,\n"
                "# seed 1): every later run must kill each of them again. After each\n"
                "# id, the suite that killed it first; a change to one suite can only\n"
                "# let live the mutants it killed (mutate.py --recheck SUITE).\n")
        f.write("".join("%s  # %s\n" % (i, by) for i, by in rows))
    print("%d killed mutants recorded in %s" % (len(rows), os.path.relpath(KILLED_FILE, ROOT)))


def compare_with_killed(results, out=sys.stdout):
    """Names every mutant killed in the recorded run that this run let live;
    returns how many."""
    killed_before = load_killed()
    if killed_before is None:
        return 0
    now = {r["id"]: r["status"] for r in results}
    lost = sorted(i for i in killed_before if now.get(i) == "survived")
    unseen = [i for i in killed_before if i not in now]
    print("killed in the recorded run: %d; killed again: %d; surviving now: %d"
          % (len(killed_before), sum(1 for i in killed_before
                                    if now.get(i) in ("killed", "timed out")), len(lost)),
          file=out)
    if unseen:
        print("  not in this sample (their sources changed): %d" % len(unseen), file=out)
    for i in lost:
        print("  surviving now: " + i, file=out)
    return len(lost)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--count", type=int, default=200, help="viable mutants to run")
    parser.add_argument("--only", metavar="FILE", help="mutate this one source file")
    parser.add_argument("--build-dir", default=os.path.join(ROOT, "build-mutate"))
    parser.add_argument("--jobs", type=int, default=2, help="tests run side by side")
    parser.add_argument("--report", action="store_true", help="print the last run's figures")
    parser.add_argument("--resume", action="store_true",
                        help="keep the results of an interrupted run with the same options")
    parser.add_argument("--leave-out-failing", action="store_true",
                        help="leave out suites that fail unmutated (they are reported) "
                             "instead of stopping")
    parser.add_argument("--reuse-baseline", action="store_true",
                        help="take the suites' unmutated times from the last self-check "
                             "instead of running it again (same build, same sources)")
    parser.add_argument("--slow", type=float, default=5.0, metavar="SECONDS",
                        help="suites slower than this unmutated run only for the files they "
                             "name or include")
    parser.add_argument("--list", action="store_true", help="print the sample's candidates and stop")
    parser.add_argument("--record-killed", action="store_true",
                        help="after the run, take its killed mutants as the measure "
                             "(mutate/killed.txt) for later runs")
    parser.add_argument("--recheck", metavar="SUITE[,SUITE]",
                        help="run again only the recorded mutants these suites killed first, "
                             "against every suite, after a change to them; fails when one "
                             "survives")
    parser.add_argument("--folders", metavar="DIR[,DIR]", default=",".join(FOLDERS),
                        help="the source folders to mutate (default: %(default)s); give "
                             "their own recorded list with --killed-file")
    parser.add_argument("--killed-file", metavar="FILE",
                        help="the recorded list to compare with, or to record "
                             "(default: mutate/killed.txt)")
    parser.add_argument("--without", metavar="SUITE[,SUITE]",
                        help="leave these suites out, as if they were cut; with --recheck and "
                             "the same suites it names every recorded mutant only they kill")
    args = parser.parse_args()
    if args.killed_file:
        global KILLED_FILE
        KILLED_FILE = os.path.abspath(args.killed_file)

    build_dir = os.path.abspath(args.build_dir)
    state = os.path.join(build_dir, "mutate")
    os.makedirs(state, exist_ok=True)
    results_file = os.path.join(state, "results.jsonl")
    build_log = os.path.join(state, "build-failures.log")

    if args.report:
        if not os.path.exists(results_file):
            sys.exit("no run yet: %s is missing" % results_file)
        with open(results_file) as f:
            lines = [json.loads(l) for l in f if l.strip()]
        header = lines[0]
        print("seed %d, %d mutants asked for%s" % (header["seed"], header["count"],
                                                   ", only " + header["only"] if header["only"] else ""))
        if header.get("left_out"):
            print("left out (fail without a mutant): " + ", ".join(header["left_out"]))
        summarize(lines[1:], load_equivalent())
        if args.record_killed:
            record_killed(lines[1:], args.folders)
        elif compare_with_killed(lines[1:]):
            sys.exit(1)
        return

    files = source_files(args.only, args.folders.split(","))
    if args.list:
        for mutant in sample_stream(files, args.seed):
            print(mutant.id)
        return

    workspace = Workspace(state)
    workspace.recover()
    # A terminated run still puts the mutated file back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))

    previous = []
    if args.resume and os.path.exists(results_file):
        with open(results_file) as f:
            lines = [json.loads(l) for l in f if l.strip()]
        if lines and (lines[0]["seed"], lines[0]["count"], lines[0]["only"]) == (
                args.seed, args.count, args.only):
            previous = lines[1:]
    done = {r["id"]: r for r in previous}

    print("building everything once, unmutated ...", flush=True)
    if subprocess.run(["cmake", "--build", build_dir, "-j", "2"]).returncode != 0:
        sys.exit("the unmutated build fails")
    tests = list_tests(build_dir)
    # A misspelt suite would make a recheck run nothing and pass.
    named = set((args.without or "").split(",") + (args.recheck or "").split(",")) - {""}
    # A suite cut whole, or merged into another, is no longer built; the
    # recorded list still names the mutants it killed first.
    recorded = None
    if args.recheck:
        recorded = load_killed()
        if recorded is None:
            sys.exit("no recorded run: %s is missing" % os.path.relpath(KILLED_FILE, ROOT))
    unknown = named - {t.name for t in tests} - set((recorded or {}).values())
    if unknown:
        sys.exit("no such suite: " + ", ".join(sorted(unknown)))
    if args.without:
        tests = [t for t in tests if t.name not in set(args.without.split(","))]

    # The self-check: every suite must pass without a mutant, and its time
    # then sets its limit under a mutant.
    baseline_file = os.path.join(state, "baseline.json")
    started = time.monotonic()
    left_out = []
    remaining = list(tests)
    # A recheck follows a change to a few suites: the last self-check's times
    # still set fair limits.
    if args.recheck and os.path.exists(baseline_file):
        args.reuse_baseline = True
    if args.reuse_baseline and os.path.exists(baseline_file):
        with open(baseline_file) as f:
            known = json.load(f)
        left_out = known["left_out"]
        for t in tests:
            t.seconds = known["seconds"].get(t.name)
        remaining = []
        tests = [t for t in tests if t.seconds is not None]
        print("unmutated suites: times of the last self-check reused", flush=True)
    else:
        print("running the %d suites unmutated ..." % len(tests), flush=True)
    while remaining:
        outcome, name, seconds = run_tests(remaining, None, args.jobs)
        for t in remaining:
            if t.name in seconds:
                t.seconds = seconds[t.name]
        if outcome == "passed":
            break
        left_out.append(name)
        remaining = [t for t in remaining if t.name not in seconds and t.name != name]
    if left_out and not args.leave_out_failing:
        sys.exit("these suites fail without any mutant; fix them first (or run with "
                 "--leave-out-failing): " + ", ".join(left_out))
    if left_out:
        print("left out, failing without any mutant: " + ", ".join(left_out))
        tests = [t for t in tests if t.name not in left_out]
    if remaining:
        print("unmutated suites pass in %.0f s; the slowest: %s" % (
            time.monotonic() - started,
            ", ".join("%s %.0f s" % (t.name, t.seconds)
                      for t in sorted(tests, key=lambda t: -t.seconds)[:6])), flush=True)
        with open(baseline_file, "w") as f:
            json.dump({"left_out": left_out, "seconds": {t.name: t.seconds for t in tests}}, f,
                      indent=1)
    timeouts = {t.name: max(TIMEOUT_FACTOR * t.seconds, TIMEOUT_FLOOR) for t in tests}

    equivalent = load_equivalent()
    sources = test_sources()
    kills = {}
    for r in previous:
        if r["status"] == "killed":
            key = (os.path.dirname(r["id"].split(":")[0]), r["by"])
            kills[key] = kills.get(key, 0) + 1

    if args.recheck:
        lost = recheck(recorded, args.recheck.split(","), files, args.seed, tests, timeouts,
                       sources, args.slow, workspace, build_dir, build_log, args.jobs)
        subprocess.run(["cmake", "--build", build_dir, "-j", "2"], capture_output=True)
        if lost:
            sys.exit("mutants killed in the recorded run survive: a test they need was cut")
        return

    with open(results_file, "w") as f:
        f.write(json.dumps({"seed": args.seed, "count": args.count, "only": args.only,
                            "left_out": left_out}) + "\n")
        for r in previous:
            f.write(json.dumps(r) + "\n")

    results = list(previous)
    viable = sum(1 for r in results if r["status"] != "not viable")
    run_started = time.monotonic()
    for mutant in sample_stream(files, args.seed):
        if viable >= args.count:
            break
        if mutant.id in done:
            continue
        t0 = time.monotonic()
        suites = suites_for(mutant.path, tests, sources, kills, args.slow)
        record = {"id": mutant.id, "by": None}
        if mutant.id in equivalent:
            record["status"] = "equivalent"
        else:
            record["status"], record["by"] = run_mutant(
                mutant, source_lines(mutant.path), suites, workspace, build_dir, build_log,
                timeouts, args.jobs)
        record["seconds"] = round(time.monotonic() - t0, 1)
        if record["status"] == "killed":
            key = (os.path.dirname(mutant.path), record["by"])
            kills[key] = kills.get(key, 0) + 1
        if record["status"] != "not viable":
            viable += 1
        results.append(record)
        with open(results_file, "a") as f:
            f.write(json.dumps(record) + "\n")
        print("[%3d/%d] %-10s %5.1f s  %s%s" % (viable, args.count, record["status"],
                                                record["seconds"], mutant.id,
                                                "  (" + record["by"] + ")" if record["by"] else ""),
              flush=True)

    # Leave the build as the checkout is, for whoever uses it next.
    subprocess.run(["cmake", "--build", build_dir, "-j", "2"], capture_output=True)
    print()
    print("run time: %.0f min" % ((time.monotonic() - run_started) / 60.0))
    summarize(results, equivalent)
    if args.record_killed:
        record_killed(results, args.folders)
    elif compare_with_killed(results):
        sys.exit("mutants killed in the recorded run survive: a test they need was cut")


if __name__ == "__main__":
    main()

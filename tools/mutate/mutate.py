#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Boundary mutants of the game rules (game/*.cpp), each built and run against the rules' tests.

A mutant changes one thing a reviewer would worry about at an edge:
  relation   a comparison moved across its boundary (< and <=, > and >=);
  constant   an integer in a condition, a bound handed to std::min, std::max or std::clamp, or a
             named constant of the file, one more or one less;
  guard      an early return, continue or break that no longer happens (its condition becomes
             false), or one of the conditions joined by && dropped (it becomes true).
Each mutant is built into a copy of the tree (the tree itself is never touched) and test_game is
run on it: a failing test, a crash or a hang catches the mutant; a mutant that passes everything
survives. Survivors that cannot be caught because they change nothing a player could ever see
are listed with their reason in tools/mutate/equivalent.txt; any other survivor fails the run.

    tools/mutate/mutate.py --list                 every mutant, one a line
    tools/mutate/mutate.py                        the full run (a few hundred builds, by hand)
    tools/mutate/mutate.py --sample 12 --seed S   a sample of the mutants not listed, as CI runs it
    tools/mutate/mutate.py --only 'focus.cpp'     the mutants whose description holds the text
    tools/mutate/mutate.py --keys FILE            the mutants a file names, one a line

The exit status is 1 when a mutant not listed survives, or the rules' tests fail without one.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EQUIVALENTS = os.path.join(ROOT, "tools", "mutate", "equivalent.txt")

RELATION_SWAPS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}


def masked(text):
    """The text with comments and the insides of string and character literals blanked out
    (same length, same line breaks), so that only code is searched."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            while i < n and text[i] != "\n":
                out[i] = " "
                i += 1
        elif text.startswith("/*", i):
            while i < n and not text.startswith("*/", i):
                if text[i] != "\n":
                    out[i] = " "
                i += 1
            for k in range(i, min(i + 2, n)):
                out[k] = " "
            i += 2
        elif c in "\"'":
            i += 1
            while i < n and text[i] != c:
                if text[i] == "\\":
                    out[i] = " "
                    i += 1
                out[i] = " "
                i += 1
            i += 1
        elif c == "#" and (i == 0 or text[i - 1] == "\n"):
            while i < n and text[i] != "\n":  # preprocessor lines
                out[i] = " "
                i += 1
        else:
            i += 1
    return "".join(out)


def closing(code, start):
    """The index of the parenthesis closing the one at `start`."""
    depth = 0
    for i in range(start, len(code)):
        if code[i] == "(":
            depth += 1
        elif code[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    raise ValueError("unbalanced parentheses")


def top_level_parts(code, start, end, operator):
    """The spans of `code[start:end]` split at `operator` outside any brackets; one span when
    the operator does not occur at the top level."""
    parts, depth, begin, i = [], 0, start, start
    while i < end:
        c = code[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif depth == 0 and code.startswith(operator, i):
            parts.append((begin, i))
            begin = i + len(operator)
            i += len(operator)
            continue
        i += 1
    parts.append((begin, end))
    return [(a + len(code[a:b]) - len(code[a:b].lstrip()), b - (len(code[a:b]) - len(code[a:b].rstrip())))
            for a, b in parts]


def condition_spans(code):
    """(start, end, keyword) of the conditions of if, while and for statements and of the
    comparisons that return statements and boolean initialisations make."""
    spans = []
    for match in re.finditer(r"\b(if|while|for)\s*\(", code):
        start = match.end() - 1
        end = closing(code, start)
        if match.group(1) == "for":
            parts = code[start + 1:end].split(";")
            if len(parts) != 3:
                continue  # a range-based for
            cond_start = start + 1 + len(parts[0]) + 1
            spans.append((cond_start, cond_start + len(parts[1]), "for"))
        else:
            spans.append((start + 1, end, match.group(1)))
    for match in re.finditer(r"\breturn\b([^;]*);|\bbool\s+\w+\s*=([^;]*);", code):
        group = 1 if match.group(1) is not None else 2
        if re.search(r"\s(<=|>=|==|!=|<|>|&&|\|\|)\s", match.group(group)):  # a truth, not a value
            spans.append((match.start(group), match.end(group), "expression"))
    return spans


class Mutant:
    def __init__(self, path, text, start, end, replacement, what):
        self.path, self.start, self.end, self.replacement = path, start, end, replacement
        line_start = text.rfind("\n", 0, start) + 1
        line_end = text.find("\n", start)
        self.line = text.count("\n", 0, start) + 1
        self.source_line = " ".join(text[line_start:line_end].split())
        self.what = what
        self.occurrence = 1

    @property
    def key(self):
        suffix = f" #{self.occurrence}" if self.occurrence > 1 else ""
        return f"{self.path}: {self.what}{suffix} in: {self.source_line}"

    def apply(self, text):
        return text[:self.start] + self.replacement + text[self.end:]


def mutants_of(path):
    with open(os.path.join(ROOT, path), encoding="utf-8") as f:
        text = f.read()
    code = masked(text)
    found = {}

    def add(start, end, replacement, what):
        if text[start:end] == replacement:
            return
        found.setdefault((start, end, replacement), Mutant(path, text, start, end, replacement, what))

    conditions = condition_spans(code)

    def in_condition(pos):
        return any(a <= pos < b for a, b, _ in conditions)

    # Comparisons moved across their boundary.
    for match in re.finditer(r"(?<=\s)(<=|>=|<|>)(?=\s)", code):
        op = match.group(1)
        add(match.start(), match.end(), RELATION_SWAPS[op], f"'{op}' -> '{RELATION_SWAPS[op]}'")

    # Integers compared in conditions, and the bounds of std::min, std::max and std::clamp.
    bounds = []
    for match in re.finditer(r"std::(min|max|clamp)\s*(<[^>(]*>)?\s*\(", code):
        start = match.end() - 1
        bounds.append((start, closing(code, start)))
    for match in re.finditer(r"(?<![\w.\[])-?\d+(?![\w.])", code):
        start, end = match.start(), match.end()
        before = code[:start].rstrip()
        if before.endswith("["):
            continue  # an index, not a bound
        if not (in_condition(start) or any(a < start < b for a, b in bounds)):
            continue
        value = int(match.group(0))
        for delta in (1, -1):
            add(start, end, str(value + delta), f"{value} -> {value + delta}")
    # The file's named integer constants.
    for match in re.finditer(r"constexpr\s+int32_t\s+([^;]*);", code):
        for item in re.finditer(r"(\w+)\s*=\s*(-?\d+)\b", match.group(1)):
            start = match.start(1) + item.start(2)
            end = match.start(1) + item.end(2)
            value = int(item.group(2))
            for delta in (1, -1):
                add(start, end, str(value + delta), f"{item.group(1)} = {value} -> {value + delta}")

    # Guards: early exits that no longer happen, parts of conditions dropped.
    for start, end, keyword in conditions:
        if keyword == "if":
            after = code[end + 1:].lstrip()
            if after.startswith("{"):
                after = after[1:].lstrip()
            if re.match(r"(return\b[^;]*;|continue;|break;)\s*(}|$|\n)", after) or re.match(
                    r"(return\b[^;]*;|continue;|break;)", after):
                add(start, end, "false", f"guard '{' '.join(text[start:end].split())}' removed")
        parts = top_level_parts(code, start, end, "&&")
        if len(parts) > 1 and len(top_level_parts(code, start, end, "||")) == 1:
            for a, b in parts:
                add(a, b, "true", f"'{' '.join(text[a:b].split())}' dropped from &&")
    ordered = sorted(found.values(), key=lambda m: (m.start, m.end, m.replacement))
    seen = {}
    for mutant in ordered:
        base = (mutant.path, mutant.what, mutant.source_line)
        seen[base] = seen.get(base, 0) + 1
        mutant.occurrence = seen[base]
    return ordered


def all_mutants():
    files = sorted(f for f in os.listdir(os.path.join(ROOT, "game")) if f.endswith(".cpp"))
    result = []
    for name in files:
        result.extend(mutants_of(f"game/{name}"))
    return result


def read_equivalents():
    """{mutant key: reason} from the list of accepted survivors: a key on a line of its own, its
    reason on the indented lines after it."""
    equivalents, key = {}, None
    if not os.path.exists(EQUIVALENTS):
        return equivalents
    with open(EQUIVALENTS, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line[0].isspace():
                if key is None:
                    raise SystemExit(f"{EQUIVALENTS}: a reason without a mutant: {line.strip()}")
                equivalents[key] = (equivalents[key] + " " + line.strip()).strip()
            else:
                key = " ".join(line.split())
                equivalents[key] = ""
    for key, reason in equivalents.items():
        if not reason:
            raise SystemExit(f"{EQUIVALENTS}: no reason given for {key}")
    return equivalents


def run(command, cwd=None, timeout=None):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=timeout)


def prepare(work, jobs):
    """A copy of the tree (without its build folders) and a build of test_game in it."""
    source, build = os.path.join(work, "source"), os.path.join(work, "build")
    if os.path.exists(source):
        shutil.rmtree(source)
    # Copied with fresh dates: a run stopped in the middle of a mutant leaves its objects in the
    # build folder, which must not pass for those of the files as they are.
    shutil.copytree(ROOT, source, ignore=shutil.ignore_patterns(".git", "build", "__pycache__"), symlinks=True,
                    copy_function=shutil.copy)
    # Quick to build, and a mutant that reads past an array or a vector, or overflows, is caught
    # as it happens.
    result = run(["cmake", "-S", source, "-B", build, "-DCMAKE_BUILD_TYPE=", "-DKESTREL_BUILD_BENCH=OFF",
                  "-DCMAKE_CXX_FLAGS=-O1 -D_GLIBCXX_ASSERTIONS -fsanitize=undefined -fno-sanitize-recover=all"])
    if result.returncode != 0:
        sys.exit("configuring the mutants' build failed:\n" + result.stdout)
    return source, build


def build_and_test(build, jobs, timeout):
    """'built' and the test run's verdict: 'caught' (a test failed), 'timeout', 'survived';
    or 'not built' with the compiler's words."""
    result = run(["cmake", "--build", build, "--target", "test_game", "-j", str(jobs)])
    if result.returncode != 0:
        return "not built", result.stdout[-2000:]
    test = os.path.join(build, "bin", "test_game")
    env_test = ["env", "GTEST_FAIL_FAST=1", "GTEST_BRIEF=1", test]
    try:
        result = run(env_test, cwd=build, timeout=timeout)
    except subprocess.TimeoutExpired:
        return "timeout", ""
    if result.returncode == 0:
        return "survived", ""
    failed = [line for line in result.stdout.splitlines() if line.startswith("[  FAILED  ]")]
    return "caught", failed[0][len("[  FAILED  ] "):].split(",")[0] if failed else result.stdout[-300:]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--sample", type=int, help="run this many mutants not listed as equivalent")
    parser.add_argument("--seed", default="0", help="the sample's seed (any text)")
    parser.add_argument("--only", help="only the mutants whose description holds this text")
    parser.add_argument("--keys", help="only the mutants described in this file, one a line (as a run prints them)")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "mutate"),
                        help="folder for the tree's copy and its build (default build/mutate)")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args()

    mutants = all_mutants()
    equivalents = read_equivalents()
    keys = {m.key for m in mutants}
    if len(keys) != len(mutants):
        sys.exit("two mutants share a description; the generator must tell them apart")
    if args.list:
        for m in mutants:
            print(("[equivalent] " if m.key in equivalents else "") + m.key)
        print(f"{len(mutants)} mutants, {sum(m.key in equivalents for m in mutants)} listed as equivalent")
        return 0
    stale = sorted(k for k in equivalents if k not in keys)
    chosen = [m for m in mutants if args.only is None or args.only in m.key]
    if args.keys:
        with open(args.keys, encoding="utf-8") as f:
            wanted = {" ".join(line.split(": ", 1)[1].split()) if line.startswith("[") else " ".join(line.split())
                      for line in f if line.strip()}
        chosen = [m for m in chosen if m.key in wanted]
    if args.sample is not None:
        candidates = [m for m in chosen if m.key not in equivalents]
        chosen = random.Random(args.seed).sample(candidates, min(args.sample, len(candidates)))
        chosen.sort(key=lambda m: (m.path, m.start))
    if not chosen:
        sys.exit("no mutant chosen")

    started = time.monotonic()
    source, build = prepare(args.work, args.jobs)
    verdict, detail = build_and_test(build, args.jobs, timeout=600)
    if verdict != "survived":
        print(f"the rules' tests do not pass on the unchanged tree ({verdict}): {detail}", file=sys.stderr)
        return 1
    began = time.monotonic()
    verdict, _ = build_and_test(build, args.jobs, timeout=600)
    timeout = max(30.0, 20 * (time.monotonic() - began))
    print(f"{len(chosen)} of {len(mutants)} mutants; a test run may take {timeout:.0f} s", flush=True)

    counts, survivors, caught_equivalents, not_built = {}, [], [], []
    for index, mutant in enumerate(chosen, 1):
        path = os.path.join(source, mutant.path)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutant.apply(original))
            verdict, detail = build_and_test(build, args.jobs, timeout)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        listed = mutant.key in equivalents
        if verdict == "survived" and listed:
            verdict, detail = "equivalent", equivalents[mutant.key]
        elif verdict == "survived":
            survivors.append(mutant)
        elif verdict == "not built":
            not_built.append(mutant)
        elif listed:
            caught_equivalents.append(mutant)
        counts[verdict] = counts.get(verdict, 0) + 1
        print(f"[{index}/{len(chosen)}] {verdict.upper()}: {mutant.key}" + (f"\n    {detail}" if detail else ""),
              flush=True)
    # The last mutant's file is back as it was: rebuild so that the work folder holds the tree.
    build_and_test(build, args.jobs, timeout)

    print(f"\n{len(chosen)} mutants in {time.monotonic() - started:.0f} s: " +
          ", ".join(f"{n} {v}" for v, n in sorted(counts.items())))
    for key in stale:
        print(f"warning: listed as equivalent but no longer made: {key}")
    for mutant in caught_equivalents:
        print(f"warning: listed as equivalent but caught, take it off the list: {mutant.key}")
    for mutant in not_built:
        print(f"error: the mutant does not build, the generator made it wrongly: {mutant.key}")
    for mutant in survivors:
        print(f"SURVIVOR (line {mutant.line}): {mutant.key}")
    return 1 if survivors or not_built else 0


if __name__ == "__main__":
    sys.exit(main())

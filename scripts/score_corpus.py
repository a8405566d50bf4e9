#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares the outputs of builds of orvale-score over a corpus of cases.

The corpus is the documented (worked) cases under all 96 option combinations, then random cases:
eight entries each (whole numbers, short decimals, and now and then a long decimal of up to 30
digits), taking the option combinations in turn. Each build scores it as text reports
(report_corpus, many cases per process), as batch CSV (--batch, one run per option
combination) and, for a few cases, as --format json. Every output of every build is compared byte
for byte with the first build's; where CSV or JSON figures differ, the script counts them and
tells by how many units in the last place of the double. The exit status is 0 only when every
output is identical, and a program that crashes or fails is an error of its own.

    scripts/score_corpus.py --cases 20000 native=BUILD_A/bin soft=BUILD_B/bin

A build for another machine runs through its emulator, e.g. --runner "arm64=qemu-aarch64 -L
/usr/aarch64-linux-gnu"; a build whose programs are node scripts (WebAssembly, program.js) runs
with --runner wasm=node --suffix wasm=.js.
"""

import argparse
import csv
import io
import itertools
import json
import random
import shlex
import struct
import subprocess
import sys
import tempfile
from collections import Counter
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

SUBTESTS = ["BD", "SI", "DS", "CD", "VO", "LN", "MR", "SS"]
COMBINATIONS = list(itertools.product(
    ["95", "90"], ["traditional", "glutting"], ["observed", "true"], [0, 1], [0, 1], [5, 10, 15]))


def flags(combination):
    ci, method, differences, bonferroni, gai, abnormal = combination
    out = ["--ci", ci, "--method", method, "--differences", differences, "--abnormal",
           str(abnormal)]
    if bonferroni:
        out.append("--bonferroni")
    if not gai:
        out.append("--no-gai")
    return out


def entry(rng):
    kind = rng.random()
    if kind < 0.45:
        return str(rng.randint(1, 19))
    whole = rng.randint(1, 18)
    if kind < 0.9:
        digits = rng.randint(1, 4)
    else:
        digits = rng.randint(5, 30)
    fraction = "".join(rng.choice("0123456789") for _ in range(digits))
    return f"{whole}.{fraction}"


# The documented cases, each with every option combination: all entries 1, 10, 11 and 19, VO 16
# and SI 15 with the rest 10, the 15/19/10/1 profile, an entry of 10.5, the remembered-scores
# example, and two entries the worksheet refuses.
WORKED = [
    ["1"] * 8, ["10"] * 8, ["11"] * 8, ["19"] * 8,
    ["10", "15", "10", "10", "16", "10", "10", "10"],
    ["15", "19", "10", "1", "19", "10", "15", "1"],
    ["10.5", "10", "10", "10", "10", "10", "10", "10"],
    ["10", "12", "9", "8", "11", "10", "13", "7"],
    ["1x2", "10", "10", "10", "10", "10", "10", "10"],
    ["25", "10", "10", "10", "10", "10", "10", "10"],
]


def corpus(count, seed):
    """The worked cases under every option combination, then random cases up to `count`."""
    cases = [(c, scores) for scores in WORKED for c in COMBINATIONS]
    rng = random.Random(seed)
    for i in range(max(0, count - len(cases))):
        combination = COMBINATIONS[i % len(COMBINATIONS)]
        whole = rng.random() < 0.3  # a third of the cases typed in whole numbers only
        scores = [str(rng.randint(1, 19)) if whole else entry(rng) for _ in SUBTESTS]
        cases.append((combination, scores))
    return cases


class Build:
    """One build's programs: a name, its bin folder, and the runner (emulator) and file name
    suffix its programs need."""

    def __init__(self, given, runners, suffixes):
        self.name, _, folder = given.partition("=")
        if not folder:
            sys.exit(f"a build is NAME=FOLDER, not {given!r}")
        self.folder = Path(folder)
        self.runner = shlex.split(runners.get(self.name, ""))
        self.suffix = suffixes.get(self.name, "")

    def command(self, program, *arguments):
        return [*self.runner, str(self.folder / (program + self.suffix)), *arguments]


class Failure(Exception):
    pass


def run(command, stdin=None, allowed=(0, 1)):
    """The output of a program; a status outside `allowed` (a crash under an emulator, say) is a
    failure, not a different output."""
    result = subprocess.run(command, input=stdin, capture_output=True, check=False)
    if result.returncode not in allowed:
        raise Failure(f"{shlex.join(command[:6])} ended with status {result.returncode}: "
                      f"{result.stderr.decode(errors='replace')[:500]}")
    return result.returncode, result.stdout, result.stderr


def first_difference(a, b):
    """Where two results (status, output, messages) part, for a message."""
    if a[0] != b[0]:
        return f"exit status {a[0]} against {b[0]}"
    for what, x, y in (("output", a[1], b[1]), ("messages", a[2], b[2])):
        if x != y:
            for n, (lx, ly) in enumerate(zip(x.splitlines(), y.splitlines()), 1):
                if lx != ly:
                    return f"{what} line {n}: {lx[:200]!r} against {ly[:200]!r}"
            return f"{what}: {len(x.splitlines())} lines against {len(y.splitlines())}"
    return "nothing"


def run_all(builds, make_command, stdin=None, allowed=(0, 1)):
    """Runs the same command on every build at once; returns (status, output, messages) per
    build. A build under an emulator whose result differs from the first build's runs once more,
    and the difference is reported either way: an emulator now and then disturbs a run (wine's
    server starting, say), which is not the program's doing, while a real difference repeats."""
    with ThreadPoolExecutor(max_workers=len(builds)) as pool:
        outs = list(pool.map(lambda b: run(make_command(b), stdin, allowed), builds))
    for i, build in enumerate(builds[1:], 1):
        if outs[i] != outs[0] and build.runner:
            again = run(make_command(build), stdin, allowed)
            print(f"  {build.name}: {shlex.join(make_command(build)[-4:])}: "
                  f"{first_difference(outs[0], outs[i])}; "
                  f"{'the same as ' + builds[0].name if again == outs[0] else 'again'} "
                  "on a second run", flush=True)
            outs[i] = again
    return outs


def ulps(a, b):
    def ordered(x):
        (bits,) = struct.unpack("<q", struct.pack("<d", x))
        return bits if bits >= 0 else -(bits & 0x7FFFFFFFFFFFFFFF)
    return abs(ordered(a) - ordered(b))


def compare_figures(name, a, b, tally):
    if a == b:
        return
    try:
        fa, fb = float(a), float(b)
    except (TypeError, ValueError):
        tally["other"][name] += 1
        return
    tally["ulps"][ulps(fa, fb)] += 1
    tally["columns"][name] += 1


def compare_csv(text_a, text_b, tally):
    rows_a = list(csv.reader(io.StringIO(text_a)))
    rows_b = list(csv.reader(io.StringIO(text_b)))
    header = rows_a[0]
    for ra, rb in zip(rows_a[1:], rows_b[1:]):
        for name, a, b in zip(header, ra, rb):
            tally["cells"] += 1
            compare_figures(name, a, b, tally)


def compare_json(obj_a, obj_b, tally, prefix=""):
    if isinstance(obj_a, dict):
        for key in obj_a:
            compare_json(obj_a[key], obj_b.get(key), tally, prefix + key + ".")
    elif isinstance(obj_a, (int, float)) and not isinstance(obj_a, bool):
        tally["cells"] += 1
        compare_figures(prefix.rstrip("."), obj_a, obj_b, tally)


def new_tally():
    return {"cells": 0, "ulps": Counter(), "columns": Counter(), "other": Counter()}


def report(title, tally, identical, total):
    print(f"  {title}: {identical} of {total} outputs byte-identical; {tally['cells']} figures, "
          f"{sum(tally['columns'].values())} differ")
    for distance, count in sorted(tally["ulps"].items()):
        print(f"      {count} figures differ by {distance} ulp")
    for name, count in tally["columns"].most_common(12):
        print(f"      {name}: {count}")
    for name, count in tally["other"].most_common(5):
        print(f"      not a number, differs: {name}: {count}")
    return identical == total


def compare_texts(builds, cases):
    """Text reports, many cases per process; every report compared whole."""
    lines = "".join(" ".join([*map(str, c), *s]) + "\n" for c, s in cases).encode()
    outs = run_all(builds, lambda b: b.command("report_corpus"), lines, allowed=(0,))
    texts = [out.decode().split("=== case ")[1:] for _, out, _ in outs]
    same = True
    for build, text in zip(builds[1:], texts[1:]):
        identical = sum(1 for a, b in zip(texts[0], text) if a == b)
        identical = identical if len(text) == len(texts[0]) else 0
        print(f"{build.name}:\n  text reports: {identical} of {len(cases)} identical")
        for a, b in zip(texts[0], text):
            if a != b:
                print("      first differing report:", a.splitlines()[0])
                break
        same &= identical == len(cases)
    return same


def compare_batches(builds, cases, jobs, jsonl):
    """Batch CSV, and JSON Lines when asked, one run per option combination."""
    tallies = {b.name: (new_tally(), new_tally(), [0, 0]) for b in builds[1:]}
    with tempfile.TemporaryDirectory() as folder:
        for index, combination in enumerate(COMBINATIONS):
            path = Path(folder) / f"cases{index}.csv"
            with open(path, "w", newline="") as out:
                writer = csv.writer(out, lineterminator="\n")
                writer.writerow(["id", *SUBTESTS])
                for n, (c, scores) in enumerate(cases):
                    if c == combination:
                        writer.writerow([n + 1, *scores])
            for extra in ([], ["--format", "jsonl"])[: 1 + jsonl]:
                outs = run_all(builds, lambda b: b.command(
                    "orvale-score", *flags(combination), "--jobs", jobs.get(b.name, "2"),
                    "--batch", str(path), *extra))
                for build, out in zip(builds[1:], outs[1:]):
                    csv_tally, jsonl_tally, same = tallies[build.name]
                    same[bool(extra)] += out == outs[0]
                    first, other = outs[0][1].decode(), out[1].decode()
                    if extra:
                        for la, lb in zip(first.splitlines(), other.splitlines()):
                            compare_json(json.loads(la), json.loads(lb), jsonl_tally)
                    else:
                        compare_csv(first, other, csv_tally)
    ok = True
    for build in builds[1:]:
        csv_tally, jsonl_tally, same = tallies[build.name]
        print(f"{build.name}:")
        ok &= report("batch CSV", csv_tally, same[0], len(COMBINATIONS))
        if jsonl:
            ok &= report("batch JSON Lines", jsonl_tally, same[1], len(COMBINATIONS))
    return ok


def compare_json_runs(builds, cases, runs):
    """A few single cases as --format json, spread over the corpus."""
    tallies = {b.name: (new_tally(), [0]) for b in builds[1:]}
    step = max(1, len(cases) // runs)
    picked = cases[::step][:runs]
    for combination, scores in picked:
        outs = run_all(builds, lambda b: b.command(
            "orvale-score", *flags(combination), "--format", "json", "--", *scores),
            allowed=(0, 1, 2))
        for build, out in zip(builds[1:], outs[1:]):
            tally, same = tallies[build.name]
            same[0] += out == outs[0]
            if outs[0][0] == 0 and out[0] == 0:
                compare_json(json.loads(outs[0][1]), json.loads(out[1]), tally)
    ok = True
    for build in builds[1:]:
        tally, same = tallies[build.name]
        print(f"{build.name}:")
        ok &= report("--format json", tally, same[0], len(picked))
    return ok


def pairs(values):
    """NAME=VALUE options as a dictionary."""
    return dict(v.split("=", 1) for v in values)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--json-runs", type=int, default=24, help="cases also run with --format json")
    parser.add_argument("--jsonl", action="store_true",
                        help="compare the batch as JSON Lines too (its figures are --format json's)")
    parser.add_argument("--runner", action="append", default=[], metavar="NAME=COMMAND",
                        help="command that runs a build's programs (an emulator)")
    parser.add_argument("--suffix", action="append", default=[], metavar="NAME=SUFFIX",
                        help="file name suffix of a build's programs (.js, .exe)")
    parser.add_argument("--jobs", action="append", default=[], metavar="NAME=N",
                        help="--jobs of a build's batch runs (default 2)")
    parser.add_argument("builds", nargs="+", metavar="NAME=FOLDER",
                        help="bin folders; the first is the reference for the others")
    args = parser.parse_args()
    runners, suffixes = pairs(args.runner), pairs(args.suffix)
    builds = [Build(given, runners, suffixes) for given in args.builds]
    if len(builds) < 2:
        sys.exit("give at least two builds")
    cases = corpus(args.cases, args.seed)
    print(f"{len(cases)} cases ({len(WORKED) * len(COMBINATIONS)} worked), compared with "
          f"{builds[0].name}")
    try:
        ok = compare_texts(builds, cases)
        ok &= compare_batches(builds, cases, pairs(args.jobs), args.jsonl)
        ok &= compare_json_runs(builds, cases, args.json_runs)
    except Failure as failure:
        sys.exit(str(failure))
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares the outputs of two builds of orvale-score over a corpus of random cases.

Every case has eight entries (whole numbers, short decimals, and now and then a long decimal of
up to 30 digits) and one of the 96 option combinations, which the cases take in turn. Each build
scores the corpus as text reports (report_corpus, many cases per process), as batch CSV and JSON
Lines (--batch, one run per option combination) and, for a few cases, as --format json. Text and
the whole bytes of every output are compared; where CSV or JSON figures differ, the script counts
them and tells by how many units in the last place of the double.

    scripts/score_corpus.py --cases 20000 BUILD_A/bin BUILD_B/bin

A build for another machine runs through its emulator, given per build (--runner-first,
--runner-second), e.g. --runner-second "qemu-aarch64 -L /usr/aarch64-linux-gnu"; a build whose
programs are node scripts (WebAssembly, program.js) runs with --runner-second node --suffix-second .js.
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


def corpus(count, seed):
    rng = random.Random(seed)
    cases = []
    for i in range(count):
        combination = COMBINATIONS[i % len(COMBINATIONS)]
        whole = rng.random() < 0.3  # a third of the cases typed in whole numbers only
        scores = [str(rng.randint(1, 19)) if whole else entry(rng) for _ in SUBTESTS]
        cases.append((combination, scores))
    return cases


class Program:
    """The command line that runs one program of a build, through its runner if it has one."""

    def __init__(self, folder, runner, suffix):
        self.folder, self.runner, self.suffix = folder, shlex.split(runner), suffix

    def __call__(self, name):
        return [*self.runner, str(self.folder / (name + self.suffix))]


def run(command, stdin=None):
    result = subprocess.run(command, input=stdin, capture_output=True, check=False)
    if result.returncode not in (0, 1):
        sys.exit(f"{shlex.join(command[:4])} failed ({result.returncode}): {result.stderr.decode()[:500]}")
    return result.stdout


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
    print(f"{title}: {identical} of {total} outputs byte-identical; {tally['cells']} figures, "
          f"{sum(tally['columns'].values())} differ")
    for distance, count in sorted(tally["ulps"].items()):
        print(f"    {count} figures differ by {distance} ulp")
    for name, count in tally["columns"].most_common(12):
        print(f"    {name}: {count}")
    for name, count in tally["other"].most_common(5):
        print(f"    not a number, differs: {name}: {count}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cases", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--json-runs", type=int, default=24, help="cases also run with --format json")
    parser.add_argument("first", type=Path, help="bin folder of the first build")
    parser.add_argument("second", type=Path, help="bin folder of the second build")
    for which in ("first", "second"):
        parser.add_argument(f"--runner-{which}", default="",
                            help=f"command that runs the {which} build's programs (an emulator)")
        parser.add_argument(f"--suffix-{which}", default="",
                            help=f"file name suffix of the {which} build's programs (.js, .exe)")
    parser.add_argument("--jobs", default="2", help="--jobs of the batch runs")
    args = parser.parse_args()
    cases = corpus(args.cases, args.seed)
    builds = [
        Program(args.first, args.runner_first, args.suffix_first),
        Program(args.second, args.runner_second, args.suffix_second),
    ]

    # Text reports.
    lines = "".join(" ".join([*map(str, c), *s]) + "\n" for c, s in cases).encode()
    texts = [run(b("report_corpus"), lines).decode().split("=== case ")[1:] for b in builds]
    same = sum(1 for a, b in zip(*texts) if a == b)
    print(f"text reports: {same} of {len(cases)} identical")
    for a, b in zip(*texts):
        if a != b:
            print("    first differing report:", a.splitlines()[0])
            break

    # Batch CSV and JSON Lines, one run per option combination.
    with tempfile.TemporaryDirectory() as folder:
        csv_tally, jsonl_tally = new_tally(), new_tally()
        csv_same = jsonl_same = 0
        for index, combination in enumerate(COMBINATIONS):
            path = Path(folder) / f"cases{index}.csv"
            with open(path, "w", newline="") as out:
                writer = csv.writer(out)
                writer.writerow(["id", *SUBTESTS])
                for n, (c, scores) in enumerate(cases):
                    if c == combination:
                        writer.writerow([n + 1, *scores])
            common = [*flags(combination), "--jobs", args.jobs, "--batch", str(path)]
            out_csv = [run([*b("orvale-score"), *common]).decode() for b in builds]
            csv_same += out_csv[0] == out_csv[1]
            compare_csv(out_csv[0], out_csv[1], csv_tally)
            common += ["--format", "jsonl"]
            out_jsonl = [run([*b("orvale-score"), *common]).decode() for b in builds]
            jsonl_same += out_jsonl[0] == out_jsonl[1]
            for la, lb in zip(out_jsonl[0].splitlines(), out_jsonl[1].splitlines()):
                compare_json(json.loads(la), json.loads(lb), jsonl_tally)
        report("batch CSV", csv_tally, csv_same, len(COMBINATIONS))
        report("batch JSON Lines", jsonl_tally, jsonl_same, len(COMBINATIONS))

    # A few single cases as --format json.
    json_tally = new_tally()
    json_same = 0
    step = max(1, len(cases) // args.json_runs)
    picked = cases[::step][: args.json_runs]
    for combination, scores in picked:
        command = [*flags(combination), "--format", "json", "--", *scores]
        outs = [run([*b("orvale-score"), *command]).decode() for b in builds]
        json_same += outs[0] == outs[1]
        compare_json(json.loads(outs[0]), json.loads(outs[1]), json_tally)
    report("--format json", json_tally, json_same, len(picked))


if __name__ == "__main__":
    main()

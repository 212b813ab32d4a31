#!/usr/bin/python3
# Checks what tolvexc prints for a corpus of lines against the high-precision model of
# tests/corpus/reference.py, and the builds against each other.
#
# usage: tests/corpus/check-corpus.py CORPUS [--native TOLVEXC] [--windows TOLVEXC.EXE] [--list N]
#                              [--jobs N] [--cache FILE]
#        tests/corpus/check-corpus.py --generate COUNT SEED [the same options]
# --windows runs the program under Wine through tools/wine/run-test-program.sh, in the prefix of the build tree
# the program lies in. Lines whose model result, moved by one unit in its last place, would be
# shown otherwise ("near a boundary") are counted and listed apart and do not fail the check.
# Exit status 0 when no other line differs from the model and the builds agree on every line.
#
# The full run (about 100 000 lines, a few minutes for the model and for each build):
#   /usr/bin/python3 tests/corpus/corpus.py 100000 1 >/tmp/corpus.txt
#   /usr/bin/python3 tests/corpus/check-corpus.py /tmp/corpus.txt --native build/native/console/tolvexc \
#       --windows build/windows/console/tolvexc.exe
import argparse
import hashlib
import json
import multiprocessing
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import corpus  # noqa: E402
import reference  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
# The cache is keyed by the corpus and the model's own source.
with open(os.path.join(HERE, "reference.py"), encoding="utf-8") as _source:
    MODEL_VERSION = _source.read()


def model(line):
    try:
        expected = reference.format_line(line)
        boundary = reference.near_boundary(line)
    except Exception as error:  # a fault of the model must show, not pass as a difference
        return "model failed: %r" % error, False
    return expected, boundary


def run_build(path, windows, corpus_text):
    path = os.path.abspath(path)
    if windows:
        command = ["bash", os.path.join(HERE, "..", "..", "tools", "wine", "run-test-program.sh"), path, "--status"]
    else:
        command = [path, "--status"]
    done = subprocess.run(command, input=corpus_text.encode(), stdout=subprocess.PIPE,
                          cwd=os.path.dirname(path), check=False)
    return [line.rstrip("\r") for line in done.stdout.decode(errors="replace").split("\n")][:-1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("corpus", nargs="?")
    parser.add_argument("--generate", nargs=2, type=int, metavar=("COUNT", "SEED"),
                        help="check the lines tests/corpus/corpus.py makes instead of a file")
    parser.add_argument("--native")
    parser.add_argument("--windows")
    parser.add_argument("--list", type=int, default=20, help="list at most N lines of each kind")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--cache", help="keep the model's results in this file between runs")
    args = parser.parse_args()
    if args.generate:
        lines = corpus.generate(*args.generate)
    else:
        with open(args.corpus, encoding="ascii") as f:
            lines = [line.rstrip("\n") for line in f if line.strip()]
    corpus_text = "".join(line + "\n" for line in lines)

    modelled = None
    digest = hashlib.sha256((corpus_text + MODEL_VERSION).encode()).hexdigest()
    if args.cache and os.path.exists(args.cache):
        with open(args.cache, encoding="utf-8") as f:
            cached = json.load(f)
        if cached.get("digest") == digest:
            modelled = [tuple(row) for row in cached["rows"]]
    if modelled is None:
        with multiprocessing.Pool(args.jobs) as pool:
            modelled = pool.map(model, lines, chunksize=64)
        if args.cache:
            with open(args.cache, "w", encoding="utf-8") as f:
                json.dump({"digest": digest, "rows": modelled}, f)

    builds = []
    if args.native:
        builds.append(("native", run_build(args.native, False, corpus_text)))
    if args.windows:
        builds.append(("windows", run_build(args.windows, True, corpus_text)))

    failed = False
    boundary_total = sum(1 for _, b in modelled if b)
    print("lines: %d, near a decimal boundary: %d" % (len(lines), boundary_total))
    model_faults = [(l, e) for l, (e, _) in zip(lines, modelled) if e.startswith("model failed")]
    if model_faults:
        failed = True
        print("model failed on %d lines" % len(model_faults))
        for line, error in model_faults[:args.list]:
            print("  %s  %s" % (line, error))
    for name, output in builds:
        if len(output) != len(lines):
            print("%s: printed %d lines for %d" % (name, len(output), len(lines)))
            failed = True
            continue
        differ = []
        differ_boundary = []
        for line, got, (expected, boundary) in zip(lines, output, modelled):
            if got != expected:
                (differ_boundary if boundary else differ).append((got, expected))
        print("%s: %d lines differ from the model, %d more near a boundary" %
              (name, len(differ), len(differ_boundary)))
        for got, expected in differ[:args.list]:
            print("  got %-60s model %s" % (got, expected.split("\t", 1)[0] + " " +
                                             expected.rsplit("=", 1)[-1]))
        for got, expected in differ_boundary[:args.list]:
            print("  near boundary: got %-46s model %s" % (got, expected.rsplit("=", 1)[-1]))
        failed = failed or bool(differ)
    if len(builds) == 2 and len(builds[0][1]) == len(builds[1][1]):
        pairs = [(a, b) for a, b in zip(builds[0][1], builds[1][1]) if a != b]
        print("native and windows differ on %d lines" % len(pairs))
        for a, b in pairs[:args.list]:
            print("  %-60s %s" % (a, b.rsplit("=", 1)[-1]))
        failed = failed or bool(pairs)
    boundary_lines = [l for l, (_, b) in zip(lines, modelled) if b]
    if boundary_lines:
        print("lines near a boundary (first %d):" % min(args.list, len(boundary_lines)))
        for line in boundary_lines[:args.list]:
            print("  " + line)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

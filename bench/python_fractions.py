#!/usr/bin/env python3
"""The whole 10x10 elimination of bench_engine's whole_elimination, written with Python's
fractions module for comparison: prints the median milliseconds per elimination, wall clock
and CPU, and, given bench_engine's JSON output, how many times faster the program is.

Same order of operations as matrix/elimination.cpp: for each pivot, exchange with the first
row below that has a non-zero entry, scale the pivot row by the pivot's reciprocal unless
the pivot is 1, then subtract the multiple of the pivot row from every other row with a
non-zero entry in the pivot column. Fraction values cancel themselves after each operation,
as reduce_row_now does. Same shape of system as bench_engine: random signed entries of d
digits, the first digit non-zero (another generator, so not the same numbers).

Usage: python_fractions.py [--repetitions N] [--compare bench_engine.json]
"""

import argparse
import json
import random
import statistics
import sys
import time
from fractions import Fraction

ORDER = 10
DIGITS = (1, 10, 30)


def random_value(rng, digits):
    """A random integer of exactly `digits` decimal digits, with a random sign."""
    text = "-" if rng.randrange(2) else ""
    text += str(rng.randrange(1, 10))
    text += "".join(str(rng.randrange(10)) for _ in range(digits - 1))
    return int(text)


def random_system(n, digits, seed):
    """A system of order n: n rows of n + 1 random integer entries."""
    rng = random.Random(seed)
    return [[random_value(rng, digits) for _ in range(n + 1)] for _ in range(n)]


def eliminate(a):
    """Gauss-Jordan on rows of Fractions in place; False when a column runs out of pivots."""
    n = len(a)
    for i in range(n):
        if a[i][i] == 0:
            for j in range(i + 1, n):
                if a[j][i] != 0:
                    a[i], a[j] = a[j], a[i]
                    break
            else:
                return False
        pivot = a[i][i]
        if pivot != 1:
            reciprocal = 1 / pivot
            row = a[i]
            for c in range(i, n + 1):
                row[c] = row[c] * reciprocal
        pivot_row = a[i]
        for j in range(n):
            factor = a[j][i]
            if j == i or factor == 0:
                continue
            row = a[j]
            for c in range(i, n + 1):
                row[c] = row[c] - factor * pivot_row[c]
    return True


def median_ms(digits, repetitions, seed=3):
    """Median wall and CPU time of one elimination of the same random system, in ms."""
    system = random_system(ORDER, digits, seed)
    wall = []
    cpu = []
    for _ in range(repetitions):
        a = [[Fraction(v) for v in row] for row in system]
        start_wall = time.perf_counter()
        start_cpu = time.process_time()
        eliminate(a)
        cpu.append(time.process_time() - start_cpu)
        wall.append(time.perf_counter() - start_wall)
    return statistics.median(wall) * 1000.0, statistics.median(cpu) * 1000.0


def engine_medians(path):
    """whole_elimination's median wall and CPU ms per digit count from bench_engine's JSON."""
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    medians = {}
    for b in report["benchmarks"]:
        name = b["name"]
        if name.startswith("whole_elimination/") and name.endswith("_median"):
            digits = int(name.split("/")[1].split("_")[0])
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            medians[digits] = (b["real_time"] * scale, b["cpu_time"] * scale)
    return medians


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repetitions", type=int, default=200)
    parser.add_argument("--compare", metavar="JSON", help="bench_engine --benchmark_out file")
    args = parser.parse_args()
    engine = engine_medians(args.compare) if args.compare else {}
    print(f"Whole {ORDER}x{ORDER} elimination, Python {sys.version.split()[0]} fractions"
          + (" against bench_engine's whole_elimination" if engine else "") + ":")
    for digits in DIGITS:
        wall, cpu = median_ms(digits, args.repetitions)
        line = f"  {digits:2} digits: Python {wall:7.3f} ms (CPU {cpu:7.3f} ms)"
        if digits in engine:
            ours_wall, ours_cpu = engine[digits]
            line += (f"; ours {ours_wall:6.3f} ms (CPU {ours_cpu:6.3f} ms):"
                     f" {wall / ours_wall:5.1f}x faster (CPU {cpu / ours_cpu:5.1f}x)")
        print(line)


if __name__ == "__main__":
    main()

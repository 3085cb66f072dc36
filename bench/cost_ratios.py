#!/usr/bin/env python3
"""The client's cost ratios as medians of paired runs of bench_site_parsers.

Each run measures both sides of every ratio in one process: the album through the collection
form against libcurl alone, in turns, pair by pair (process CPU time, the stand-in web in a
process of its own; x_curl, the median of the pairs), also as two benchmarks one after the other,
and each scan against a std::string::find pass and a memchr pass over the same page (x_find,
x_memchr). The machine's load is read before every run.

    bench/cost_ratios.py build-release/bench/bench_site_parsers [--runs 5] [--filter REGEX]
"""
import argparse
import json
import os
import statistics
import subprocess
import sys

ALBUM, CURL = "CollectAlbum500ThroughTheForm", "FetchAlbum500WithCurl"
DEFAULT_FILTER = "ScanPageInPlace|ScanPageCuttingItems|Album500"


def one_run(binary, pattern):
    load = os.getloadavg()[0]
    out = subprocess.run([binary, "--benchmark_filter=" + pattern, "--benchmark_format=json"],
                         check=True, capture_output=True, text=True,
                         env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
    results = {b["name"].split("/iterations")[0].split("/real_time")[0].split("/manual_time")[0]: b
               for b in json.loads(out)["benchmarks"]}
    ratios = {}
    album = next((b for n, b in results.items() if n.startswith(ALBUM)), None)
    curl = next((b for n, b in results.items() if n.startswith(CURL)), None)
    if album and curl:
        ratios["album/libcurl (CPU, one after the other)"] = album["cpu_time"] / curl["cpu_time"]
        ratios["album/libcurl (wall, one after the other)"] = album["real_time"] / curl["real_time"]
    for name, b in results.items():
        for counter in ("x_find", "x_memchr", "x_curl"):
            if counter in b:
                ratios[f"{name} {counter}"] = b[counter]
    return load, ratios


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("binary")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--filter", default=DEFAULT_FILTER)
    args = parser.parse_args()
    runs = []
    for i in range(args.runs):
        load, ratios = one_run(args.binary, args.filter)
        runs.append(ratios)
        print(f"run {i + 1}: load {load:.2f}  " + "  ".join(f"{k} {v:.2f}" for k, v in sorted(ratios.items())),
              file=sys.stderr)
    print(f"{'ratio':45} {'median':>7} {'min':>6} {'max':>6}  (runs: {args.runs})")
    for key in sorted(runs[0]):
        values = [r[key] for r in runs if key in r]
        print(f"{key:45} {statistics.median(values):7.2f} {min(values):6.2f} {max(values):6.2f}")


if __name__ == "__main__":
    main()

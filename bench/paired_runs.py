#!/usr/bin/env python3
"""Paired, interleaved runs of two commands, so that the machine's noise
cancels: each run times command A and then command B, and the figure is the
median of the run-by-run ratios A / B. Also the median wall time and the
largest peak resident memory of each command.

    paired_runs.py RUNS JOBS.json

JOBS.json is a list of {"label", "a", "b", "prepare_a", "prepare_b",
"target"}, each command a list of arguments and each prepare a shell line
run untimed before its command (or null). Prints one line a job.
"""
import json
import os
import statistics
import subprocess
import sys
import time


def timed(command, prepare):
    if prepare:
        subprocess.run(prepare, shell=True, check=True)
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"paired_runs.py: {' '.join(command)[:200]} failed")
    return elapsed, usage.ru_maxrss / 1024.0  # MiB


def main():
    runs = int(sys.argv[1])
    jobs = json.load(open(sys.argv[2]))
    print(f"{'figure':<46} {'A/B':>6} {'target':>16} {'A ms':>9} {'B ms':>9} {'A MiB':>7}")
    for job in jobs:
        ratios, a_times, b_times, a_peak = [], [], [], 0.0
        for _ in range(runs):
            a, a_mib = timed(job["a"], job.get("prepare_a"))
            b, _ = timed(job["b"], job.get("prepare_b"))
            ratios.append(a / b)
            a_times.append(a)
            b_times.append(b)
            a_peak = max(a_peak, a_mib)
        print(f"{job['label']:<46} {statistics.median(ratios):6.2f} {job.get('target', ''):>16} "
              f"{statistics.median(a_times) * 1000:9.1f} {statistics.median(b_times) * 1000:9.1f} "
              f"{a_peak:7.1f}", flush=True)


if __name__ == "__main__":
    main()

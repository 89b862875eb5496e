#!/usr/bin/env python3
"""How quickly lanchuan-engine answers `stop` and `isready` while it searches.

Starts `go infinite` from a developed opening, waits a random 100..500 ms, sends `isready`,
waits another 50..150 ms and sends `stop`, and measures from each write to the answer (`readyok`, `bestmove`). Prints one
line per sample and the median and maximum of both.

    python3 tools/xq-uci-latency.py [--samples 20] [--engine build/uci/lanchuan-engine]
"""

import argparse
import os
import random
import statistics
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def read_until(proc, prefix):
    while True:
        line = proc.stdout.readline()
        if not line:
            raise SystemExit("the engine ended")
        if line.startswith(prefix):
            return line


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--engine", default=os.path.join(ROOT, "build", "uci", "lanchuan-engine"))
    parser.add_argument("--samples", type=int, default=20)
    args = parser.parse_args()
    proc = subprocess.Popen([args.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            text=True, bufsize=1)

    def send(line):
        proc.stdin.write(line + "\n")
        proc.stdin.flush()

    send("uci")
    read_until(proc, "uciok")
    send("setoption name OwnBook value false")
    ready_ms, stop_ms = [], []
    for sample in range(args.samples):
        send("position startpos moves h2e2 h9g7 h0g2 i9h9 i0h0 b9c7")
        send("go infinite")
        time.sleep(random.uniform(0.1, 0.5))
        started = time.monotonic()
        send("isready")
        read_until(proc, "readyok")
        ready_ms.append((time.monotonic() - started) * 1000)
        time.sleep(random.uniform(0.05, 0.15))
        started = time.monotonic()
        send("stop")
        read_until(proc, "bestmove")
        stop_ms.append((time.monotonic() - started) * 1000)
        print(f"sample {sample + 1} isready {ready_ms[-1]:.2f} ms stop {stop_ms[-1]:.2f} ms",
              flush=True)
    send("quit")
    proc.wait()
    print(f"isready: median {statistics.median(ready_ms):.2f} ms, max {max(ready_ms):.2f} ms; "
          f"stop: median {statistics.median(stop_ms):.2f} ms, max {max(stop_ms):.2f} ms "
          f"({args.samples} samples)")


if __name__ == "__main__":
    main()

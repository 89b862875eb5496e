#!/usr/bin/env python3
"""Checks game files against an independent referee: every game our reader takes is replayed by
Fairy-Stockfish (UCI_Variant xiangqi) from the same start, and the final positions must agree.

    tools/xq-pgn-referee.py [--bench build/tools/xq-bench] [--engine fairy-stockfish] FILE...

Prints one line a file (games, accepted, agreeing) and every game refused or in disagreement;
exits 1 when any game is refused or disagrees. The referee plays the moves without knowing how
they were written: our reader hands it ICCS coordinates (`xq-bench pgn replay`), which Fairy-
Stockfish takes with ranks counted from one. A move the referee finds illegal ends its replay
there, so it shows as a different final position.
"""

import argparse
import shutil
import subprocess
import sys


def replay(bench, path):
    """(number, start FEN, final FEN, ICCS moves) per game, and the refusals, by our reader."""
    out = subprocess.run([bench, "pgn", "replay", path], capture_output=True, text=True)
    games, refusals = [], []
    for line in out.stdout.splitlines():
        fields = line.split("\t")
        if len(fields) >= 2 and fields[1] == "refused":
            refusals.append(line)
        elif len(fields) == 4:
            games.append((fields[0], fields[1], fields[2], fields[3].split()))
        elif line:
            refusals.append(line)
    return games, refusals


class Referee:
    def __init__(self, engine):
        self.process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")
        self.send("setoption name UCI_Variant value xiangqi")
        self.send("isready")
        self.wait_for("readyok")

    def send(self, line):
        self.process.stdin.write(line + "\n")

    def wait_for(self, word):
        for line in self.process.stdout:
            if line.startswith(word):
                return line.strip()
        raise RuntimeError("the referee stopped")

    def final_fen(self, start, moves):
        # ICCS counts ranks from 0, UCI for Xiangqi from 1.
        uci = [m[0] + str(int(m[1]) + 1) + m[2] + str(int(m[3]) + 1) for m in moves]
        self.send("position fen " + start + (" moves " + " ".join(uci) if uci else ""))
        self.send("d")
        return self.wait_for("Fen:")[len("Fen: "):]

    def close(self):
        self.send("quit")
        self.process.wait()


def board_and_side(fen):
    return " ".join(fen.split()[:2])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default="build/tools/xq-bench")
    parser.add_argument("--engine", default=shutil.which("fairy-stockfish") or
                        "/usr/games/fairy-stockfish")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    referee = Referee(args.engine)
    total = agreeing = faults = 0
    for path in args.files:
        games, refusals = replay(args.bench, path)
        agree = 0
        for number, start, ours, moves in games:
            theirs = referee.final_fen(start, moves)
            if board_and_side(theirs) == board_and_side(ours):
                agree += 1
            else:
                print(f"  {path} game {number}: ours {ours}, referee {theirs}")
        for refusal in refusals:
            print(f"  {path}: {refusal}")
        count = len(games) + len(refusals)
        print(f"{path}: {count} games, {len(games)} accepted, {agree} agreeing")
        total += count
        agreeing += agree
        faults += len(refusals) + len(games) - agree
    referee.close()
    print(f"all: {total} games, {total - faults} accepted and agreeing")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())

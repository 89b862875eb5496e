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

from fairy_uci import FairyStockfish, to_uci


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


class Referee(FairyStockfish):
    def final_fen(self, start, moves):
        uci = [to_uci(m) for m in moves]
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

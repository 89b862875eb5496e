#!/usr/bin/env python3
"""Measures the game analysis (`xq-bench analyse`) against Fairy-Stockfish as referee.

    tools/xq-analysis-referee.py [--bench build/tools/xq-bench] [--movetime MS] [--depth D]
                                 [--games N] [--min-plies P] [--save FILE] FILE...

Every game of the files with at least P plies (the first N of them) is analysed by us at MS a
position and by the referee (UCI_Variant xiangqi) at the fixed depth D, position by position. A
move's loss, for the referee, is the score of its own best move minus the score of the move played
(searched alone, `go depth D searchmoves M`), both from the position the move was played in, in
Pawns, scores capped at +-20 Pawns (mates included), never below zero, zero when the move is the
referee's own choice. Prints, per game and in all:

  recall    of the moves the referee finds to lose 3 Pawns or more, the share we mark ? or ??
  false ??  of our ?? marks, the share the referee rates within 1 Pawn of its best

A deeper look: --recheck D, with --load, judges again at depth D (the referee's hash cleared
before each ply, so that a ply's judgement does not hang on the plies before it) the plies whose
loss, ours or the referee's, is at least --recheck-from P (default 2 Pawns) and, with
--recheck-below Q, less than Q; --recheck-sample N takes N of those plies at random (--seed). The
plies written by --save then carry the new depth's loss and, in the column "shallow", the old;
--deeper FILE, with --load, puts such a file's losses in place of the loaded ones. The figures
are then those of all the loaded plies, the plies not judged again keeping their first loss.

--skip passes over the first games (to split the work between runs). --save writes every ply
(game, ply, move, our loss and mark, the referee's loss) as TSV as the games are done, and --load
reads such files (repeat it for several) instead of analysing again, to try other thresholds (--marks A,B,C:
our losses in Pawns for ?!, ?, ??) on the same figures. --theirs takes the referee's losses from such
files (made at the same --depth) and analyses only our side again.
"""

import argparse
import csv
import random
import re
import shutil
import subprocess
import sys
import time

from fairy_uci import FairyStockfish, to_uci

CAP = 20.0
SCORE = re.compile(r"\bscore (cp|mate) (-?\d+)")


def games_of(bench, path, min_plies):
    """(number, start FEN, ICCS moves) of every game our reader takes."""
    out = subprocess.run([bench, "pgn", "replay", path], capture_output=True, text=True)
    games = []
    for line in out.stdout.splitlines():
        fields = line.split("\t")
        if len(fields) == 4 and len(fields[3].split()) >= min_plies:
            games.append((int(fields[0]), fields[1], fields[3].split()))
    return games


def pawns(text):
    """A value as analyse prints it ("+1.25", "-M3"), in Pawns, capped."""
    if "M" in text:
        return CAP if text.startswith("+") else -CAP
    return max(-CAP, min(CAP, float(text)))


def ours(bench, path, number, movetime):
    """Per ply: (move, mark, loss in Pawns, value after it from Red's view) from xq-bench
    analyse."""
    out = subprocess.run([bench, "analyse", path, "--game", str(number), "--movetime",
                          str(movetime)], capture_output=True, text=True, check=True)
    plies = []
    for line in out.stdout.splitlines():
        fields = line.split()
        if len(fields) == 6:
            plies.append((fields[1], fields[4], float(fields[5]), pawns(fields[2])))
    if not plies:
        raise RuntimeError(f"no analysis from {bench} for game {number} of {path}")
    return plies


class Referee(FairyStockfish):
    def __init__(self, engine):
        super().__init__(engine, options=[("Threads", 1)])

    def forget(self):
        """Clears the hash, as for a new game."""
        self.send("ucinewgame")
        self.send("isready")
        self.wait_for("readyok")

    def search(self, start, moves, depth, only=None):
        """(score in Pawns for the side to move, capped; best move in UCI or None), of the
        position's best move or, with `only`, of that move."""
        self.send("position fen " + start + (" moves " + " ".join(moves) if moves else ""))
        self.send(f"go depth {depth}" + (f" searchmoves {only}" if only else ""))
        score = -CAP
        for line in self.process.stdout:
            found = SCORE.search(line) if line.startswith("info") and " pv " in line else None
            if found:
                kind, value = found.group(1), int(found.group(2))
                if kind == "cp":
                    score = max(-CAP, min(CAP, value / 100))
                else:
                    score = CAP if value > 0 else -CAP
            if line.startswith("bestmove"):
                best = line.split()[1]
                return score, (None if best == "(none)" else best)
        raise RuntimeError("the referee stopped")

    def close(self):
        self.send("quit")
        self.process.wait()


def referee_loss(referee, start, uci, ply, depth):
    """The referee's loss of the move uci[ply], played after the moves before it."""
    best_score, best = referee.search(start, uci[:ply], depth)
    if best == uci[ply]:
        return 0.0
    played_score, _ = referee.search(start, uci[:ply], depth, only=uci[ply])
    return max(0.0, best_score - played_score)


def referee_losses(referee, start, moves, depth):
    uci = [to_uci(m) for m in moves]
    return [referee_loss(referee, start, uci, ply, depth) for ply in range(len(uci))]


def recheck(rows, args, writer):
    """Judges the chosen plies of `rows` again at depth args.recheck, in place, each handed to
    `writer` (if any) as soon as it is done, so that a run cut short keeps what it has done."""
    low, high = args.recheck_from, args.recheck_below
    chosen = [r for r in rows if low <= max(r["ours"], r["theirs"]) < high]
    if args.recheck_sample:
        chosen = random.Random(args.seed).sample(chosen, min(args.recheck_sample, len(chosen)))
    games = {}
    referee = Referee(args.engine)
    for r in chosen:
        path, number = r["game"].rsplit("#", 1)
        if path not in games:
            games[path] = {g: (s, m) for g, s, m in games_of(args.bench, path, 0)}
        start, moves = games[path][int(number)]
        referee.forget()
        r["shallow"] = r["theirs"]
        r["theirs"] = referee_loss(referee, start, [to_uci(m) for m in moves],
                                   int(r["ply"]) - 1, args.recheck)
        print(f"{r['game']} ply {r['ply']}: {r['shallow']:.2f} -> {r['theirs']:.2f}", flush=True)
        if writer:
            writer(r)
    referee.close()


def load_rows(paths):
    rows = []
    for path in paths:
        with open(path, newline="") as f:
            for r in csv.DictReader(f, delimiter="\t"):
                rows.append({**r, "ours": float(r["ours"]), "theirs": float(r["theirs"])})
    return rows



def mark_of(loss, marks):
    inaccuracy, mistake, blunder = marks
    return "??" if loss >= blunder else "?" if loss >= mistake else "?!" if loss >= inaccuracy \
        else "-"


def figures(rows, mark):
    big = [r for r in rows if r["theirs"] >= 3]
    caught = [r for r in big if mark(r) in ("?", "??")]
    blunders = [r for r in rows if mark(r) == "??"]
    false = [r for r in blunders if r["theirs"] < 1]
    return len(big), len(caught), len(blunders), len(false)


def share(part, whole):
    return f"{100 * part / whole:.0f}%" if whole else "-"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default="build/tools/xq-bench")
    parser.add_argument("--engine", default=shutil.which("fairy-stockfish") or
                        "/usr/games/fairy-stockfish")
    parser.add_argument("--movetime", type=int, default=1000)
    parser.add_argument("--depth", type=int, default=14)
    parser.add_argument("--games", type=int, default=20)
    parser.add_argument("--skip", type=int, default=0, help="games to pass over first")
    parser.add_argument("--min-plies", type=int, default=30)
    parser.add_argument("--marks", default=None, help="?!,?,?? thresholds in Pawns (re-marks)")
    parser.add_argument("--save")
    parser.add_argument("--load", action="append", help="a saved TSV (more than one may be given)")
    parser.add_argument("--theirs", action="append", help="a saved TSV with the referee's losses")
    parser.add_argument("--recheck", type=int, help="judge the chosen plies again at this depth")
    parser.add_argument("--recheck-from", type=float, default=2.0)
    parser.add_argument("--recheck-below", type=float, default=float("inf"))
    parser.add_argument("--recheck-sample", type=int, default=0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--deeper", action="append",
                        help="a TSV of --recheck: its losses replace the referee's loaded ones")
    parser.add_argument("files", nargs="*")
    args = parser.parse_args()

    rows = []
    if args.load:
        rows = load_rows(args.load)
        index = {(r["game"], r["ply"]): r for r in rows}
        for r in load_rows(args.deeper or []):
            at = index[(r["game"], r["ply"])]
            at["shallow"], at["theirs"] = at["theirs"], r["theirs"]
        if args.recheck:
            with open(args.save or "/dev/null", "w", newline="") as saved:
                columns = ["game", "ply", "move", "mark", "ours", "value", "theirs", "shallow"]
                writer = csv.DictWriter(saved, columns, delimiter="\t", extrasaction="ignore")
                writer.writeheader()

                def write(row):
                    writer.writerow(row)
                    saved.flush()

                recheck(rows, args, write)
    else:
        known = {}
        for r in load_rows(args.theirs or []):
            known.setdefault(r["game"], []).append(r["theirs"])
        referee = Referee(args.engine)
        columns = ["game", "ply", "move", "mark", "ours", "value", "theirs"]
        saved = open(args.save, "w", newline="") if args.save else None
        writer = csv.DictWriter(saved, columns, delimiter="\t") if saved else None
        if writer:
            writer.writeheader()
        chosen = [(p, g) for p in args.files for g in games_of(args.bench, p, args.min_plies)]
        for path, (number, start, moves) in chosen[args.skip:args.skip + args.games]:
            began = time.monotonic()
            analysed = ours(args.bench, path, number, args.movetime)
            game = f"{path}#{number}"
            theirs = known.get(game) or referee_losses(referee, start, moves, args.depth)
            for ply, ((move, mark, loss, value), their) in enumerate(zip(analysed, theirs), 1):
                rows.append({"game": game, "ply": ply, "move": move, "mark": mark,
                             "ours": loss, "value": value, "theirs": their})
                if writer:
                    writer.writerow(rows[-1])
            if saved:
                saved.flush()
            print(f"{game}: {len(moves)} plies, {time.monotonic() - began:.0f} s", flush=True)
        referee.close()
        if saved:
            saved.close()

    if args.marks:
        marks = tuple(float(x) for x in args.marks.split(","))
        big, caught, blunders, false = figures(rows, lambda r: mark_of(r["ours"], marks))
        how = f"at {args.marks} Pawns"
    else:
        big, caught, blunders, false = figures(rows, lambda r: r["mark"])
        how = "as the analysis gave them"
    games = len({r["game"] for r in rows})
    print(f"games {games}, plies {len(rows)}, our marks {how}")
    print(f"recall: {caught} of {big} moves losing >= 3 Pawns marked ? or ?? "
          f"({share(caught, big)}, target >= 80%)")
    print(f"false ??: {false} of {blunders} ?? marks within 1 Pawn of the referee's best "
          f"({share(false, blunders)}, target < 10%)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Labelled positions for xq-tune: Fairy-Stockfish (Debian's fairy-stockfish, variant xiangqi)
plays itself from random openings at a small node budget; every quiet position of a game (side to
move not in check, the engine's choice not a capture) is written with the game's result.

Output lines: `FEN;result`, the result from Red's point of view (1 Red won, 0.5 draw, 0 Black won).

    python3 tools/xq-tune-data.py --games 2000 --seed 1 --out /tmp/fsf.txt

With --rescore, positions already written get Fairy-Stockfish's score after a short search as a
third field, `FEN;result;score` (hundredths of a Pawn for Red, mates as +-2000), which xq-tune can
blend into the result (its --lambda):

    python3 tools/xq-tune-data.py --rescore /tmp/fsf.txt --nodes 1000 --out /tmp/fsf-scored.txt

Games end on the board (no legal move loses), by adjudication (a score of --win-cp or more for
the same side over --win-plies plies in a row; a score within 20 cp for 40 plies after ply 160 is a
draw) or at --max-plies as a draw. Games run one after another on one core.
"""

import argparse
import random
import re
import shutil
import subprocess
import sys

MOVE = re.compile(r"^([a-i])(10|[1-9])([a-i])(10|[1-9]): 1$")


class Engine:
    """One Fairy-Stockfish process spoken to over UCI."""

    def __init__(self, path, nodes):
        self.nodes = nodes
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)
        self.send("uci")
        self.read_until("uciok")
        self.send("setoption name UCI_Variant value xiangqi")
        self.send("setoption name Threads value 1")
        self.send("setoption name Hash value 16")
        self.sync()

    def send(self, line):
        self.proc.stdin.write(line + "\n")

    def read_until(self, prefix):
        lines = []
        while True:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError("fairy-stockfish ended unexpectedly")
            line = line.rstrip("\n")
            lines.append(line)
            if line.startswith(prefix):
                return lines

    def sync(self):
        self.send("isready")
        self.read_until("readyok")

    def set_moves(self, moves):
        self.send("position startpos" + (" moves " + " ".join(moves) if moves else ""))

    def legal_moves(self):
        self.send("go perft 1")
        lines = self.read_until("Nodes searched")
        return [m.group(1) + m.group(2) + m.group(3) + m.group(4)
                for m in map(MOVE.match, lines) if m]

    def fen_and_check(self):
        self.send("d")
        fen, checkers = None, ""
        for line in self.read_until("Checkers:"):
            if line.startswith("Fen: "):
                fen = line[5:]
            if line.startswith("Checkers:"):
                checkers = line[len("Checkers:"):].strip()
        return fen, bool(checkers)

    def best_move(self):
        """The engine's move and its score in centipawns for the side to move."""
        self.send(f"go nodes {self.nodes}")
        score = 0
        for line in self.read_until("bestmove"):
            words = line.split()
            if words and words[0] == "info" and "score" in words:
                i = words.index("score")
                kind, value = words[i + 1], int(words[i + 2])
                score = value if kind == "cp" else (100000 if value > 0 else -100000)
            if words and words[0] == "bestmove":
                return words[1], score
        return None, score

    def score_fen(self, fen):
        """Score of the position `fen` for Red after a search of the node budget."""
        self.send("position fen " + fen)
        _, score = self.best_move()
        if abs(score) >= 100000:
            score = 2000 if score > 0 else -2000
        score = max(-2000, min(2000, score))
        return score if fen.split()[1] == "w" else -score

    def close(self):
        self.send("quit")
        self.proc.wait(timeout=10)


def is_capture(fen, move):
    """True when the move's destination holds a piece in `fen`."""
    m = re.match(r"^[a-i](10|[1-9])([a-i])(10|[1-9])$", move)
    if not m:
        return False
    file = ord(m.group(2)) - ord("a")
    rank = int(m.group(3)) - 1  # 0 is Red's back rank
    rows = fen.split()[0].split("/")  # Black's back rank first
    row = rows[9 - rank]
    col = 0
    for ch in row:
        if ch.isdigit():
            col += int(ch)
            continue
        if col == file:
            return True
        col += 1
    return False


def play_game(engine, rng, args):
    """Plays one game; returns (positions, result from Red's point of view)."""
    moves = []
    for _ in range(rng.randint(args.random_min, args.random_max)):
        engine.set_moves(moves)
        legal = engine.legal_moves()
        if not legal:
            break
        moves.append(rng.choice(legal))

    positions = []
    streak_side, streak = 0, 0
    quiet_plies = 0
    while True:
        ply = len(moves)
        red_to_move = ply % 2 == 0
        engine.set_moves(moves)
        if not engine.legal_moves():
            return positions, 0.0 if red_to_move else 1.0
        if ply >= args.max_plies:
            return positions, 0.5
        fen, in_check = engine.fen_and_check()
        move, score = engine.best_move()
        if move is None or move == "(none)":
            return positions, 0.0 if red_to_move else 1.0
        if not in_check and not is_capture(fen, move):
            positions.append(fen)

        red_score = score if red_to_move else -score
        side = 1 if red_score >= args.win_cp else -1 if red_score <= -args.win_cp else 0
        streak = streak + 1 if side != 0 and side == streak_side else (1 if side else 0)
        streak_side = side
        if streak >= args.win_plies:
            return positions, 1.0 if side > 0 else 0.0
        quiet_plies = quiet_plies + 1 if abs(score) <= 20 else 0
        if ply >= 160 and quiet_plies >= 40:
            return positions, 0.5
        moves.append(move)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--games", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--nodes", type=int, default=3000, help="node budget of every move")
    parser.add_argument("--random-min", type=int, default=2, help="fewest random opening plies")
    parser.add_argument("--random-max", type=int, default=6, help="most random opening plies")
    parser.add_argument("--max-plies", type=int, default=300)
    parser.add_argument("--win-cp", type=int, default=1200)
    parser.add_argument("--win-plies", type=int, default=8)
    parser.add_argument("--engine", default=shutil.which("fairy-stockfish") or
                        "/usr/games/fairy-stockfish")
    parser.add_argument("--rescore", metavar="FILE",
                        help="add a score to the positions of FILE instead of playing games")
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    if args.rescore:
        engine = Engine(args.engine, args.nodes)
        with open(args.rescore) as src, open(args.out, "w") as out:
            for number, line in enumerate(src, 1):
                fields = line.strip().split(";")
                if len(fields) < 2:
                    continue
                out.write(f"{fields[0]};{fields[1]};{engine.score_fen(fields[0])}\n")
                if number % 10000 == 0:
                    print(f"{number} positions scored", file=sys.stderr, flush=True)
        engine.close()
        return

    rng = random.Random(args.seed)
    engine = Engine(args.engine, args.nodes)
    tally = {1.0: 0, 0.5: 0, 0.0: 0}
    count = 0
    with open(args.out, "w") as out:
        for game in range(args.games):
            positions, result = play_game(engine, rng, args)
            tally[result] += 1
            for fen in positions:
                out.write(f"{fen};{result:g}\n")
            count += len(positions)
            out.flush()
            if (game + 1) % 50 == 0:
                print(f"{game + 1} games, {count} positions, red/draw/black "
                      f"{tally[1.0]}/{tally[0.5]}/{tally[0.0]}", file=sys.stderr, flush=True)
    engine.close()
    print(f"{args.games} games, {count} positions, red/draw/black "
          f"{tally[1.0]}/{tally[0.5]}/{tally[0.0]}", file=sys.stderr)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Engine-against-engine matches over UCI, refereed by Fairy-Stockfish.

Plays lanchuan-engine against a peer engine from varied starting positions (the first plies of
the lines in data/opening.txt, each played twice with the colours reversed) at a fixed time per
move. Every rule of the game comes from a separate Fairy-Stockfish process acting as referee:
its legal moves (`go perft 1`) decide whether a move may be played and whether the side to move
has any move left, its `d` output gives the position key and whether the side to move is in
check. From those facts the runner scores the game:

- a side with no legal move loses (mate and stalemate alike);
- the third occurrence of a position ends the game: when one side gave check with every one of
  its moves since the first occurrence and the other did not, the checking side loses (perpetual
  check); otherwise it is a draw;
- a game reaching --max-plies plies is a draw;
- an illegal move, a missing answer or an engine that dies loses the game;
- with --clock, a side whose clock falls below zero loses on time (the runner measures each
  answer from `go` to `bestmove` and adds the increment after the move).

The summary also counts the games in which our engine announced a mate of its own ("score mate"
with a positive count) and did not win, and its losses by perpetual check. The opponent "classic"
is our own binary with its classic engine chosen.

Fairy-Stockfish writes ranks 1..10; the runner converts to and from ICCS ranks 0..9.

With --judge PGN the script plays no game: it re-judges every game of a PGN file written by
lanchuan-match with the same Fairy-Stockfish referee and the same rules (plus the draw when
neither side has a Rook, Knight, Cannon or Pawn left, which lanchuan-match also rules), and prints
per game both results and whether they agree, then a summary. Games that an engine ended (time,
illegal move, crash, resignation, adjudication) have no verdict of the rules to compare; the judge
only checks that the rules had not ended them earlier.

Examples (re-judging a match's games; 40 games at 200 ms a move against Fairy-Stockfish at skill level 0; 20 games at
1 second a game plus 0.1 a move against Sjaak II):
    nice -n 10 python3 tools/xq-match.py --opponent fsf-skill0 --games 40 --movetime 200
    nice -n 10 python3 tools/xq-match.py --opponent sjaak --games 20 --clock 1000+100
    python3 tools/xq-match.py --judge games.pgn
"""

import argparse
import math
import os
import re
import select
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FAIRY = "/usr/games/fairy-stockfish"
SJAAK = "/usr/games/sjaakii"


def to_fairy(move):
    """ICCS h2e2 -> Fairy-Stockfish h3e3."""
    return f"{move[0]}{int(move[1]) + 1}{move[2]}{int(move[3]) + 1}"


MATE_SCORE = re.compile(r"\bscore mate (-?\d+)")
FAIRY_MOVE = re.compile(r"^([a-i])(10|[1-9])([a-i])(10|[1-9])$")


def from_fairy(move):
    """Fairy-Stockfish b10c8 -> ICCS b9c7; None when it is not a board move."""
    m = FAIRY_MOVE.match(move)
    if not m:
        return None
    return f"{m.group(1)}{int(m.group(2)) - 1}{m.group(3)}{int(m.group(4)) - 1}"


class EngineError(Exception):
    pass


class Engine:
    """One engine process spoken to over UCI."""

    def __init__(self, name, command, options=(), fairy_ranks=False, cwd=None):
        self.name = name
        self.fairy_ranks = fairy_ranks
        self.proc = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, cwd=cwd, text=True, bufsize=1)
        self.buffer = ""
        self.send("uci")
        self.wait_for("uciok", 10)
        for option, value in options:
            self.send(f"setoption name {option} value {value}")
        self.ready()

    def send(self, line):
        try:
            self.proc.stdin.write(line + "\n")
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError) as error:
            raise EngineError(f"{self.name}: cannot write ({error})")

    def read_line(self, deadline):
        fd = self.proc.stdout.fileno()
        while "\n" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise EngineError(f"{self.name}: no answer in time")
            ready, _, _ = select.select([fd], [], [], left)
            if not ready:
                continue
            chunk = os.read(fd, 65536)
            if not chunk:
                raise EngineError(f"{self.name}: the process ended")
            self.buffer += chunk.decode("utf-8", "replace")
        line, self.buffer = self.buffer.split("\n", 1)
        return line.rstrip("\r")

    def wait_for(self, prefix, seconds):
        deadline = time.monotonic() + seconds
        lines = []
        while True:
            line = self.read_line(deadline)
            lines.append(line)
            if line.startswith(prefix):
                return lines

    def ready(self):
        self.send("isready")
        self.wait_for("readyok", 30)

    def new_game(self):
        self.send("ucinewgame")
        self.ready()

    def best_move(self, moves, go, timeout):
        """The engine's move (ICCS) after `moves` (ICCS) from the opening array, and the
        milliseconds it took to answer `go ...`."""
        shown = [to_fairy(m) for m in moves] if self.fairy_ranks else moves
        self.send("position startpos" + (" moves " + " ".join(shown) if shown else ""))
        started = time.monotonic()
        self.send("go " + go)
        lines = self.wait_for("bestmove", timeout)
        elapsed_ms = (time.monotonic() - started) * 1000
        words = lines[-1].split()
        if len(words) < 2:
            raise EngineError(f"{self.name}: bare bestmove")
        move = words[1]
        # The last mate score the engine announced for itself ("score mate 3": it mates in 3).
        self.mate_claim = None
        for line in lines:
            found = MATE_SCORE.search(line)
            if found:
                self.mate_claim = int(found.group(1)) > 0
        return (from_fairy(move) if self.fairy_ranks else move), elapsed_ms

    def close(self):
        try:
            self.send("quit")
            self.proc.wait(timeout=2)
        except (EngineError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()


class Referee:
    """Fairy-Stockfish asked about positions: legal moves, position key, check."""

    def __init__(self):
        self.engine = Engine("referee", [FAIRY], [("UCI_Variant", "xiangqi")], fairy_ranks=True)

    def study(self, moves, fen=None):
        """(legal ICCS moves, position key, side to move in check) after `moves` from the
        opening array or from `fen`; the position's FEN is kept in self.fen."""
        engine = self.engine
        start = "position fen " + fen if fen else "position startpos"
        engine.send(start + (" moves " + " ".join(to_fairy(m) for m in moves) if moves else ""))
        engine.send("d")
        key = None
        in_check = None
        self.fen = None
        for line in engine.wait_for("Checkers:", 10):
            if line.startswith("Fen:"):
                self.fen = line.split()[1]
            if line.startswith("Key:"):
                key = line.split()[1]
            if line.startswith("Checkers:"):
                in_check = len(line.split()) > 1
        engine.send("go perft 1")
        legal = set()
        for line in engine.wait_for("Nodes searched", 10):
            if ":" in line and not line.startswith("Nodes"):
                move = from_fairy(line.split(":")[0].strip())
                if move:
                    legal.add(move)
        if key is None or in_check is None:
            raise EngineError("referee: no key or check line")
        return legal, key, in_check

    def close(self):
        self.engine.close()


def repetition_result(keys, checks, movers):
    """On the third occurrence of the last key: 'red', 'black' (the winner) or 'draw'.

    keys[i], checks[i]: the position after i plies and whether its side to move is in check;
    movers[i]: the side ('red'/'black') that played ply i + 1."""
    current = keys[-1]
    first = keys.index(current)
    gave_check = {"red": True, "black": True}
    for ply in range(first, len(keys) - 1):
        # The move of ply + 1 gave check when the position after it is check.
        if not checks[ply + 1]:
            gave_check[movers[ply]] = False
    if gave_check["red"] and not gave_check["black"]:
        return "black", "perpetual check by Red"
    if gave_check["black"] and not gave_check["red"]:
        return "red", "perpetual check by Black"
    return "draw", "threefold repetition"


class TimeControl:
    """A fixed time per move, or a clock of `base` ms per game plus `increment` ms per move."""

    def __init__(self, movetime_ms, clock):
        self.movetime_ms = movetime_ms
        self.base, self.increment = (int(x) for x in clock.split("+")) if clock else (0, 0)
        self.clocked = bool(clock)
        self.left = {"red": self.base, "black": self.base}
        self.lowest = dict(self.left)  # the least each side had left after a move

    def go(self):
        if not self.clocked:
            return f"movetime {self.movetime_ms}"
        return (f"wtime {max(0, round(self.left['red']))} btime {max(0, round(self.left['black']))} "
                f"winc {self.increment} binc {self.increment}")

    def timeout(self, side):
        limit = self.left[side] if self.clocked else self.movetime_ms
        return limit / 1000 * 5 + 5

    def charge(self, side, elapsed_ms):
        """False when `side` has overstepped its time."""
        if not self.clocked:
            return True
        self.left[side] -= elapsed_ms
        self.lowest[side] = min(self.lowest[side], self.left[side])
        if self.left[side] < 0:
            return False
        self.left[side] += self.increment
        return True

    def describe(self):
        return f"{self.base}+{self.increment} ms a game" if self.clocked else \
            f"{self.movetime_ms} ms/move"


def play_game(referee, red, black, opening, control, max_plies):
    """Plays one game; returns ('red'|'black'|'draw', reason, moves, mate claims), the claims
    being the sides that announced a mate of their own at some move."""
    moves = []
    claims = set()
    keys, checks, movers = [], [], []
    for engine in (red, black):
        engine.new_game()
    while True:
        legal, key, in_check = referee.study(moves)
        keys.append(key)
        checks.append(in_check)
        side = "red" if len(moves) % 2 == 0 else "black"
        other = "black" if side == "red" else "red"
        if not legal:
            return other, ("mate" if in_check else "stalemate"), moves, claims
        if keys.count(key) >= 3:
            winner, reason = repetition_result(keys, checks, movers)
            return winner, reason, moves, claims
        if len(moves) >= max_plies:
            return "draw", f"{max_plies} plies", moves, claims
        if len(moves) < len(opening):
            move = opening[len(moves)]
        else:
            engine = red if side == "red" else black
            try:
                move, elapsed_ms = engine.best_move(moves, control.go(), control.timeout(side))
            except EngineError as error:
                return other, str(error), moves, claims
            if engine.mate_claim:
                claims.add(side)
            if not control.charge(side, elapsed_ms):
                return other, f"{side} lost on time", moves, claims
        if move not in legal:
            return other, f"illegal move {move} by {side}", moves, claims
        moves.append(move)
        movers.append(side)


def openings(count, plies):
    """`count` distinct starting lines of `plies` plies, spread over data/opening.txt."""
    seen = []
    with open(os.path.join(ROOT, "data", "opening.txt"), encoding="utf-8") as text:
        for line in text:
            words = line.split("#", 1)[0].split()
            if len(words) < plies:
                continue
            prefix = tuple(words[:plies])
            if prefix not in seen:
                seen.append(prefix)
    if count >= len(seen):
        return [list(p) for p in seen]
    return [list(seen[i * len(seen) // count]) for i in range(count)]


def elo(score):
    if score <= 0:
        return -math.inf
    if score >= 1:
        return math.inf
    return -400 * math.log10(1 / score - 1)


def summary(results):
    """Score, Elo and its 95% margin from our points per game (1, 0.5, 0)."""
    n = len(results)
    score = sum(results) / n
    variance = sum((r - score) ** 2 for r in results) / n
    margin = 1.96 * math.sqrt(variance / n)
    low, high = elo(max(score - margin, 0)), elo(min(score + margin, 1))
    # Adding 0.0 turns a negative zero into zero.
    return score, elo(score) + 0.0, low + 0.0, high + 0.0


OPPONENTS = {
    "fsf-skill0": ("Fairy-Stockfish skill 0", [FAIRY],
                   [("UCI_Variant", "xiangqi"), ("Skill Level", "0")], True),
    "fsf": ("Fairy-Stockfish", [FAIRY], [("UCI_Variant", "xiangqi")], True),
    "sjaak": ("Sjaak II", [SJAAK], [("UCI_Variant", "xiangqi")], True),
    # Our own classic engine, from the same binary as ours.
    "classic": ("the classic engine", None, [("Engine", "Classic"), ("OwnBook", "true")], False),
}


PGN_TAG = re.compile(r'^\[(\w+)\s+"((?:[^"\\]|\\.)*)"\]\s*$')
ICCS_MOVE = re.compile(r"^[a-i][0-9][a-i][0-9]$")
RESULTS = {"1-0", "0-1", "1/2-1/2", "*"}


def read_pgn_games(path):
    """[(tags, ICCS moves, the last comment)] of a PGN file as lanchuan-match writes it."""
    games = []
    tags, text = {}, []

    def finish():
        if tags or text:
            body = " ".join(text)
            comments = re.findall(r"\{([^}]*)\}", body)
            body = re.sub(r"\{[^}]*\}", " ", body)
            moves = [w for w in body.split() if ICCS_MOVE.match(w)]
            games.append((dict(tags), moves, comments[-1] if comments else ""))

    with open(path, encoding="utf-8") as pgn:
        for line in pgn:
            tag = PGN_TAG.match(line.strip())
            if tag:
                if text:
                    finish()
                    tags.clear()
                    text.clear()
                tags[tag.group(1)] = tag.group(2).replace('\\"', '"').replace("\\\\", "\\")
            elif line.strip():
                text.append(line.strip())
    finish()
    return games


def no_attackers(fen):
    """Neither side has a Rook, Knight, Cannon or Pawn (Fairy-Stockfish's letters r n c p)."""
    board = fen.split()[0].lower()
    return not any(letter in board for letter in "rncph")


def judge_game(referee, fen, moves, max_plies):
    """The referee's ruling of a recorded game: (result, reason, plies) where it ended, or
    (None, None, plies) when the rules leave it going on after its last move."""
    keys, checks, movers = [], [], []
    black_first = bool(fen) and fen.split()[1:2] == ["b"]
    for ply in range(len(moves) + 1):
        legal, key, in_check = referee.study(moves[:ply], fen)
        keys.append(key)
        checks.append(in_check)
        side = "red" if (ply % 2 == 0) != black_first else "black"
        other = "black" if side == "red" else "red"
        score = {"red": "1-0", "black": "0-1", "draw": "1/2-1/2"}
        if not legal:
            return score[other], ("mate" if in_check else "stalemate"), ply
        if keys.count(key) >= 3:
            winner, reason = repetition_result(keys, checks, movers)
            return score[winner], reason, ply
        if max_plies and ply >= max_plies:
            return score["draw"], f"{max_plies} plies", ply
        if no_attackers(referee.fen):
            return score["draw"], "no attacking pieces", ply
        if ply == len(moves):
            return None, None, ply
        if moves[ply] not in legal:
            return score[other], f"illegal move {moves[ply]} by {side}", ply
        movers.append(side)
    return None, None, len(moves)


# Our reasons that are rulings of the rules (the others are an engine's doing).
RULED = ("mates", "stalemated", "perpetual check", "repetition", "move limit",
         "insufficient mating material")


def judge(path, max_plies):
    referee = Referee()
    agree = disagree = engine_ended = 0
    try:
        for number, (tags, moves, reason) in enumerate(read_pgn_games(path), 1):
            fen = tags.get("FEN")
            if fen and len(fen.split()) < 4:
                fen = " ".join(fen.split()[:2] + ["-", "-", "0", "1"])
            ours = tags.get("Result", "*")
            theirs, why, plies = judge_game(referee, fen, moves, max_plies)
            ruled = any(word in reason for word in RULED)
            if ruled:
                same = theirs == ours and plies == len(moves)
            else:
                # An engine ended the game: the rules must not have ended it before.
                same = theirs is None
                engine_ended += 1
            agree += same
            disagree += not same
            print(f"game {tags.get('Round', number)} ({tags.get('Red', '?')} vs {tags.get('Black', '?')}): "
                  f"lanchuan-match {ours} {{{reason}}}, fairy-stockfish "
                  f"{theirs or 'goes on'}{f' ({why} at ply {plies})' if why else ''}: "
                  f"{'agree' if same else 'DISAGREE'}", flush=True)
    finally:
        referee.close()
    print(f"judged {agree + disagree} games: {agree} agree, {disagree} disagree "
          f"({engine_ended} ended by an engine)")
    return 1 if disagree else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--engine", default=os.path.join(ROOT, "build", "uci", "lanchuan-engine"))
    parser.add_argument("--opponent", choices=sorted(OPPONENTS))
    parser.add_argument("--judge", metavar="PGN", help="re-judge the games of a lanchuan-match "
                        "PGN file instead of playing")
    parser.add_argument("--games", type=int, default=40, help="an even number of games")
    parser.add_argument("--movetime", type=int, default=200, help="milliseconds per move")
    parser.add_argument("--clock", help="a game clock instead: BASE+INCREMENT milliseconds")
    parser.add_argument("--opening-plies", type=int, default=4)
    parser.add_argument("--max-plies", type=int, default=300)
    parser.add_argument("--seed", type=int, default=1, help="our Seed option is this + game no.")
    parser.add_argument("--log", help="file for the moves of every game")
    parser.add_argument("--option", action="append", default=[], metavar="NAME=VALUE",
                        help="a UCI option for our engine (repeatable), e.g. Engine=Classic")
    args = parser.parse_args()
    if args.judge:
        return judge(args.judge, args.max_plies)
    if not args.opponent:
        parser.error("--opponent is needed to play a match")

    name, command, options, fairy_ranks = OPPONENTS[args.opponent]
    command = command or [os.path.abspath(args.engine)]
    our_options = [("OwnBook", "true")] + [tuple(o.split("=", 1)) for o in args.option]
    starts = openings((args.games + 1) // 2, args.opening_plies)
    referee = Referee()
    # The engine finds opening.lib in its working directory.
    ours = Engine("lanchuan", [os.path.abspath(args.engine)], our_options,
                  cwd=os.path.join(ROOT, "data"))
    theirs = Engine(name, command, options, fairy_ranks=fairy_ranks,
                    cwd=os.path.join(ROOT, "data"))
    log = open(args.log, "w", encoding="utf-8") if args.log else None
    results = []
    wins = draws = losses = 0
    false_claims = our_perpetuals = 0
    try:
        for game in range(args.games):
            opening = starts[(game // 2) % len(starts)]
            we_are_red = game % 2 == 0
            ours.send(f"setoption name Seed value {args.seed + game}")
            red, black = (ours, theirs) if we_are_red else (theirs, ours)
            control = TimeControl(args.movetime, args.clock)
            winner, reason, moves, claims = play_game(referee, red, black, opening, control,
                                                      args.max_plies)
            ours_colour = "red" if we_are_red else "black"
            # A mate we announced must end in our win.
            false_claim = ours_colour in claims and winner != ours_colour
            false_claims += false_claim
            our_perpetuals += reason == f"perpetual check by {ours_colour.capitalize()}"
            point = 0.5 if winner == "draw" else (1.0 if winner == ours_colour else 0.0)
            results.append(point)
            wins += point == 1.0
            draws += point == 0.5
            losses += point == 0.0
            line = (f"game {game + 1} lanchuan={ours_colour} opening={' '.join(opening)} "
                    f"result={winner} ({reason}) plies={len(moves)} points={point} "
                    f"total=+{wins}={draws}-{losses}" + (" FALSE-MATE-CLAIM" if false_claim else ""))
            if control.clocked:
                line += (f" lowest-clock ours={control.lowest[ours_colour]:.0f}ms "
                         f"theirs={control.lowest['black' if we_are_red else 'red']:.0f}ms")
            print(line, flush=True)
            if log:
                log.write(line + "\n" + " ".join(moves) + "\n")
                log.flush()
    finally:
        for engine in (ours, theirs, referee):
            engine.close()
        if log:
            log.close()
    score, mid, low, high = summary(results)
    print(f"match lanchuan vs {name}: {len(results)} games at {control.describe()}, "
          f"+{wins} ={draws} -{losses}, score {score:.3f}, "
          f"Elo {mid:+.0f} (95% {low:+.0f} .. {high:+.0f}); "
          f"false mate claims by lanchuan {false_claims}, its perpetual checks {our_perpetuals}")


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""A short match in XBoard between lanchuan-engine, through the uci2wb adapter, and MaxQi.

XBoard runs on a virtual display (xvfb-run) in its own match mode, with its rules in force: it
tests every move for legality, checks every result an engine claims (a false claim forfeits the
game), flags a side whose clock runs out and applies its own Xiangqi repetition rules. The
engine is run through `uci2wb ENGINE` (UCI) and `uci2wb -x ENGINE` (UCCI), as a user would set it
up in XBoard. After each match the script reads the game file XBoard saved and its debug log and
prints, per protocol: games, results from our engine's side, and every forfeit (illegal move,
false claim, loss on time, engine that died or did not answer). Exit status 1 when any game was
lost by a forfeit of ours or by time.

Everything a match leaves (games.pgn, xboard.debug, the settings file) is kept in --out.

Examples (two games per protocol at 30 seconds a game plus 0.5 a move; the same with
lanchuan-engine's options set, as `uci2wb` offers them to XBoard):
    python3 tools/xq-xboard-match.py --games 2 --clock 0:30+0.5
    python3 tools/xq-xboard-match.py --engine "build/uci/lanchuan-engine" --option OwnBook=0
"""

import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
XBOARD = "/usr/games/xboard"
UCI2WB = "/usr/games/uci2wb"
MAXQI = "/usr/games/maxqi"

# XBoard's comment after a game: what ended it.
FORFEIT_PATTERNS = [
    ("false claim", re.compile(r"[Ff]alse .*claim")),
    ("illegal move", re.compile(r"[Ii]llegal move|[Ii]nvalid move")),
    ("time", re.compile(r"on time|time forfeit|[Ff]lag", re.I)),
    ("engine died", re.compile(r"died|crash|disconnect|terminated|resigns? by", re.I)),
]


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", default=os.path.join(ROOT, "build", "uci", "lanchuan-engine"),
                        help="the engine's command line (words split as a shell would)")
    parser.add_argument("--option", action="append", default=[],
                        help="NAME=VALUE given to the engine through XBoard (repeatable)")
    parser.add_argument("--protocols", default="uci,ucci",
                        help="comma-separated: uci (uci2wb ENGINE), ucci (uci2wb -x ENGINE)")
    parser.add_argument("--games", type=int, default=2, help="games per protocol (colours alternate)")
    parser.add_argument("--clock", default="0:30+0.5",
                        help="MINUTES:SECONDS+INCREMENT per game, or st=SECONDS per move")
    parser.add_argument("--opponent", default=MAXQI, help="the WinBoard engine played against")
    parser.add_argument("--out", default=None, help="folder for the games and logs (kept)")
    return parser.parse_args()


def engine_wrapper(folder, command):
    """uci2wb takes one executable: a command line with arguments goes into a small script."""
    words = shlex.split(command)
    if len(words) == 1:
        return os.path.abspath(shutil.which(words[0]) or words[0])
    path = os.path.join(folder, "engine.sh")
    with open(path, "w") as script:
        script.write("#!/bin/sh\nexec " + " ".join(shlex.quote(w) for w in words) + "\n")
    os.chmod(path, 0o755)
    return path


def time_arguments(clock):
    if clock.startswith("st="):
        # XBoard reads a time per move as minutes[:seconds].
        return ["-st", f"0:{clock[3:]}"]
    base, _, increment = clock.partition("+")
    return ["-tc", base, "-inc", increment or "0"]


def run_match(protocol, args, folder):
    """Runs one XBoard match; returns the paths of its game file and debug log."""
    os.makedirs(folder, exist_ok=True)
    pgn = os.path.join(folder, "games.pgn")
    debug = os.path.join(folder, "xboard.debug")
    settings = os.path.join(folder, "xboard.settings")
    for path in (pgn, debug):
        if os.path.exists(path):
            os.remove(path)
    engine = engine_wrapper(folder, args.engine)
    adapter = f"{UCI2WB} debug {'-x ' if protocol == 'ucci' else ''}{engine} {folder}"
    command = [
        "xvfb-run", "-a", "-s", "-screen 0 1024x768x24",
        XBOARD, "-settingsFile", settings, "-saveSettingsOnExit", "false",
        "-variant", "xiangqi",
        "-fcp", adapter, "-fd", folder, "-scp", args.opponent, "-sd", folder,
        "-matchGames", str(args.games), "-matchPause", "1000",
        "-sgf", pgn, "-debug", "-nameOfDebugFile", debug,
        "-testLegality", "true", "-testClaims", "true", "-checkMates", "true",
        "-autoCallFlag", "true", "-ponderNextMove", "false",
        "-popupExitMessage", "false", "-popupMoveErrors", "false",
        "-adjudicateDrawMoves", "150",
    ] + time_arguments(args.clock)
    if args.option:
        command += ["-firstOptions", ",".join(args.option)]
    environment = dict(os.environ, HOME=folder)
    subprocess.run(command, cwd=folder, env=environment, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=False)
    return pgn, debug


def read_games(pgn):
    """(tags, result comment) of every game in XBoard's game file."""
    if not os.path.exists(pgn):
        return []
    text = open(pgn, encoding="utf-8", errors="replace").read()
    games = []
    for block in re.split(r"\n(?=\[Event )", text):
        if not block.strip():
            continue
        tags = dict(re.findall(r'^\[(\w+) "([^"]*)"\]', block, re.M))
        ending = re.findall(r"\{([^{}]*)\}\s*(?:1-0|0-1|1/2-1/2|\*)\s*$", block.strip())
        # The moves: the text after the tags without comments, move numbers and the result.
        moves = re.sub(r"\{[^{}]*\}", " ", re.sub(r'^\[.*\]$', "", block, flags=re.M))
        plies = [w for w in moves.split()
                 if not re.fullmatch(r"\d+\.+|1-0|0-1|1/2-1/2|\*", w)]
        games.append((tags, ending[-1] if ending else "", len(plies)))
    return games


def summarise(protocol, games, debug):
    """Prints the match's figures; returns the number of games we forfeited."""
    wins = draws = losses = 0
    forfeits = []
    opponent_forfeits = opponent_claims = 0
    for number, (tags, ending, plies) in enumerate(games, 1):
        ours_red = "uci2wb" in tags.get("White", "").lower() or \
            "lanchuan" in tags.get("White", "").lower()
        result = tags.get("Result", "*")
        if result == "1/2-1/2":
            draws += 1
            outcome = "draw"
        elif (result == "1-0") == ours_red and result in ("1-0", "0-1"):
            wins += 1
            outcome = "win"
        elif result in ("1-0", "0-1"):
            losses += 1
            outcome = "loss"
        else:
            outcome = "unfinished"
        kind = next((name for name, pattern in FORFEIT_PATTERNS if pattern.search(ending)), None)
        if kind and outcome == "loss":
            forfeits.append((number, kind, ending))
        elif kind and outcome == "win":
            opponent_forfeits += 1
            opponent_claims += kind == "false claim"
        colour = "Red" if ours_red else "Black"
        print(f"  game {number}: ours as {colour}, {result} ({outcome}), {plies} plies: {ending}")
    claims = sum(1 for _, kind, _ in forfeits if kind == "false claim")
    # Claims XBoard refused are named in its debug log too; their count is shown as a check.
    logged = 0
    if os.path.exists(debug):
        log = open(debug, encoding="utf-8", errors="replace").read()
        logged = len(set(re.findall(r"GameEnds\(\d+, ([Ff]alse [^,]*claim[^,]*),", log)))
    print(f"{protocol}: {len(games)} games, +{wins} ={draws} -{losses} for lanchuan-engine; "
          f"{len(forfeits)} forfeits by it ({claims} false claims), {opponent_forfeits} by the "
          f"opponent ({opponent_claims} false claims); {logged} kinds of false claim in the log")
    for number, kind, ending in forfeits:
        print(f"  forfeit in game {number}: {kind} ({ending})")
    return len(forfeits)


def main():
    args = parse_args()
    for program in ("xvfb-run", XBOARD, UCI2WB, args.opponent):
        if not shutil.which(program):
            sys.exit(f"{program} is missing: apt-get install xboard uci2wb fairymax xvfb")
    out = os.path.abspath(args.out or tempfile.mkdtemp(prefix="xq-xboard-"))
    print(f"engine: {args.engine}; opponent: {args.opponent}; clock {args.clock}; "
          f"{args.games} games per protocol; files in {out}")
    bad = 0
    for protocol in args.protocols.split(","):
        pgn, debug = run_match(protocol, args, os.path.join(out, protocol))
        games = read_games(pgn)
        bad += summarise(protocol, games, debug)
        if len(games) < args.games:
            print(f"{protocol}: only {len(games)} of {args.games} games were saved")
            bad += 1
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()

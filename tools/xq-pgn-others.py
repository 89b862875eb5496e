#!/usr/bin/env python3
"""Measures whether other programs read what our export writes: every game of the given files is
read by our reader, written again by our writer (`xq-bench pgn convert`) in ICCS and in Chinese
notation, and read by
  - XBoard's PGN loader (ICCS): XBoard plays the loaded game as the opening of a one-game match
    between two stand-in engines that resign at once, and saves the final position
    (-savePositionFile); it runs under xvfb-run;
  - cchess (github.com/walker8088/cchess), a Python Xiangqi library, Game.read_from (Chinese and
    ICCS), from a copy of its src/ folder; its optional chardet import is stubbed, as every file
    it gets here is UTF-8;
  - xiangqi.js (github.com/lengyanyu258/xiangqi.js) load_pgn (ICCS; it has no Chinese reader),
    run by node from a copy of the library's source.
A game counts as read when the reader's final board is ours and it played as many plies (XBoard
and xiangqi.js: the side to move is ours).

    tools/xq-pgn-others.py --cchess PATH/src --xiangqi-js PATH/xiangqi.js
                           [--bench build/tools/xq-bench] [--no-xboard] FILE...
"""

import argparse
import os
import subprocess
import sys
import tempfile

RESIGNER = """#!/usr/bin/env python3
import sys
for line in sys.stdin:
    w = line.split()
    if not w:
        continue
    if w[0] == 'protover':
        print('feature myname="resigner" variants="xiangqi" sigint=0 sigterm=0 done=1', flush=True)
    elif w[0] == 'go' or w[0] == 'usermove' or (len(w[0]) == 4 and w[0][1].isdigit()):
        print('resign', flush=True)
    elif w[0] == 'quit':
        break
"""

NODE_READER = """
const fs = require('fs');
const { Xiangqi } = require(process.argv[1]);
const x = new Xiangqi();
const ok = x.load_pgn(fs.readFileSync(process.argv[2], 'utf8'));
// xiangqi.js names Red's turn r.
process.stdout.write(ok ? x.fen().replace(' r ', ' w ') : 'refused');
"""


CCHESS_READER = """
import sys
from cchess import Game
game = Game.read_from(sys.argv[1])
moves = list(game.iter_moves())
board = moves[-1].board_after() if moves else game.init_board
print(board.to_fen().split()[0], len(moves))
"""


def cchess_final(source, stub, pgn):
    """The board the library ends on and the plies it read, as "board plies"."""
    env = dict(os.environ, PYTHONPATH=source + os.pathsep + stub)
    out = subprocess.run([sys.executable, "-c", CCHESS_READER, pgn], capture_output=True,
                         text=True, env=env)
    lines = out.stdout.strip().splitlines()
    return lines[-1] if lines else "error: " + (out.stderr.strip().splitlines() or [""])[-1]


def board_and_plies(fen, plies):
    return fen.split()[0] + " " + str(plies)


def board_and_side(fen):
    fields = fen.split()
    return " ".join(fields[:2]) if len(fields) >= 2 else fen


def from_xboard(fen):
    """XBoard names the Knight H and the Elephant E."""
    table = str.maketrans("HEhe", "NBnb")
    fields = fen.split()
    return " ".join([fields[0].translate(table)] + fields[1:]) if fields else fen


def games_of(bench, path):
    out = subprocess.run([bench, "pgn", "replay", path], capture_output=True, text=True).stdout
    games = []
    for line in out.splitlines():
        fields = line.split("\t")
        if len(fields) == 4:
            games.append((int(fields[0]), fields[2], len(fields[3].split())))
    return games


def convert(bench, path, number, chinese, folder):
    args = [bench, "pgn", "convert", path, "--game", str(number)] + (["--chinese"] if chinese else [])
    text = subprocess.run(args, capture_output=True, text=True).stdout
    name = os.path.join(folder, "chinese.pgn" if chinese else "iccs.pgn")
    with open(name, "w", encoding="utf-8") as out:
        # XBoard reads the game as Xiangqi only with the variant named.
        out.write(text.replace("[Result ", '[Variant "xiangqi"]\n[Result ', 1))
    return name


def xboard_final(pgn, folder, resigner):
    fen_file = os.path.join(folder, "final.fen")
    if os.path.exists(fen_file):
        os.remove(fen_file)
    subprocess.run(["xvfb-run", "-a", "timeout", "-s", "TERM", "60", "/usr/games/xboard",
                    "-variant", "xiangqi", "-fcp", resigner, "-scp", resigner, "-mg", "1",
                    "-lgf", pgn, "-lgi", "1", "-spf", fen_file, "-popupExitMessage", "false",
                    "-xexit"], capture_output=True, cwd=folder)
    if not os.path.exists(fen_file):
        return "refused"
    with open(fen_file) as f:
        return from_xboard(f.read().strip())


def node_final(library, pgn):
    out = subprocess.run(["node", "-e", NODE_READER, library, pgn], capture_output=True, text=True)
    if out.stdout.strip():
        return out.stdout.strip()
    errors = out.stderr.strip().splitlines()
    return "error: " + (errors[-1] if errors else "")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", default="build/tools/xq-bench")
    parser.add_argument("--xiangqi-js", required=True)
    parser.add_argument("--cchess", required=True, help="the library's src folder")
    parser.add_argument("--no-xboard", action="store_true")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    bench = os.path.abspath(args.bench)
    library = os.path.abspath(args.xiangqi_js)
    source = os.path.abspath(args.cchess)
    readers = ["cchess Chinese", "cchess ICCS", "xiangqi.js ICCS"]
    readers += [] if args.no_xboard else ["XBoard ICCS"]
    read = {name: 0 for name in readers}
    total = 0
    with tempfile.TemporaryDirectory() as folder:
        resigner = os.path.join(folder, "resigner.py")
        with open(resigner, "w") as f:
            f.write(RESIGNER)
        os.chmod(resigner, 0o755)
        stub = os.path.join(folder, "stub")
        os.mkdir(stub)
        with open(os.path.join(stub, "chardet.py"), "w") as f:
            f.write("def detect(raw):\n    return {'encoding': 'gbk'}\n")
        for path in args.files:
            for number, ours, plies in games_of(bench, path):
                total += 1
                chinese = convert(bench, path, number, True, folder)
                iccs = convert(bench, path, number, False, folder)
                finals = {"cchess Chinese": cchess_final(source, stub, chinese),
                          "cchess ICCS": cchess_final(source, stub, iccs),
                          "xiangqi.js ICCS": node_final(library, iccs)}
                if not args.no_xboard:
                    finals["XBoard ICCS"] = xboard_final(iccs, folder, resigner)
                for name in readers:
                    expected = (board_and_plies(ours, plies) if name.startswith("cchess")
                                else board_and_side(ours))
                    if finals[name] == expected or board_and_side(finals[name]) == expected:
                        read[name] += 1
                    else:
                        print(f"  {name}: {os.path.basename(path)} game {number} ({plies} plies):"
                              f" {finals[name]} (ours {ours})", flush=True)
    for name in readers:
        print(f"{name}: {read[name]} of {total} games read to our final position")
    return 0


if __name__ == "__main__":
    sys.exit(main())

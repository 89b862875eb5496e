#!/usr/bin/env python3
"""lanchuan-engine driven by the Python `cchess` package's engine classes.

The `cchess` library (a Xiangqi board with ICCS moves and FEN, and `UciEngine` / `UcciEngine`
classes that run an engine process) is imported from a checkout given with --cchess (the folder
that holds its `cchess` package, e.g. the `src` folder of its repository); nothing of it is part
of this project. It needs `chardet` (Debian: python3-chardet).

What it checks, through the library's own calls only (`load`, `wait_for_ready`, `set_option`,
`go_from`, `get_action`, `quit`) and with the library's board as referee:
- both protocols start and report ready, and an option set the library's way is taken;
- self-play games, the UCI engine against the UCCI engine, colours alternated: every answer is a
  `bestmove` the library's board finds legal; games end at mate (the library's test), at the third
  occurrence of a position (the library sends a bare FEN, so the engine cannot see the game) or at
  --max-plies;
- a mated position is answered as the library expects of an engine with no move ('dead').

Example (the library from a checkout in /tmp/cchess):
    /usr/bin/python3 tools/xq-cchess-check.py --cchess /tmp/cchess/src --games 4 --depth 4
"""

import argparse
import os
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
START_FEN = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1"
MATED_FEN = "R2k5/1R7/9/9/9/9/9/9/9/4K4 b - - 0 1"  # Black is mated


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cchess", required=True, help="folder holding the cchess package")
    parser.add_argument("--engine", default=os.path.join(ROOT, "build", "uci", "lanchuan-engine"))
    parser.add_argument("--games", type=int, default=4)
    parser.add_argument("--depth", type=int, default=4)
    parser.add_argument("--max-plies", type=int, default=200)
    return parser.parse_args()


def answer(engine, fen, depth, timeout=60):
    """The library's final action for `go depth` from `fen`, and the info actions before it."""
    engine.go_from(fen, {"depth": depth})
    infos = []
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        action = engine.get_action()
        if action is None:
            time.sleep(0.005)
            continue
        if action.get("action") == "info_move":
            infos.append(action)
        elif action.get("action") in ("bestmove", "dead", "draw"):
            return action, infos
    raise RuntimeError(f"no answer within {timeout} s to {fen}")


def main():
    args = parse_args()
    sys.path.insert(0, os.path.abspath(args.cchess))
    import cchess  # pylint: disable=import-outside-toplevel

    figures = {"asked": 0, "legal": 0, "illegal": 0, "infos": 0, "scored infos": 0}
    engines = {}
    for name, kind in (("uci", cchess.UciEngine), ("ucci", cchess.UcciEngine)):
        engine = kind()
        loaded, error = engine.load(os.path.abspath(args.engine))
        if not loaded or not engine.wait_for_ready():
            sys.exit(f"{name}: the library could not start the engine ({error})")
        # The library sets options as UCI does, for UCCI engines too.
        engine.set_option("OwnBook" if name == "uci" else "usebook", "false")
        engines[name] = engine
        print(f"{name}: ready, id {engine.ids}, {len(engine.options)} options")

    # A mated side: the library's 'dead' action.
    for name, engine in engines.items():
        action, _ = answer(engine, MATED_FEN, args.depth)
        print(f"{name}: mated position answered '{action.get('action')}' ({action.get('raw_msg')})")
        figures.setdefault("mated answered dead", 0)
        figures["mated answered dead"] += action.get("action") == "dead"

    results = []
    for game in range(args.games):
        red, black = ("uci", "ucci") if game % 2 == 0 else ("ucci", "uci")
        board = cchess.ChessBoard(START_FEN)
        seen = {}
        ending = f"{args.max_plies} plies"
        for ply in range(args.max_plies):
            fen = board.to_full_fen()
            seen[board.to_fen()] = seen.get(board.to_fen(), 0) + 1
            if seen[board.to_fen()] >= 3:
                ending = "third occurrence"
                break
            if board.has_no_legal_moves():
                ending = ("Black" if ply % 2 == 0 else "Red") + " mates"
                break
            mover = red if ply % 2 == 0 else black
            action, infos = answer(engines[mover], fen, args.depth)
            figures["asked"] += 1
            figures["infos"] += len(infos)
            figures["scored infos"] += sum(1 for i in infos if "score" in i or "mate" in i)
            move = action.get("move")
            if action.get("action") != "bestmove" or not move:
                figures["illegal"] += 1
                ending = f"{mover} answered {action.get('raw_msg')!r}"
                break
            from_pos, to_pos = cchess.iccs2pos(move)
            if not board.is_valid_move(from_pos, to_pos) or board.is_checked_move(from_pos, to_pos):
                figures["illegal"] += 1
                ending = f"{mover} played {move}, illegal for the library"
                break
            figures["legal"] += 1
            board.move(from_pos, to_pos)  # the library's move passes the turn
        results.append(ending)
        print(f"game {game + 1}: Red {red}, Black {black}: {ply} plies, {ending}")

    for engine in engines.values():
        engine.quit()
    print("figures: " + ", ".join(f"{k} {v}" for k, v in figures.items()))
    sys.exit(1 if figures["illegal"] else 0)


if __name__ == "__main__":
    main()

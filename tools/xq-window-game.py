#!/usr/bin/env python3
"""A whole game in the real window against an added engine, played by the mouse.

Runs lanchuan-xiangqi under a virtual X display (start it with xvfb-run) with a fresh settings
folder whose engines.ini holds one added engine and whose chess.ini chooses it at a fixed time per
move. The script plays Red as a person would: it copies the position with Ctrl+C (复制局面),
reads the FEN from the clipboard, asks lanchuan-engine over UCI for a move when Red is to move and
clicks the move's two points on the board. Message boxes ("将军！" and the end of the game) are
saved as a screenshot and answered with Enter; the end-of-game box's Enter starts a new game, and
the opening array after moves were played ends the script, the last screenshot showing how the
game ended. It also ends when Red has no move, after --max-moves moves of Red, or when the board
stays unchanged for a minute. The moves are printed.

Needs xvfb, xdotool, xclip, imagemagick and python3-pil. Example:
    xvfb-run -a -s '-screen 0 1600x1400x24' python3 tools/xq-window-game.py \\
        --game build/ui/lanchuan-xiangqi --engine /usr/games/fairy-stockfish \\
        --player build/uci/lanchuan-engine --shot game.png
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time

from PIL import Image


START_BOARD = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR"


def run(*words, **kw):
    return subprocess.run(list(words), capture_output=True, text=True, **kw)


def window_ids(name):
    return run("xdotool", "search", "--name", name).stdout.split()


class Player:
    """lanchuan-engine over UCI, choosing Red's moves."""

    def __init__(self, path, data, movetime):
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1, cwd=data)
        self.movetime = movetime
        self.send("uci")
        self.wait("uciok")

    def send(self, line):
        self.proc.stdin.write(line + "\n")

    def wait(self, prefix):
        while True:
            line = self.proc.stdout.readline()
            if not line:
                sys.exit("lanchuan-engine ended")
            if line.startswith(prefix):
                return line.split()

    def move(self, fen):
        self.send(f"position fen {fen}")
        self.send(f"go movetime {self.movetime}")
        words = self.wait("bestmove")
        return words[1] if len(words) > 1 and words[1] not in ("(none)", "0000") else None


def board_origin(shot):
    """The top left of the board's green cells on a screenshot."""
    image = Image.open(shot).convert("RGB")
    pixels = image.load()
    width, height = image.size
    green = [(x, y) for x in range(0, width, 2) for y in range(0, height, 2)
             if pixels[x, y] == (0, 128, 0)]
    if not green:
        sys.exit("no board on screen")
    return min(x for x, _ in green), min(y for _, y in green)


def click(origin, square):
    x = origin[0] + 36 * (ord(square[0]) - ord("a")) + 18
    y = origin[1] + 36 * (9 - int(square[1])) + 18
    run("xdotool", "mousemove", str(x), str(y), "click", "1")
    time.sleep(0.3)


def current_fen(main):
    # Without a window manager the keyboard goes where the window system's focus is.
    run("xdotool", "windowfocus", "--sync", main)
    run("xdotool", "key", "ctrl+c")
    time.sleep(0.3)
    return run("xclip", "-selection", "clipboard", "-o").stdout.strip()


def answer_boxes(main, shot):
    """Enter on every window of the game but the main one (its message boxes), each seen first."""
    answered = False
    for wid in window_ids("^中国象棋$"):
        if wid != main:
            run("import", "-window", "root", shot)
            run("xdotool", "windowfocus", "--sync", wid)
            run("xdotool", "key", "Return")
            answered = True
    return answered


def settings(home, engine, seconds):
    config = os.path.join(home, "config", "lanchuan-xiangqi")
    os.makedirs(config)
    with open(os.path.join(config, "engines.ini"), "w") as f:
        f.write(f"[Fairy-Stockfish]\ncommand={engine}\nprotocol=auto\nranks=auto\n")
    with open(os.path.join(config, "chess.ini"), "w") as f:
        f.write(f"[CHESS]\nLevel=0\nAverageTime={seconds}\nEngine=2\n"
                "AddedEngine=\"Fairy-Stockfish\"\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--engine", default="/usr/games/fairy-stockfish")
    parser.add_argument("--player", required=True)
    parser.add_argument("--data", default=os.path.join(os.path.dirname(__file__), "..", "data"))
    parser.add_argument("--seconds", default="1.0", help="the added engine's time a move")
    parser.add_argument("--movetime", type=int, default=300, help="Red's time a move, ms")
    parser.add_argument("--max-moves", type=int, default=150)
    parser.add_argument("--shot", required=True)
    args = parser.parse_args()

    home = tempfile.mkdtemp()
    settings(home, args.engine, args.seconds)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_STATE_HOME=os.path.join(home, "state"))
    game = subprocess.Popen([os.path.abspath(args.game)], env=env, cwd=home)
    for _ in range(100):
        time.sleep(0.2)
        if window_ids("澜川中国象棋"):
            break
    time.sleep(1.5)
    main_window = window_ids("澜川中国象棋")[0]
    shot = os.path.abspath(args.shot)
    run("import", "-window", "root", shot)
    origin = board_origin(shot)
    player = Player(os.path.abspath(args.player), os.path.abspath(args.data), args.movetime)

    moves, last, unchanged_since, ending = [], None, time.time(), "move limit"
    while len(moves) < args.max_moves:
        if answer_boxes(main_window, shot):
            time.sleep(1.0)
        fen = current_fen(main_window)
        if moves and fen.split()[0] == START_BOARD:
            ending = "the end-of-game box (its screenshot is the last one)"
            break
        if fen != last:
            last, unchanged_since = fen, time.time()
        elif time.time() - unchanged_since > 60:
            ending = "the board did not change for a minute"
            break
        if " w " not in fen:
            time.sleep(0.5)  # the added engine thinks
            continue
        move = player.move(fen)
        if move is None:
            ending = "Red has no move"
            break
        click(origin, move[:2])
        click(origin, move[2:])
        moves.append(move)
        # While the added engine thinks on its move the window drops Ctrl+C, so the clipboard keeps
        # the old position until the engine has answered.
        while current_fen(main_window) == fen and time.time() - unchanged_since < 60:
            answer_boxes(main_window, shot)
            time.sleep(0.5)
    if not ending.startswith("the end-of-game box"):
        time.sleep(2)
        run("import", "-window", "root", shot)
    print(f"{len(moves)} moves of Red clicked; ended: {ending}")
    print("last position:", current_fen(main_window))
    print(" ".join(moves))
    player.send("quit")
    game.terminate()
    game.wait(10)


if __name__ == "__main__":
    main()

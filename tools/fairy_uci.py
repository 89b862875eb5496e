"""Fairy-Stockfish over UCI, set to Xiangqi: the part the referee scripts share."""
import subprocess


def to_uci(iccs):
    # ICCS counts ranks from 0, UCI for Xiangqi from 1.
    return iccs[0] + str(int(iccs[1]) + 1) + iccs[2] + str(int(iccs[3]) + 1)


class FairyStockfish:
    def __init__(self, engine, options=()):
        self.process = subprocess.Popen([engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.send("uci")
        self.wait_for("uciok")
        self.send("setoption name UCI_Variant value xiangqi")
        for name, value in options:
            self.send(f"setoption name {name} value {value}")
        self.send("isready")
        self.wait_for("readyok")

    def send(self, line):
        self.process.stdin.write(line + "\n")

    def wait_for(self, word):
        for line in self.process.stdout:
            if line.startswith(word):
                return line.strip()
        raise RuntimeError("the referee stopped")

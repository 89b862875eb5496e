#!/bin/bash
# Stops the game with a signal while its engine thinks, as a logout or `kill` would, and shows what
# it left: its exit code, chess.ini and the log.
#   tools/xq-stop-check.sh GAME [SIGNAL]     (SIGNAL: TERM, HUP or INT; TERM by default)
# The game runs under a virtual X display at the unlimited level with settings and log in a
# temporary home. The user's h2e2 is clicked on the board (found on screen by its green cells);
# the engine answers and goes on thinking on the user's time until the signal, sent 2 s later.
# Needs xvfb, xauth, xdotool, imagemagick and python3-pil.
set -u
game=$(realpath "${1:?usage: xq-stop-check.sh GAME [SIGNAL]}")
signal=${2:-TERM}
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config/lanchuan-xiangqi"
printf '[CHESS]\nLevel=3\n' >"$home/config/lanchuan-xiangqi/chess.ini"
HOME=$home XDG_CONFIG_HOME=$home/config XDG_STATE_HOME=$home/state \
timeout 120 xvfb-run -a -s '-screen 0 1600x1400x24' bash -c '
  game=$0 home=$1 signal=$2
  "$game" & pid=$!
  for i in $(seq 1 50); do sleep 0.2; xdotool search --name "澜川中国象棋" >/dev/null 2>&1 && break; done
  sleep 1
  import -window root "$home/screen.png" 2>/dev/null
  /usr/bin/python3 - "$home/screen.png" <<PY
import sys, subprocess, time
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB"); px = im.load(); W, H = im.size
g = [(x, y) for x in range(0, W, 2) for y in range(0, H, 2) if px[x, y] == (0, 128, 0)]
if not g: sys.exit("no green board cells on screen")
left, top = min(x for x, _ in g), min(y for _, y in g)
for f, r in ((7, 2), (4, 2)):
    x, y = left + 36 * f + 18, top + 36 * (9 - r) + 18
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"]); time.sleep(0.5)
PY
  sleep 2
  kill -s "$signal" $pid
  wait $pid
  echo "exit code $?"' "$game" "$home" "$signal"
echo "--- chess.ini"
cat "$home/config/lanchuan-xiangqi/chess.ini"
echo "--- Chess.log"
iconv -f GBK -t UTF-8 "$home/state/lanchuan-xiangqi/Chess.log"

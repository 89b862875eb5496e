#!/usr/bin/env bash
# Installs the Debian package made by scripts/package-deb.sh on a bare Debian 12 root and checks
# that it works there: apt-get installs it with its dependencies, the engine answers `uci`, the
# game starts on Qt's offscreen platform, runs until SIGTERM closes it as "退出" does (chess.ini
# written, the log begun), and the launcher entry and the file type of saved games are in place.
# The root comes from fresh-debian (FRESH_DEBIAN, default: fresh-debian on the PATH), which runs
# a command in a throw-away copy of a debootstrapped Debian 12 on a git checkout: the package is
# committed to a scratch repository for it. Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
fresh_debian=${FRESH_DEBIAN:-fresh-debian}
deb=$(ls build-deb/lanchuan-xiangqi_*.deb | tail -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$deb" "$scratch/"
cat >"$scratch/check.sh" <<'CHECK'
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq ./lanchuan-xiangqi_*.deb >/tmp/apt.log 2>&1 || { tail -n 30 /tmp/apt.log; exit 1; }
dpkg -s lanchuan-xiangqi | grep -E '^(Status|Version|Depends|Recommends)'
printf 'uci\nposition startpos\ngo depth 3\nquit\n' | lanchuan-engine | grep -E '^(uciok|bestmove)'
cd /tmp
status=0
QT_QPA_PLATFORM=offscreen timeout -s TERM 8 lanchuan-xiangqi || status=$?
[ "$status" -eq 124 ] || { echo "the game ended by itself ($status)"; exit 1; }
grep -q '^Level=' /root/.config/lanchuan-xiangqi/chess.ini
test -s /root/.local/state/lanchuan-xiangqi/Chess.log
grep -q 'lanchuan-xiangqi-game:\*\.chs' /usr/share/mime/globs2
grep -q '^Exec=lanchuan-xiangqi %f' /usr/share/applications/io.github.lanchuan_xiangqi.LanchuanXiangqi.desktop
echo "package checked"
CHECK
git -C "$scratch" init -q
git -C "$scratch" add .
git -C "$scratch" -c user.name=check -c user.email=check@localhost commit -qm "package to check"
"$fresh_debian" run "$scratch" 'bash check.sh'

#!/usr/bin/env bash
# Installs what is missing, builds a release build and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DXQ_BUILD_TESTS=OFF
cmake --build build
exec ./build/ui/lanchuan-xiangqi

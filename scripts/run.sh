#!/usr/bin/env bash
# Installs what is missing, builds a release build and runs it. Until the window exists this runs
# the move-generator benchmark: perft from the opening position.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DXQ_BUILD_TESTS=OFF
cmake --build build
exec ./build/tools/xq-bench perft 5

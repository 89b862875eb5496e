#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# every test suite through CTest; then builds the fuzz targets with clang and runs each for a few
# seconds on its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

# fairy-stockfish, sjaakii and fairymax (with MaxQi): other programs' engines, which the tests of
# the engine host, the match runner and the added engines play against over UCI and XBoard.
bash scripts/install-deps.sh fairy-stockfish sjaakii fairymax
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXQ_SANITIZE=ON
cmake --build build-test
(cd build-test && ctest --output-on-failure -j "$(nproc)")

# The readers under libFuzzer: a crash, a hang, a leak or a wrong result fails the run.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DXQ_FUZZ=ON -DXQ_BUILD_UI=OFF -DXQ_BUILD_TESTS=OFF
cmake --build build-fuzz --target xq_fuzzers
bash tests/fuzz/run.sh build-fuzz -- -max_total_time=5

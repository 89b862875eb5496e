#!/usr/bin/env bash
# Builds the Debian package of the game: installs what is missing (what the build needs, and
# dpkg-dev and file for the package's library dependencies), makes a release build for the prefix
# /usr in build-deb/ and runs `cpack -G DEB` there. The package is
# build-deb/lanchuan-xiangqi_<version>_<architecture>.deb; install it with
#   sudo apt-get install ./build-deb/lanchuan-xiangqi_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh dpkg-dev file
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DXQ_BUILD_TESTS=OFF \
      -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build-deb
(cd build-deb && cpack -G DEB)
ls build-deb/lanchuan-xiangqi_*.deb

#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only when some are missing.
# `apt-get update` runs only then, so a machine that has everything is left alone.
set -euo pipefail

# fonts-arphic-ukai: the brush hand of the piece characters drawn by tools/artgen.
# qt6-base-dev and fonts-wqy-microhei: the window and its dialogs, with a CJK font for their texts.
# qt6-translations-l10n: Qt's own texts (file dialogs, message boxes) in the user's language.
# qt6-tools-dev and qt6-l10n-tools: CMake's Qt6LinguistTools with lupdate and lrelease, which turn
# translations/*.ts into the .qm files compiled into the program.
# desktop-file-utils, appstream, shared-mime-info, libxml2-utils, libglib2.0-bin: the installed
# tree's check (the launcher entry, the metadata and the file type of saved games).
# clang and libclang-rt-14-dev: the fuzz targets (libFuzzer and clang's sanitizer runtimes).
packages=(g++ cmake ninja-build libgtest-dev clang-format fonts-arphic-ukai desktop-file-utils
          appstream qt6-base-dev fonts-wqy-microhei qt6-translations-l10n qt6-tools-dev
          qt6-l10n-tools clang libclang-rt-14-dev
          shared-mime-info libxml2-utils libglib2.0-bin)
# Further packages a caller needs (the Debian package's script: dpkg-dev and file).
packages+=("$@")

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$pkg")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

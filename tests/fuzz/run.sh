#!/usr/bin/env bash
# Runs every fuzz target of a build (cmake -DXQ_FUZZ=ON) on its committed seed corpus. New inputs
# and any crashing input go to a scratch folder, so the committed corpus stays as it is.
# Usage: tests/fuzz/run.sh BUILD_DIR [TARGET...] [-- LIBFUZZER_OPTION...]
# Without options each target runs for 5 seconds. Exits non-zero at the first target that finds a
# crash, a hang, a leak or a wrong result.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"; shift
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ $# -gt 0 ] && shift
options=("$@")
[ ${#options[@]} -eq 0 ] && options=(-max_total_time=5)
[ ${#targets[@]} -eq 0 ] && targets=(pgn movetext fen gamefile settings book uci engine)

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target"
    echo "== fuzz_$target"
    # -timeout: an input that takes seconds is a hang; a game file is 998 bytes, one more tests
    # the size check.
    extra=(-timeout=10)
    [ "$target" = gamefile ] && extra+=(-max_len=999)
    if ! "$build/tests/fuzz/fuzz_$target" "${extra[@]}" -artifact_prefix="$scratch/$target/" \
            "${options[@]}" "$scratch/$target" "$here/corpus/$target" 2>"$scratch/$target.log"; then
        tail -n 40 "$scratch/$target.log"
        for crash in "$scratch/$target"/{crash,timeout,leak,oom}-*; do
            [ -e "$crash" ] || continue
            echo "-- input $crash:"
            od -c "$crash" | head -n 20
        done
        exit 1
    fi
    # The last status line (executions, edges covered, corpus) and -print_final_stats=1's figures.
    grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$scratch/$target.log" | tail -n 1 || true
    grep -E '^(Done|stat::)' "$scratch/$target.log" || true
done

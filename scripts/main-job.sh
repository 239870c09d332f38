#!/bin/bash
# The main job: on a fresh Debian machine, installs what the build needs,
# builds the plugin module and the command-line host natively, then lists,
# tests and extracts the shipped sample file with them.
#
#   scripts/main-job.sh [FOLDER]    extracts into FOLDER (default:
#                                   build/main-job/extracted)
# Environment: ZANTOR_JOBS parallel build jobs (default 2).
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$ROOT/build/main-job
OUT=${1:-$BUILD/extracted}
SAMPLE=$ROOT/samples/zantor-sample.bin

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
if [ ${#need[@]} -gt 0 ]; then
    sudo=
    [ "$(id -u)" = 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
fi

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DZANTOR_TESTS=OFF >/dev/null
cmake --build "$BUILD" --target zantor -j"${ZANTOR_JOBS:-2}" >/dev/null
ZANTOR=$BUILD/src/zantor

"$ZANTOR" probe "$SAMPLE"
"$ZANTOR" list "$SAMPLE"
"$ZANTOR" test "$SAMPLE"
rm -rf "$OUT"
"$ZANTOR" extract "$SAMPLE" "$OUT"
echo "extracted into $OUT:"
ls -l "$OUT"
# The archive found inside the sample opens in turn, member by member.
for archive in "$OUT"/*.hrp; do
    "$ZANTOR" list "$archive"
done

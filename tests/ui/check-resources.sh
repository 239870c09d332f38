#!/bin/bash
# Checks that both plugin modules carry the dialog resources 101 and 102
# exactly as src/config/dialogs.rc gives them: each module's dialogs,
# decompiled with MinGW windres, must equal the script's own compilation.
#
# Usage: tests/ui/check-resources.sh [W64_BUILD_DIR [W32_BUILD_DIR]]
#        (defaults: build/ci-w64 and build/ci-w32)
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
W64=${1:-$ROOT/build/ci-w64}
W32=${2:-$ROOT/build/ci-w32}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT

# dialogs FILE: the dialog resources of a decompiled resource listing, without
# blank lines (other resources, such as the version, follow them)
dialogs() { awk '/^\/\* Type: / { keep = ($3 == "dialog") } keep && NF' "$1"; }

# Through an object file, as the build links it (no 16-bit memory flags).
x86_64-w64-mingw32-windres -I "$ROOT/src/config" -i "$ROOT/src/config/dialogs.rc" -O coff -o "$TMP/script.o" &&
    x86_64-w64-mingw32-windres -i "$TMP/script.o" -O rc -o "$TMP/script.rc" || exit 1
dialogs "$TMP/script.rc" >"$TMP/expected"
for d in 101 102; do
    grep -q "^$d DIALOGEX" "$TMP/expected" || { echo "FAIL dialogs.rc has no dialog $d"; exit 1; }
done

failed=0
check() {
    local windres=$1 module=$2 name
    name=$(basename "$module")
    if [ ! -f "$module" ]; then
        echo "FAIL $module is missing"
        failed=1
        return
    fi
    if ! "$windres" -i "$module" -O rc -o "$TMP/$name.rc" 2>"$TMP/$name.err"; then
        echo "FAIL $module: windres cannot read its resources: $(cat "$TMP/$name.err")"
        failed=1
        return
    fi
    if dialogs "$TMP/$name.rc" | diff -u "$TMP/expected" - >"$TMP/$name.diff"; then
        echo "PASS $module carries dialogs 101 and 102 as dialogs.rc gives them"
    else
        echo "FAIL $module: dialog resources differ from dialogs.rc"
        cat "$TMP/$name.diff"
        failed=1
    fi
}
check x86_64-w64-mingw32-windres "$W64/src/Zantor.wcx64"
check i686-w64-mingw32-windres "$W32/src/Zantor.wcx"
exit $failed

#!/bin/bash
# Makes the plugin package Zantor-VERSION.zip from the two Windows builds:
# Zantor.wcx (x86), Zantor.wcx64 (x86-64), pluginst.inf, readme.txt and
# LICENSE.txt, all at the top of the zip, text with Windows line breaks. The
# file manager installs the plugin when the user opens the zip. VERSION is the
# project version of the builds, which must agree; the modules are brought up
# to date first.
#
# Usage: scripts/package-zip.sh W64_BUILD W32_BUILD [OUT_DIR]   (OUT_DIR default: build/packages)
# Prints the path of the zip.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 W64_BUILD W32_BUILD [OUT_DIR]" >&2; exit 2; }
w64=$(cd "$1" && pwd)
w32=$(cd "$2" && pwd)
out=${3:-$ROOT/build/packages}

version_of() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }
version=$(version_of "$w64")
if [ -z "$version" ] || [ "$version" != "$(version_of "$w32")" ]; then
    echo "the builds $w64 and $w32 must be configured from one project version" >&2
    exit 1
fi
cmake --build "$w64" --target Zantor.wcx64 -j"${ZANTOR_JOBS:-2}" >/dev/null
cmake --build "$w32" --target Zantor.wcx -j"${ZANTOR_JOBS:-2}" >/dev/null

mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$w64/src/Zantor.wcx64" "$w32/src/Zantor.wcx" "$stage/"
crlf() { sed -e "s/@PROJECT_VERSION@/$version/g" -e 's/\r*$/\r/' "$1" >"$2"; }
crlf "$ROOT/packaging/pluginst.inf.in" "$stage/pluginst.inf"
crlf "$ROOT/packaging/readme.txt.in" "$stage/readme.txt"
crlf "$ROOT/LICENSE" "$stage/LICENSE.txt"
zip="$out/Zantor-$version.zip"
rm -f "$zip"
(cd "$stage" && zip -q -X "$zip" Zantor.wcx Zantor.wcx64 pluginst.inf readme.txt LICENSE.txt)
echo "$zip"

#!/bin/bash
# Integration tests of the command-line host against the plugin module on
# every platform: the same test files, the same expected results
# (tests/integration/expected/*.txt), byte-exact extracted files.
#
#   tests/integration/run.sh [--update] --native BUILD [--w64 BUILD] [--w32 BUILD]
#
# BUILD folders are configured builds of this project: --native a Linux build
# (targets zantor and zantor_fixtures are built here), --w64 / --w32 MinGW
# builds (target zantor). The x86-64 run uses /usr/lib/wine/wine64 with a
# prefix in its build folder; the x86 run boots the 32-bit Wine machine of
# ../shared/vm32 once. --update rewrites the expected files from the native
# run. Prints "PASS platform" or "FAIL platform" per platform and exits
# non-zero when any failed; skips everything (status 0) without the corpus.
# Where the Windows builds list differently by design (DOS date-times where
# the Linux module lists Unix times), expected/windows/ holds their results;
# --update with --w64 rewrites those from the x86-64 run. Results named
# *-native.txt come from the Linux run only.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
VM32=${VM32:-$ROOT/../shared/vm32/vm32.sh}
JOBS=${ZANTOR_JOBS:-2}
update=0
native= w64= w32=
while [ $# -gt 0 ]; do
    case $1 in
        --update) update=1 ;;
        --native) native=$(cd "$2" && pwd); shift ;;
        --w64) w64=$(cd "$2" && pwd); shift ;;
        --w32) w32=$(cd "$2" && pwd); shift ;;
        *) echo "usage: $0 [--update] --native BUILD [--w64 BUILD] [--w32 BUILD]" >&2; exit 2 ;;
    esac
    shift
done
[ -n "$native" ] || { echo "run.sh: --native BUILD is required" >&2; exit 2; }

failed=0
fail() { echo "FAIL $1${2:+: $2}"; failed=1; }

build() {
    cmake --build "$1" --target "${@:2}" -j"$JOBS" >"$1/itest-build.log" 2>&1 ||
        { tail -20 "$1/itest-build.log"; return 1; }
}

# stage BUILD EXE MODULE: a folder with the host, the module and the test
# files, all a platform run needs (the 32-bit machine sees only this folder).
stage() {
    local dir=$1/itest
    rm -rf "$dir"
    mkdir -p "$dir/bin"
    cp "$1/src/$2" "$1/src/$3" "$dir/bin/"
    cp -rp "$FIXTURES/files" "$FIXTURES/config" "$dir/"
    cp "$HERE/check.sh" "$dir/"
    echo "$dir"
}

# expected NAME PLATFORM: the file holding the expected result.
expected() {
    if [ "$2" != native ] && [ -f "$HERE/expected/windows/$1" ]; then
        echo "$HERE/expected/windows/$1"
    else
        echo "$HERE/expected/$1"
    fi
}

# compare PLATFORM DIR: the run's results against the expected ones.
compare() {
    local out=$2/out problems=0
    for want in "$HERE"/expected/*.txt; do
        [ "$1" = native ] && [ "${want%-windows.txt}" != "$want" ] && continue
        [ "$1" != native ] && [ "${want%-native.txt}" != "$want" ] && continue
        local got=$out/$(basename "$want")
        want=$(expected "$(basename "$want")" "$1")
        if ! diff -u "$want" "$got" >"$got.diff" 2>&1; then
            problems=$((problems + 1))
            [ $problems -le 3 ] && head -30 "$got.diff"
        else
            rm -f "$got.diff"
        fi
    done
    for got in "$out"/*.txt; do
        [ -f "$HERE/expected/$(basename "$got")" ] || { echo "unexpected result $got"; problems=$((problems + 1)); }
    done
    if [ -s "$out/repeated.log" ]; then
        echo "NOTE $1: $(wc -l <"$out/repeated.log") run(s) repeated after Wine started nothing (see $out/repeated.log)"
    fi
    if [ $problems -eq 0 ]; then echo "PASS $1"; else fail "$1" "$problems result files differ (see $out/*.diff)"; fi
}

build "$native" zantor zantor_fixtures zantor_close_failure || { fail native "build"; exit 1; }
FIXTURES=$native/itest-fixtures
rm -rf "$FIXTURES"
"$native/tests/integration/zantor_fixtures" "$FIXTURES"
case $? in
    0) ;;
    2) echo "SKIP integration tests: the corpus folder is absent"; exit 0 ;;
    *) fail native "fixtures"; exit 1 ;;
esac
# Fixed times: every platform lists the same date-times. One file predates
# what DOS dates can hold.
TZ=UTC touch -d '2021-03-04 05:06:08' "$FIXTURES"/files/*
TZ=UTC touch -d '1979-06-01 12:00:00' "$FIXTURES/files/old.bin"

dir=$(stage "$native" zantor Zantor.wcx)
cp "$native/tests/integration/zantor_close_failure.so" "$dir/bin/"
(cd "$dir" && bash check.sh native)
if [ $update -eq 1 ]; then
    find "$HERE/expected" -name '*.txt' ! -name '*-windows.txt' -delete
    cp "$dir"/out/*.txt "$HERE/expected/"
    echo "expected results rewritten from the native run"
fi
compare native "$dir"

if [ -n "$w64" ]; then
    if build "$w64" zantor; then
        dir=$(stage "$w64" zantor.exe Zantor.wcx64)
        export WINEPREFIX=$w64-itest-wine WINEDEBUG=-all  # outside the build, which the static checks scan
        mkdir -p "$WINEPREFIX"
        /usr/lib/wine/wineserver -p >/dev/null 2>&1
        (cd "$dir" && RUNNER=/usr/lib/wine/wine64 bash check.sh w64) >"$dir/check.log" 2>&1
        /usr/lib/wine/wineserver -k >/dev/null 2>&1
        if [ $update -eq 1 ]; then
            rm -rf "$HERE/expected/windows"
            mkdir -p "$HERE/expected/windows"
            for got in "$dir"/out/*.txt; do
                cmp -s "$got" "$HERE/expected/$(basename "$got")" || cp "$got" "$HERE/expected/windows/"
            done
            echo "Windows results rewritten from the x86-64 run"
        fi
        compare w64 "$dir"
    else
        fail w64 build
    fi
fi

if [ -n "$w32" ]; then
    if build "$w32" zantor; then
        dir=$(stage "$w32" zantor.exe Zantor.wcx)
        "$VM32" run -s "$dir" -t 1800 -- \
            'wineserver -p; RUNNER=wine bash check.sh w32; rc=$?; wineserver -k; exit $rc' >"$dir/check.log" 2>&1 ||
            echo "the 32-bit machine ended with status $? (see $dir/check.log)"
        compare w32 "$dir"
    else
        fail w32 build
    fi
fi
exit $failed

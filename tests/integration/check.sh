#!/bin/bash
# check.sh PLATFORM: runs the host over the test files of the folder it is
# started in and writes one result file per case into out/.
#   PLATFORM  native (zantor + Zantor.wcx), w64 (zantor.exe + Zantor.wcx64)
#             or w32 (zantor.exe + Zantor.wcx)
#   RUNNER    the program that starts bin/zantor (wine64, wine; empty natively)
# The folder holds bin/ (the host and the module), files/ and config/ (from
# zantor_fixtures). Result files hold the command, its standard output, its
# standard error (box lines without their "box: " mark, no carriage returns)
# and its exit status; extractions add one line per file written. The host
# calls the plugin's Unicode functions; cases named ansi-* pass --ansi.
# Results named *-windows.txt come from the Windows platforms only, those
# named *-native.txt from the Linux run only.
set -u
PLATFORM=$1
RUNNER=${RUNNER:-}
# UTF-8: Wine takes the arguments' and file names' bytes as such.
export TZ=UTC LC_ALL=C.UTF-8
case $PLATFORM in
    native) EXE=bin/zantor; MODULE=Zantor.wcx; DRIVE= ;;
    w64) EXE=bin/zantor.exe; MODULE=Zantor.wcx64; DRIVE=Z: ;;
    w32) EXE=bin/zantor.exe; MODULE=Zantor.wcx; DRIVE=Z: ;;
    *) echo "unknown platform $PLATFORM" >&2; exit 2 ;;
esac
OUT=out
rm -rf "$OUT" plugins long unicode
mkdir -p "$OUT"

# One plugin copy per configuration, with its Zantor.cfg beside it.
for dir in config/*/; do
    name=$(basename "$dir")
    mkdir -p "plugins/$name"
    cp "bin/$MODULE" "plugins/$name/"
    if [ -f "$dir/Zantor.cfg" ]; then cp "$dir/Zantor.cfg" "plugins/$name/"; fi
done

MASK=
# The host never fails without a word, but Wine, rarely and mostly under
# load, ends a program it could not start with status 1 and nothing printed
# (its reason goes to the debug channel, which is off). Such a run is
# repeated once and listed in out/repeated.log.
host() {
    local attempt rc
    for attempt in 1 2; do
        timeout 120 $RUNNER "$EXE" --capture-boxes "$@" >"$OUT/host.stdout" 2>"$OUT/host.stderr"
        rc=$?
        [ $rc = 0 ] || [ $rc = 124 ] || [ -z "$RUNNER" ] || [ -s "$OUT/host.stdout" ] ||
            [ -s "$OUT/host.stderr" ] || [ $attempt = 2 ] && break
        echo "zantor $* (status $rc, no output)" >>"$OUT/repeated.log"
    done
    cat "$OUT/host.stdout"
    cat "$OUT/host.stderr" >&2
    rm -f "$OUT/host.stdout" "$OUT/host.stderr"
    return $rc
}
normalize() {
    tr -d '\r' | sed -e 's/^box: //' ${MASK:+-e "s#$MASK#LONGPATH#g"}
}

# run_case NAME CONFIG ARGS...
run_case() {
    local name=$1 config=$2
    shift 2
    host --plugin "plugins/$config/$MODULE" "$@" >"$OUT/$name.stdout" 2>"$OUT/$name.stderr"
    local rc=$?
    {
        echo "\$ zantor [$config] $*" | normalize
        normalize <"$OUT/$name.stdout"
        echo "--- stderr"
        normalize <"$OUT/$name.stderr"
        echo "--- exit $rc"
    } >"$OUT/$name.txt"
    rm -f "$OUT/$name.stdout" "$OUT/$name.stderr"
}

# Folders and files below $1: kind, size, last-write time, hash, name.
describe_tree() {
    (cd "$1" && find . -mindepth 1 | sort | while IFS= read -r f; do
        if [ -d "$f" ]; then
            echo "dir  $f"
        else
            echo "file $(stat -c %s "$f") $(date -u -r "$f" '+%F %T') $(sha256sum <"$f" | cut -c1-16) $f"
        fi
    done)
}

# extract_case NAME CONFIG FILE: extracts into a fresh folder.
extract_case() {
    local name=$1 config=$2 file=$3 dir=$OUT/x-$1
    mkdir -p "$dir"
    run_case "$name" "$config" extract "$file" "$dir"
    { echo "--- files"; describe_tree "$dir"; } >>"$OUT/$name.txt"
}

# A warm-up run, so that a new Wine prefix says nothing during the cases.
host --plugin "plugins/default/$MODULE" probe files/empty.bin >/dev/null 2>&1

# Recognition by content: never a box.
run_case probe default probe files/*

for f in files/*; do
    base=$(basename "$f" | tr '$' '_')
    run_case "list-$base" default list "$f"
    run_case "test-$base" default test "$f"
    extract_case "extract-$base" default "$f"
done
run_case json-archive default --json test files/archive.hrp

for config in numbering no-numbering drelmo hobeta no-smart-length; do
    for f in archive.hrp blocks.bin; do
        run_case "list-$config-$f" "$config" list "files/$f"
        extract_case "extract-$config-$f" "$config" "files/$f"
    done
done
run_case list-max-entries max-entries list files/many.bin
extract_case extract-max-entries max-entries files/many.bin

# Extraction onto existing files: kept without --overwrite; replaced with
# it, except a read-only one; an entry that fails to unpack leaves its file
# as it was. No temporary file may stay behind.
dir=$OUT/x-existing
host --plugin "plugins/default/$MODULE" extract files/blocks.bin "$dir" >/dev/null 2>&1
for f in "$dir"/*; do echo kept >"$f"; touch -d "2020-01-01 00:00:00" "$f"; done
run_case extract-existing default extract files/blocks.bin "$dir"
{ echo "--- files"; describe_tree "$dir"; } >>"$OUT/extract-existing.txt"
chmod a-w "$dir/00700 HR"
run_case extract-overwrite default --overwrite extract files/blocks.bin "$dir"
{ echo "--- files"; describe_tree "$dir"; } >>"$OUT/extract-overwrite.txt"
chmod u+w "$dir/00700 HR"
dir=$OUT/x-overwrite-damaged
mkdir -p "$dir"
echo kept >"$dir/0100 hr21"
touch -d "2020-01-01 00:00:00" "$dir/0100 hr21"
run_case extract-overwrite-damaged default --overwrite extract files/damaged-block.bin "$dir"
{ echo "--- files"; describe_tree "$dir"; } >>"$OUT/extract-overwrite-damaged.txt"

# Archive paths of 259 and 260 characters as the plugin sees them (full,
# with the drive on Windows).
long_path() {
    local want=$(($1 - ${#DRIVE} - ${#PWD} - 1)) head="long/$1/"
    local dirs=$head
    while [ $((want - ${#dirs})) -gt 120 ]; do dirs+=$(printf 'd%.0s' {1..100})/; done
    local rest=$((want - ${#dirs}))
    mkdir -p "$dirs"
    local name=$dirs$(printf 'f%.0s' $(seq 1 $((rest - 4)))).bin
    cp -p files/hobeta-273.\$C "$name"
    echo "$name"
}
# Through the ANSI functions 259 characters at most, through the Unicode
# ones 1023.
for n in 259 260 1023 1024; do
    MASK=$(long_path $n)
    run_case "list-path-$n" default list "$MASK"
    [ $n = 260 ] && run_case "ansi-list-path-$n" default --ansi list "$MASK"
    MASK=
done

# The ANSI functions as the host used them before the Unicode ones.
run_case ansi-probe default --ansi probe files/*
dir=$OUT/x-ansi-extract-blocks.bin
mkdir -p "$dir"
run_case ansi-extract-blocks.bin default --ansi extract files/blocks.bin "$dir"
{ echo "--- files"; describe_tree "$dir"; } >>"$OUT/ansi-extract-blocks.bin.txt"
run_case ansi-test-archive-bad-checksum.hrp default --ansi test files/archive-bad-checksum.hrp

# A folder named outside any ANSI code page: the Unicode functions list and
# extract as from an ASCII name; the ANSI ones cannot open it on Windows.
unicode=unicode/Ключ-鍵
mkdir -p "$unicode" "$OUT/x-unicode-Ключ-鍵"
cp -p files/blocks.bin "$unicode/"
run_case unicode-probe default probe "$unicode/blocks.bin"
run_case unicode-list default list "$unicode/blocks.bin"
run_case unicode-extract default extract "$unicode/blocks.bin" "$OUT/x-unicode-Ключ-鍵"
{ echo "--- files"; describe_tree "$OUT/x-unicode-Ключ-鍵"; } >>"$OUT/unicode-extract.txt"
[ "$PLATFORM" = native ] || run_case unicode-ansi-list-windows default --ansi list "$unicode/blocks.bin"

if [ "$PLATFORM" = native ]; then
    # A Linux name that is not valid UTF-8: the host passes its bytes
    # through the ANSI functions.
    odd=$(printf 'unicode/odd-\377.bin')
    cp -p files/blocks.bin "$odd"
    run_case list-not-utf8-native default list "$odd"
    # Every close of a temporary file fails: each entry fails and no
    # temporary file stays behind.
    dir=$OUT/x-close-failure
    mkdir -p "$dir"
    # A sanitized host wants its runtime first; the shim comes before it.
    LD_PRELOAD=$PWD/bin/zantor_close_failure.so ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
        run_case extract-close-failure-native default extract files/blocks.bin "$dir"
    { echo "--- files"; describe_tree "$dir"; } >>"$OUT/extract-close-failure-native.txt"
fi

run_case pack default pack files/new.zip files/empty.bin

#!/bin/bash
# Checks that every source file includes only headers of its own floor or
# the floors below (base < codec < config < scan < plugin < tools, bench,
# fuzz; tests/<floor> as its floor), then the Windows binaries of the given build folders (default: build/ci-w64
# and build/ci-w32) with MinGW objdump:
#   - every program and plugin imports nothing but system DLLs, so it loads on a
#     bare Windows without the MinGW runtime DLLs;
#   - the plugins Zantor.wcx64 (x86-64) and Zantor.wcx (x86) export exactly the
#     host's nineteen functions (ten ANSI, seven Unicode and extended,
#     PackSetDefaultParams and GetBackgroundFlags) under their plain names (no
#     stdcall "@N" suffix, no leading underscore).
# A missing build folder or plugin is reported as SKIP. Exits non-zero when a
# check fails.
#
# Usage: scripts/static-checks.sh [BUILD_DIR...]
# Environment: ZANTOR_SOURCE_ROOT, the tree whose floors are checked (default:
# this checkout).
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$ROOT/build/ci-w64" "$ROOT/build/ci-w32"

SYSTEM_DLLS=(kernel32.dll user32.dll gdi32.dll msvcrt.dll advapi32.dll shell32.dll comctl32.dll
    comdlg32.dll ole32.dll oleaut32.dll ntdll.dll ws2_32.dll shlwapi.dll version.dll bcrypt.dll)
EXPORTS=(CanYouHandleThisFile CloseArchive ConfigurePacker GetPackerCaps OpenArchive PackFiles
    ProcessFile ReadHeader SetChangeVolProc SetProcessDataProc
    CanYouHandleThisFileW OpenArchiveW ProcessFileW ReadHeaderEx ReadHeaderExW SetChangeVolProcW
    SetProcessDataProcW PackSetDefaultParams GetBackgroundFlags)

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }

# is_listed WORD LIST...
is_listed() {
    local w=$1
    shift
    local x
    for x in "$@"; do [ "$x" = "$w" ] && return 0; done
    return 1
}

# objdump_for FILE: the MinGW objdump that matches the file's machine
objdump_for() {
    case $(x86_64-w64-mingw32-objdump -f "$1" 2>/dev/null) in
        *"file format pei-x86-64"*) echo x86_64-w64-mingw32-objdump ;;
        *"file format pei-i386"*) echo i686-w64-mingw32-objdump ;;
    esac
}

check_imports() {
    local file=$1 od bad=() dll
    od=$(objdump_for "$file")
    if [ -z "$od" ]; then
        fail "$file: not a Windows PE file"
        return
    fi
    for dll in $("$od" -p "$file" | awk '/DLL Name:/ { print tolower($3) }' | sort -u); do
        is_listed "$dll" "${SYSTEM_DLLS[@]}" || bad+=("$dll")
    done
    if [ ${#bad[@]} -eq 0 ]; then
        pass "$file: imports only system DLLs"
    else
        fail "$file: imports non-system DLLs: ${bad[*]}"
    fi
}

# check_plugin FILE FORMAT: machine and export table of one plugin DLL
check_plugin() {
    local file=$1 format=$2 od names want missing=() extra=()
    od=$(objdump_for "$file")
    if ! x86_64-w64-mingw32-objdump -f "$file" 2>/dev/null | grep -q "file format $format\$"; then
        fail "$file: not a $format DLL"
        return
    fi
    # The export name table: lines "[   n] Name" after "[Ordinal/Name Pointer] Table".
    names=$("$od" -p "$file" | awk '/\[Ordinal\/Name Pointer\] Table/ { t = 1; next }
        t && /^\t\[ *[0-9]+\] / { print $NF; next } t && !/^\t\[/ { t = 0 }' | sort -u)
    for want in "${EXPORTS[@]}"; do
        # shellcheck disable=SC2086 # one export name per word
        is_listed "$want" $names || missing+=("$want")
    done
    for want in $names; do
        is_listed "$want" "${EXPORTS[@]}" || extra+=("$want")
    done
    if [ ${#missing[@]} -eq 0 ] && [ ${#extra[@]} -eq 0 ]; then
        pass "$file: exports the nineteen host functions, undecorated"
    else
        fail "$file: exports missing: ${missing[*]:-none}; unexpected: ${extra[*]:-none}"
    fi
    check_imports "$file"
}

FLOORS=(base codec config scan plugin)

# floor_of NAME: the rank of a floor (tools, bench and fuzz above them all);
# empty for a name that is none
floor_of() {
    local i
    for i in "${!FLOORS[@]}"; do [ "${FLOORS[$i]}" = "$1" ] && echo "$i" && return; done
    case $1 in tools | bench | fuzz) echo ${#FLOORS[@]} ;; esac
}

check_floors() {
    local src=${ZANTOR_SOURCE_ROOT:-$ROOT} bad=0 file dir own line header target rank
    while IFS= read -r file; do
        dir=${file#"$src"/}
        case $dir in
            src/* | tests/*) dir=${dir#*/} ;;
        esac
        own=$(floor_of "${dir%%/*}")
        [ -n "$own" ] || continue
        while IFS= read -r line; do
            header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"${line#*:}")
            target=${header%%/*}
            [ "$target" != "$header" ] || continue
            rank=$(floor_of "$target")
            if [ -n "$rank" ] && [ "$rank" -gt "$own" ]; then
                echo "  ${file#"$src"/}:${line%%:*} includes \"$header\" from a floor above its own"
                bad=1
            fi
        done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
    done < <(find "$src/src" "$src/tests" "$src/tools" "$src/bench" "$src/fuzz" -type f \
        \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) 2>/dev/null | sort)
    if [ $bad = 0 ]; then
        pass "sources include only their own floor and those below"
    else
        fail "sources include headers of a floor above their own (listed above)"
    fi
}

check_floors

for dir in "$@"; do
    if [ ! -d "$dir" ]; then
        echo "SKIP $dir: no such build folder"
        continue
    fi
    plugins=0
    while IFS= read -r f; do
        case $f in
            *.wcx64) check_plugin "$f" pei-x86-64 ;;
            *) check_plugin "$f" pei-i386 ;;
        esac
        plugins=$((plugins + 1))
    done < <(find "$dir" -path '*/CMakeFiles' -prune -o -type f \( -name Zantor.wcx64 -o -name Zantor.wcx \) -print | sort)
    [ $plugins -gt 0 ] || echo "SKIP $dir: no Zantor.wcx64 or Zantor.wcx built yet"
    while IFS= read -r f; do
        check_imports "$f"
    done < <(find "$dir" -path '*/CMakeFiles' -prune -o -type f -name '*.exe' -print | sort)
done

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

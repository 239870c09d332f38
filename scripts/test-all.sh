#!/bin/bash
# Builds and tests every flavour of Zantor from one source tree:
#   native  g++ build with AddressSanitizer/UBSan, benchmarks compiled, ctest,
#           the command-line host against the Linux plugin module
#   w64     x86-64 MinGW build, every *_tests.exe under 64-bit Wine (no display),
#           the host against Zantor.wcx64, the dialogs driven on a virtual display
#   w32     x86 MinGW build, every *_tests.exe under 32-bit Wine in the VM
#           of ../shared/vm32 (one boot), the host against Zantor.wcx (another)
#   doublecmd  the Linux module (built without sanitizers) in Double
#           Commander on a virtual display (tests/doublecmd/run.sh)
#   static  scripts/static-checks.sh and the dialog resources of both DLLs
#   package the plugin zip from the w64 and w32 builds and the Debian package
#           from a Release build of the Linux module and host, checked as a
#           user meets them (tests/packaging/check.sh)
#   tsan    the analysis cache from eight threads, and archives extracted from
#           four threads with their own callbacks, under ThreadSanitizer
#   fuzz    clang libFuzzer build, every *_fuzz program for a bounded time
#
# Usage: scripts/test-all.sh [native|doublecmd|w64|w32|static|package|tsan|fuzz|all]...   (default: all)
# Missing Debian packages are installed with apt-get (needs root).
#
# Environment:
#   ZANTOR_FUZZ_SECONDS  time per fuzz program (default 20)
#   ZANTOR_TEST_TIMEOUT  time limit per test program in seconds (default 600)
#   ZANTOR_JOBS          parallel build jobs (default 2)
#   ZANTOR_CI_PREFIX     prefix of the build folders (default build/ci, giving
#                        build/ci-native, build/ci-w64, ...); must stay inside
#                        the folder that holds the project and shared/
#
# The last line printed is "N passed, N failed", counting test programs, fuzz
# programs and the build and check steps; the exit code is 0 only when N failed
# is 0.
set -u

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SHARED=$ROOT/../shared
PREFIX=${ZANTOR_CI_PREFIX:-$ROOT/build/ci}
JOBS=${ZANTOR_JOBS:-2}
TEST_TIMEOUT=${ZANTOR_TEST_TIMEOUT:-600}
FUZZ_SECONDS=${ZANTOR_FUZZ_SECONDS:-20}
LOGS=$PREFIX-logs
SEEDS=$PREFIX-seeds

passed=0
failed=0
summary=()
mkdir -p "$LOGS"

note() { printf '\n=== %s\n' "$*"; }

# record PASS|FAIL NAME [DETAIL]
record() {
    local what=$1 name=$2 detail=${3:-}
    if [ "$what" = PASS ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
    summary+=("$(printf '%-4s %-44s %s' "$what" "$name" "$detail")")
    printf '%s %s %s\n' "$what" "$name" "$detail"
}

# show_log FILE: the end of a log, for a failed step
show_log() {
    echo "--- last lines of $1"
    tail -n 40 "$1"
    echo "---"
}

# step NAME LOG CMD...: runs a build or check step with its output in LOG
step() {
    local name=$1 log=$2
    shift 2
    local t0=$SECONDS
    if "$@" >"$log" 2>&1; then
        record PASS "$name" "($((SECONDS - t0)) s)"
        return 0
    fi
    record FAIL "$name" "($((SECONDS - t0)) s, log $log)"
    show_log "$log"
    return 1
}

# gui_step NAME LOG CMD...: a step that drives a user interface with
# synthetic input, which a loaded machine can drop or deliver early: one
# failed try is repeated, and noted with its log kept, before it counts.
gui_step() {
    local name=$1 log=$2 t0=$SECONDS
    shift 2
    if "$@" >"$log" 2>&1; then
        record PASS "$name" "($((SECONDS - t0)) s)"
        return 0
    fi
    mv "$log" "$log.first-try"
    echo "NOTE $name: the first try failed, trying once more (log $log.first-try)"
    tail -n 20 "$log.first-try" | sed 's/^/    /'
    step "$name" "$log" "$@"
}

# build STAGE DIR PATTERN: builds all that builds (make -k), so one broken
# target does not hide the results of the others. The old programs matching
# PATTERN go first: a program whose sources no longer compile must not run stale.
build() {
    local stage=$1 dir=$2 pattern=$3
    find "$dir" -path "$dir/googletest" -prune -o -type f -name "$pattern" -exec rm -f {} +
    step "$stage: build" "$LOGS/$stage-build.log" cmake --build "$dir" -j"$JOBS" -- -k
}

# ---- Packages ---------------------------------------------------------------

# need_packages PKG...: installs the Debian packages that are missing
need_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages (install them as root): ${missing[*]}"
        return 1
    fi
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq "${missing[@]}" </dev/null
}

# packages STAGE NAME...: installs a stage's packages, recording only failures
packages() {
    local stage=$1
    shift
    need_packages "$@" >"$LOGS/$stage-packages.log" 2>&1 && return 0
    record FAIL "$stage: packages" "(log $LOGS/$stage-packages.log)"
    show_log "$LOGS/$stage-packages.log"
    return 1
}

# ---- Test programs ------------------------------------------------------------

# gtest_result LOG: a short result text from a GoogleTest log
gtest_result() {
    local ok bad
    ok=$(grep -aoE '^([0-9]+: )?\[  PASSED  \] [0-9]+' "$1" | grep -oE '[0-9]+$' | tail -1)
    bad=$(grep -aoE '^([0-9]+: )?\[  FAILED  \] [0-9]+ test' "$1" | grep -oE '[0-9]+ test' | grep -oE '[0-9]+' | tail -1)
    echo "${ok:-0} tests passed, ${bad:-0} failed"
}

# record_program NAME RC LOG
record_program() {
    local name=$1 rc=$2 log=$3
    if [ "$rc" = 0 ]; then
        record PASS "$name" "$(gtest_result "$log")"
        return
    fi
    case $rc in
        124) record FAIL "$name" "timed out after $TEST_TIMEOUT s (log $log)" ;;
        *) record FAIL "$name" "exit $rc, $(gtest_result "$log") (log $log)" ;;
    esac
    show_log "$log"
}

# test_programs DIR PATTERN: the test programs of a build, relative to DIR
test_programs() {
    (cd "$1" && find . -path ./googletest -prune -o -path '*/CMakeFiles' -prune -o \
        -type f -name "$2" -print | sed 's#^\./##' | sort)
}

# ---- Stages -----------------------------------------------------------------

stage_native() {
    local b=$PREFIX-native
    note "native: g++ with AddressSanitizer and UBSan"
    packages native g++ make cmake libgtest-dev libbenchmark-dev || return
    step "native: configure" "$LOGS/native-configure.log" \
        cmake -S "$ROOT" -B "$b" -DCMAKE_BUILD_TYPE=Debug -DZANTOR_SANITIZE=ON -DZANTOR_BENCH=ON || return
    build native "$b" '*_tests'
    local progs p rc
    progs=$(cd "$b" && ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p')
    [ -n "$progs" ] || echo "no test programs yet"
    # Tests that make fuzz seeds write them below ZANTOR_FUZZ_SEEDS. The heap
    # tests ask for impossible sizes and expect a null pointer back.
    rm -rf "$SEEDS"
    mkdir -p "$SEEDS"
    for p in $progs; do
        (cd "$b" && ZANTOR_FUZZ_SEEDS=$SEEDS ASAN_OPTIONS=allocator_may_return_null=1 \
            UBSAN_OPTIONS=print_stacktrace=1 ctest -R "^$p\$" --timeout "$TEST_TIMEOUT" -V \
            >"$LOGS/native-$p.log" 2>&1)
        rc=$?
        [ $rc != 0 ] && grep -q '\*\*\*Timeout' "$LOGS/native-$p.log" && rc=124
        record_program "native: $p" $rc "$LOGS/native-$p.log"
    done
    integration native --native "$b"
}

# integration NAME ARGS...: the command-line host against the plugin module on
# the platforms ARGS name (tests/integration/run.sh), recorded as one step
integration() {
    local name=$1
    shift
    step "$name: integration" "$LOGS/$name-integration.log" "$ROOT/tests/integration/run.sh" "$@"
    grep -E '^(PASS|FAIL|SKIP|NOTE)' "$LOGS/$name-integration.log" | sed 's/^/    /'
}

# wine_session_start PREFIX: a prefix of our own and a persistent wineserver for
# all the programs of a stage. No display: without one a message box returns at
# once, so a fatal stop ends its process as the death tests expect instead of
# waiting for a click.
wine_started=
wine_session_start() {
    wine_started=1
    unset DISPLAY WAYLAND_DISPLAY
    # A UTF-8 locale: Wine stores file names outside ASCII only through one.
    export WINEPREFIX=$1 WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
    if [ ! -d "$WINEPREFIX/drive_c" ]; then
        timeout 300 /usr/lib/wine/wine64 wineboot --init >"$LOGS/w64-wineboot.log" 2>&1
        timeout 60 /usr/lib/wine/wineserver -w
    fi
    /usr/lib/wine/wineserver -p
}

wine_session_end() {
    [ -n "$wine_started" ] || return 0
    wine_started=
    /usr/lib/wine/wineserver -k 2>/dev/null
}

# cross_build ARCH: configures and builds build/ci-ARCH with cmake/mingwBITS.cmake;
# fails only when the configuration does
cross_build() {
    local arch=$1 bits=${1#w}
    step "$arch: configure" "$LOGS/$arch-configure.log" \
        cmake -S "$ROOT" -B "$PREFIX-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw$bits.cmake" \
        -DCMAKE_BUILD_TYPE=Release || return
    build "$arch" "$PREFIX-$arch" '*_tests.exe'
    return 0
}

stage_w64() {
    local b=$PREFIX-w64
    note "w64: x86-64 MinGW build under 64-bit Wine"
    packages w64 cmake make googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 || return
    cross_build w64 || return
    local progs p rc
    progs=$(test_programs "$b" '*_tests.exe')
    if [ -z "$progs" ]; then
        echo "no test programs yet"
        return
    fi
    wine_session_start "$PREFIX-wine64"
    for p in $progs; do
        (cd "$b/$(dirname "$p")" &&
            timeout -k 10 "$TEST_TIMEOUT" /usr/lib/wine/wine64 "./$(basename "$p")" --gtest_color=no \
                >"$LOGS/w64-$(basename "$p").log" 2>&1 </dev/null)
        rc=$?
        record_program "w64: $(basename "$p")" $rc "$LOGS/w64-$(basename "$p").log"
    done
    wine_session_end
    integration w64 --native "$PREFIX-native" --w64 "$b"
    # The dialogs need a display; the unit tests above must not have one.
    packages ui xvfb imagemagick || return
    gui_step "w64: dialogs" "$LOGS/w64-dialogs.log" "$ROOT/tests/ui/run.sh" "$b" "$LOGS/screenshots"
}

# vm32 ARGS...: the VM script at a raised priority
vm32() {
    "$ROOT/scripts/vm32-nice.sh" "$@"
}

stage_w32() {
    local b=$PREFIX-w32
    note "w32: x86 MinGW build under 32-bit Wine in the VM"
    packages w32 cmake make googletest g++-mingw-w64-i686-posix binutils-mingw-w64-i686 || return
    cross_build w32 || return
    local progs
    progs=$(test_programs "$b" '*_tests.exe')
    if [ -z "$progs" ]; then
        echo "no test programs yet"
        return
    fi
    # The VM sees the shared folder at the same path, as drive Z:. Sharing the
    # folder above the project shows it the build and ../shared/corpus alike.
    local share
    share=$(cd "$ROOT/.." && pwd)
    case $b in
        "$share"/*) ;;
        *) record FAIL "w32: build folder" "$b is outside $share, which the VM shares"; return ;;
    esac
    step "w32: VM image" "$LOGS/w32-vm-build.log" vm32 build || return
    local results=$b/vm-results.txt guest=$b/vm-run.sh p
    rm -f "$results"
    {
        echo 'export LC_ALL=C.UTF-8'  # as in wine_session_start
        echo 'wineserver -p'
        # Programs run from the guest's own disk: large images mapped from the
        # 9p share fault on pages that were never read in. The working folder
        # stays in the build.
        for p in $progs; do
            printf 'cp %q /tmp/ && (cd %q && timeout -k 10 %q wine /tmp/%q --gtest_color=no >%q 2>&1 </dev/null); echo "$? %s" >>%q\n' \
                "$b/$p" "$b/$(dirname "$p")" "$TEST_TIMEOUT" "$(basename "$p")" \
                "$LOGS/w32-$(basename "$p").log" "$p" "$results"
        done
        echo 'wineserver -k'
        echo 'sync'
    } >"$guest"
    local count vm_timeout
    count=$(echo "$progs" | wc -l)
    vm_timeout=$((300 + count * (TEST_TIMEOUT + 15)))
    note "w32: one VM boot for $count programs"
    vm32 run -s "$share" -t "$vm_timeout" -- "bash $(printf %q "$guest")" \
        >"$LOGS/w32-vm-run.log" 2>&1
    echo "VM run exit code $? (log $LOGS/w32-vm-run.log)"
    local rc
    for p in $progs; do
        rc=$(awk -v p="$p" '$2 == p { print $1 }' "$results" 2>/dev/null | tail -1)
        if [ -z "$rc" ]; then
            record FAIL "w32: $(basename "$p")" "no result from the VM (log $LOGS/w32-vm-run.log)"
            show_log "$LOGS/w32-vm-run.log"
        else
            record_program "w32: $(basename "$p")" "$rc" "$LOGS/w32-$(basename "$p").log"
        fi
    done
    VM32="$ROOT/scripts/vm32-nice.sh" integration w32 --native "$PREFIX-native" --w32 "$b"
}

# The real host on Linux. The native stage's module carries AddressSanitizer,
# which the file manager cannot load, so the module and the host are built
# once more without it (no tests, about a minute).
stage_doublecmd() {
    local b=$PREFIX-doublecmd
    note "doublecmd: the Linux module in Double Commander"
    packages doublecmd g++ make cmake libgtest-dev doublecmd-gtk xvfb xdotool x11-utils imagemagick || return
    step "doublecmd: configure" "$LOGS/doublecmd-configure.log" \
        cmake -S "$ROOT" -B "$b" -DCMAKE_BUILD_TYPE=Debug || return
    step "doublecmd: build" "$LOGS/doublecmd-build.log" \
        cmake --build "$b" --target zantor zantor_large_member -j"$JOBS" || return
    gui_step "doublecmd: copy, overwrite, folder, progress, cancel, two at once" "$LOGS/doublecmd.log" \
        "$ROOT/tests/doublecmd/run.sh" "$b" "$LOGS/doublecmd-listing.png" "$LOGS/doublecmd-progress.png"
}

stage_static() {
    note "static: exports and imports of the Windows binaries"
    packages static binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 || return
    step "static: checks" "$LOGS/static-checks.log" \
        "$ROOT/scripts/static-checks.sh" "$PREFIX-w64" "$PREFIX-w32"
    grep -E '^(PASS|FAIL|SKIP)' "$LOGS/static-checks.log" | sed 's/^/    /'
    step "static: dialog resources" "$LOGS/static-resources.log" \
        "$ROOT/tests/ui/check-resources.sh" "$PREFIX-w64" "$PREFIX-w32"
}

# The release packages: the zip from the w64 and w32 builds, the .deb from a
# Release build of the Linux module and host of its own.
stage_package() {
    local out=$PREFIX-packages version
    note "package: the plugin zip and the Debian package"
    packages package cmake make g++ zip unzip python3 dpkg-dev file lintian wine64 \
        binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 || return
    rm -rf "$out"
    step "package: plugin zip" "$LOGS/package-zip.log" \
        "$ROOT/scripts/package-zip.sh" "$PREFIX-w64" "$PREFIX-w32" "$out"
    step "package: deb" "$LOGS/package-deb.log" "$ROOT/scripts/package-deb.sh" "$PREFIX-deb" "$out"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$PREFIX-deb/CMakeCache.txt")
    wine_session_start "$PREFIX-wine64"
    step "package: checks" "$LOGS/package-checks.log" "$ROOT/tests/packaging/check.sh" "$version" \
        --zip "$out/Zantor-$version.zip" "$PREFIX-w64" --deb "$out/zantor_${version}_$(dpkg --print-architecture).deb"
    wine_session_end
    grep -E '^(PASS|FAIL|SKIP)' "$LOGS/package-checks.log" | sed 's/^/    /'
}

# Threads sharing the analysis cache, under ThreadSanitizer.
stage_tsan() {
    local b=$PREFIX-tsan
    note "tsan: the analysis cache and background extraction from several threads under ThreadSanitizer"
    packages tsan cmake make clang-14 libclang-rt-14-dev libgtest-dev || return
    step "tsan: configure" "$LOGS/tsan-configure.log" \
        env CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$b" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
        -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread || return
    step "tsan: build" "$LOGS/tsan-build.log" cmake --build "$b" --target scan_tests plugin_tests -j"$JOBS" || return
    local rc
    (cd "$b" && TSAN_OPTIONS=halt_on_error=1 timeout -k 10 "$TEST_TIMEOUT" tests/scan_tests \
        --gtest_filter='AnalysisCache*' >"$LOGS/tsan-scan_tests.log" 2>&1 </dev/null)
    rc=$?
    record_program "tsan: scan_tests (cache)" $rc "$LOGS/tsan-scan_tests.log"
    # What GetBackgroundFlags promises: archives extracted at once from
    # several threads, each reporting to its own callback.
    (cd "$b" && TSAN_OPTIONS=halt_on_error=1 timeout -k 10 "$TEST_TIMEOUT" tests/plugin_tests \
        --gtest_filter='ProgressThreads*' >"$LOGS/tsan-plugin_tests.log" 2>&1 </dev/null)
    rc=$?
    record_program "tsan: plugin_tests (background extraction)" $rc "$LOGS/tsan-plugin_tests.log"
}

stage_fuzz() {
    local b=$PREFIX-fuzz
    note "fuzz: libFuzzer targets, $FUZZ_SECONDS s each"
    packages fuzz cmake make clang-14 libclang-rt-14-dev || return
    step "fuzz: configure" "$LOGS/fuzz-configure.log" \
        env CC=clang-14 CXX=clang++-14 cmake -S "$ROOT" -B "$b" -DCMAKE_BUILD_TYPE= \
        -DZANTOR_FUZZ=ON -DZANTOR_TESTS=OFF || return
    build fuzz "$b" '*_fuzz'
    local progs p name rc dirs limit
    progs=$(test_programs "$b" '*_fuzz')
    if [ -z "$progs" ]; then
        echo "no fuzz programs yet"
        return
    fi
    [ -d "$SEEDS" ] || echo "no seeds from the native tests ($SEEDS): run the native stage first for seeded fuzzing"
    for p in $progs; do
        name=$(basename "$p")
        # The first folder collects what the fuzzer finds; the seeds are read only.
        dirs=("$b/corpus/$name")
        mkdir -p "$b/corpus/$name" "$b/artifacts"
        [ -d "$SEEDS/${name%_fuzz}" ] && dirs+=("$SEEDS/${name%_fuzz}")
        [ -d "$ROOT/fuzz/seeds/${name%_fuzz}" ] && dirs+=("$ROOT/fuzz/seeds/${name%_fuzz}")
        # The whole-image analysis is bounded by its work budget: any input
        # slower than a second is a slow path it misses.
        limit=30
        [ "$name" = analyse_fuzz ] && limit=1
        timeout -k 10 $((FUZZ_SECONDS + 300)) "$b/$p" -max_total_time="$FUZZ_SECONDS" -timeout=$limit \
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$b/artifacts/$name-" "${dirs[@]}" \
            >"$LOGS/fuzz-$name.log" 2>&1 </dev/null
        rc=$?
        if [ $rc = 0 ]; then
            record PASS "fuzz: $name" "$(grep -aoE 'stat::number_of_executed_units: *[0-9]+' "$LOGS/fuzz-$name.log" |
                grep -oE '[0-9]+$') runs, $((${#dirs[@]} - 1)) seed folder(s)"
        else
            record FAIL "fuzz: $name" "exit $rc, artifacts in $b/artifacts (log $LOGS/fuzz-$name.log)"
            show_log "$LOGS/fuzz-$name.log"
        fi
    done
}

# ---- Main -----------------------------------------------------------------------

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(all)
selected=()
for s in "${stages[@]}"; do
    case $s in
        all) selected+=(native doublecmd w64 w32 static package tsan fuzz) ;;
        native | doublecmd | w64 | w32 | static | package | tsan | fuzz) selected+=("$s") ;;
        *) echo "unknown stage: $s (stages: native doublecmd w64 w32 static package tsan fuzz all)" >&2; exit 2 ;;
    esac
done

[ -d "$SHARED/corpus" ] || echo "warning: $SHARED/corpus is missing; corpus tests will skip"
start=$SECONDS
trap 'wine_session_end' EXIT
trap 'exit 130' INT TERM
for s in "${selected[@]}"; do
    t0=$SECONDS
    "stage_$s"
    echo "($s: $((SECONDS - t0)) s)"
done

note "summary ($((SECONDS - start)) s)"
printf '%s\n' "${summary[@]}"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

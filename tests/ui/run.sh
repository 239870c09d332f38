#!/bin/bash
# Runs the dialog driver of an x86-64 MinGW build under 64-bit Wine on a
# virtual display (Xvfb, inside a Wine virtual desktop so that windows get
# real captions) and saves screenshots of both dialogs as PNG files. The
# plugin runs from C:\Program Files\Zantor of the Wine prefix, where a user
# would have it, so the screenshots show that settings path.
#
# Usage: tests/ui/run.sh BUILD_DIR [SHOT_DIR]   (SHOT_DIR default: docs/)
# Needs: wine64, xvfb, imagemagick (import). Exits 0 only when every check of
# the driver passed. Work files and the driver's log (dialog_driver.log) go to
# BUILD_DIR-ui, beside the build folder, so that the checks of the build's
# binaries never see them; the Wine prefix is WINEPREFIX when set, otherwise
# BUILD_DIR-ui-wine.
set -u

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:?usage: run.sh BUILD_DIR [SHOT_DIR]}" && pwd) || exit 2
SHOTS=${2:-$ROOT/docs}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
DRIVER=$BUILD/tests/ui/dialog_driver.exe
PLUGIN=$BUILD/src/Zantor.wcx64
WORK=$BUILD-ui
LOG=$WORK/dialog_driver.log
LIMIT=${ZANTOR_UI_TIMEOUT:-300}

for f in "$DRIVER" "$PLUGIN"; do
    [ -f "$f" ] || { echo "missing $f: build the targets dialog_driver and Zantor.wcx64"; exit 2; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is missing (Debian package xvfb)"; exit 2; }
command -v import >/dev/null || echo "import is missing (Debian package imagemagick): no screenshots"

rm -rf "$WORK"
mkdir -p "$WORK/requests" "$SHOTS"

# The Windows name of a path on this machine (Wine shows / as drive Z:).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

export WINEPREFIX=${WINEPREFIX:-$BUILD-ui-wine} WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -d "$WINEPREFIX/drive_c" ]; then
    timeout 300 "$WINE" wineboot --init >"$WORK/wineboot.log" 2>&1
    timeout 60 "$WINESERVER" -w
fi
rm -rf "$WINEPREFIX/drive_c/Program Files/Zantor"

display_file=$WORK/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$WORK/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
    timeout 30 "$WINESERVER" -k 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
done
[ -s "$display_file" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$display_file")
timeout 30 "$WINESERVER" -p

# The driver asks for a screenshot by writing NAME.request with the window's
# rectangle, and goes on when NAME.done appears.
take_screenshots() {
    local request name x y w h
    for request in "$WORK"/requests/*.request; do
        [ -f "$request" ] || continue
        name=$(basename "$request" .request)
        read -r x y w h <"$request" || continue
        sleep 1  # let the window paint
        if command -v import >/dev/null; then
            import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$name.png" \
                >>"$WORK/import.log" 2>&1 && echo "screenshot $SHOTS/$name.png"
        fi
        rm -f "$request"
        : >"$WORK/requests/$name.done"
    done
}

timeout -k 10 "$LIMIT" "$WINE" explorer /desktop=Zantor,1024x768 "$(winpath "$DRIVER")" \
    "$(winpath "$PLUGIN")" 'C:\Program Files\Zantor' "$(winpath "$LOG")" "$(winpath "$WORK/requests")" \
    >"$WORK/wine.log" 2>&1 </dev/null &
wine_pid=$!
# The desktop outlives the driver: the driver's last log line marks its end.
for _ in $(seq $((LIMIT * 5))); do
    take_screenshots
    tail -n 1 "$LOG" 2>/dev/null | tr -d '\r' | grep -qxE 'PASS|FAIL' && break
    kill -0 "$wine_pid" 2>/dev/null || { sleep 1; break; }
    sleep 0.2
done
timeout 30 "$WINESERVER" -k 2>/dev/null
wait "$wine_pid" 2>/dev/null

[ -f "$LOG" ] && tr -d '\r' <"$LOG"
if tail -n 1 "$LOG" 2>/dev/null | tr -d '\r' | grep -qx PASS; then
    echo "dialog test passed"
    exit 0
fi
echo "dialog test FAILED (log $LOG, Wine output $WORK/wine.log)"
exit 1

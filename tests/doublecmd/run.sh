#!/bin/bash
# The Linux module in the real host: Double Commander 1.0.x on a virtual
# display, driven by keystrokes as a user would drive it.
#
#   tests/doublecmd/run.sh BUILD [SCREENSHOT [PROGRESS_SCREENSHOT]]
#
# BUILD is a native build folder, without sanitizers, holding src/Zantor.wcx,
# src/zantor and tests/integration/zantor_large_member.
# With a fresh configuration folder that registers the module for .bin and
# .hrp, it opens samples/zantor-sample.bin, copies every entry out with F5,
# copies them again over stale copies choosing "Overwrite All", opens the
# Hrip archive that came out and copies its directory record. It checks the
# files against `zantor extract`, their times against the sample's, and that
# the directory record arrived as a folder. Then it opens the plugin's
# configuration dialog from the plugin options: a change and Cancel leave no
# Zantor.cfg; Drelmo compatible and OK (with the advanced dialog opened and
# closed on the way) write it, and the sample opened again lists and copies
# what `zantor extract` gives under that setting. SCREENSHOT (a .png) receives
# the two listings; doublecmd-config-dialog.png and
# doublecmd-scan-settings-dialog.png beside it the two forms. Then, on
# archives with members of 2000 MiB: a copy whose progress dialog moves
# (PROGRESS_SCREENSHOT shows it) is cancelled and leaves nothing; two copies
# from two archives run at the same time and both arrive byte-exact. Installs
# doublecmd-gtk, xvfb, xdotool, x11-utils and imagemagick when missing (as
# root). Prints PASS or FAIL; everything has a time limit.
set -u
[ -n "${ZANTOR_DC_INNER:-}" ] || exec env ZANTOR_DC_INNER=1 timeout -k 5 360 "$0" "$@"
[ $# -ge 1 ] || { echo "usage: $0 BUILD [SCREENSHOT]" >&2; exit 2; }
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "$1" && pwd)
SHOT=${2:-}
PROGRESS_SHOT=${3:-}
BUILT=$BUILD/src/Zantor.wcx
HOST=$BUILD/src/zantor
WORK=$BUILD/doublecmd-check
export LC_ALL=C.UTF-8

fail() {
    echo "FAIL doublecmd: $*"
    if [ -n "${dc_pid:-}" ]; then
        kill -0 "$dc_pid" 2>/dev/null && echo "Double Commander is running" || echo "Double Commander has exited"
        echo "--- the end of $WORK/dc.log"
        tail -n 15 "$WORK/dc.log" 2>/dev/null
        echo "---"
    fi
    if [ -n "${DISPLAY:-}" ]; then
        echo "windows shown:"
        xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done
        import -window root "$WORK/failed.png" 2>/dev/null && echo "screen: $WORK/failed.png"
    fi
    exit 1
}

missing=()
command -v doublecmd >/dev/null || missing+=(doublecmd-gtk)
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v xdpyinfo >/dev/null || missing+=(x11-utils)
command -v import >/dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive timeout 600 apt-get install -y -q "${missing[@]}" >/dev/null ||
        fail "cannot install ${missing[*]}"
fi
[ -f "$BUILT" ] && [ -x "$HOST" ] || fail "no Zantor.wcx and zantor in $BUILD/src"
# The file manager cannot load a sanitized module: without the runtime
# preloaded the module is refused, with it the host deadlocks in X setup.
ldd "$BUILT" | grep -q libasan && fail "$BUILT is a sanitizer build; use a plain one"

rm -rf "$WORK"
mkdir -p "$WORK/cfg" "$WORK/in" "$WORK/out" "$WORK/expected" "$WORK/home" "$WORK/plugin" "$WORK/big"
# A copy of the module: its Zantor.cfg is written beside it, never into the build.
MODULE=$WORK/plugin/Zantor.wcx
CFG=$WORK/plugin/Zantor.cfg
cp "$BUILT" "$MODULE"
cp -p "$ROOT/samples/zantor-sample.bin" "$WORK/in/"
SAMPLE=$WORK/in/zantor-sample.bin
"$HOST" --plugin "$MODULE" extract "$SAMPLE" "$WORK/expected" >"$WORK/expected.log" 2>&1 ||
    fail "zantor extract failed (see $WORK/expected.log)"
# Members of 2000 MiB (the second copy starts seconds after the first):
# a.hrp, b.hrp and c.hrp go into "in", where they sort
# after the folder the test makes and before the sample. The member is the
# first entry of each listing (the notice of the exhausted work budget sorts
# after it).
for a in a b c; do
    "$BUILD/tests/integration/zantor_large_member" "$WORK/big/$a.hrp" 2000 "big$a" ||
        fail "cannot write $a.hrp"
done
"$HOST" --plugin "$MODULE" extract "$WORK/big/a.hrp" "$WORK/big/expected" >/dev/null 2>&1
BIG=$(cd "$WORK/big/expected" && ls | grep biga) || fail "zantor extract of a.hrp failed"

plugin() {
    printf '      <WcxPlugin Enabled="True">\n        <ArchiveExt>%s</ArchiveExt>\n' "$1"
    printf '        <Path>%s</Path>\n        <Flags>85</Flags>\n      </WcxPlugin>\n' "$MODULE"
}
{
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo '<doublecmd DCVersion="1.0.10">'
    echo '  <Behaviours>'
    echo '    <DateTimeFormat>yyyy-mm-dd hh:nn</DateTimeFormat>'
    echo '  </Behaviours>'
    echo '  <Fonts>'
    echo '    <Main>'
    echo '      <Name>default</Name>'
    echo '      <Size>9</Size>'
    echo '      <Style>0</Style>'
    echo '      <Quality>0</Quality>'
    echo '    </Main>'
    echo '  </Fonts>'
    echo '  <Plugins>'
    echo '    <WcxPlugins>'
    plugin bin
    plugin hrp
    echo '    </WcxPlugins>'
    echo '  </Plugins>'
    echo '</doublecmd>'
} >"$WORK/cfg/doublecmd.xml"

xvfb_pid= dc_pid=
# stop PID: ends a process and waits for it, so a second try finds nothing left.
stop() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null
    timeout 5 tail --pid="$1" -f /dev/null 2>/dev/null || kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanup() {
    stop "$dc_pid"
    stop "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 1' TERM INT

# wait_for WHAT SECONDS CMD...: polls CMD until it succeeds.
wait_for() {
    local what=$1 end=$((SECONDS + $2))
    shift 2
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || fail "timed out waiting for $what"
        sleep 0.2
    done
}
# key KEY...: keystrokes to the main window, with a moment for the panels.
key() { xdotool key --delay 80 "$@"; sleep 0.7; }
visible() { xdotool search --onlyvisible --name "$1"; }
# No file operation window is open.
idle() { ! visible 'Extracting|Copying|Waiting'; }
# copy [KEY...]: KEY (a selection that may be repeated) and F5 until the
# copy dialog shows, which a busy file manager may take a second try for;
# then starts the copy.
copy() {
    local try
    for try in 1 2 3; do
        key "$@" F5
        local end=$((SECONDS + 5))
        while [ $SECONDS -lt $end ]; do
            if visible '^Copy' >/dev/null 2>&1; then
                key Return
                return
            fi
            sleep 0.2
        done
    done
    fail "no copy dialog"
}

# The extracted files equal zantor's (in expected, or the folder given) and
# carry the sample's time.
same_files() {
    local f
    for f in "${1:-$WORK/expected}"/*; do
        cmp -s "$f" "$WORK/out/${f##*/}" || return 1
        [ "$(stat -c %Y "$WORK/out/${f##*/}")" = "$(stat -c %Y "$SAMPLE")" ] || return 1
    done
}

# The server picks a free display and names it once it listens.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for "the virtual display" 30 test -s "$WORK/display"
export DISPLAY=:$(cat "$WORK/display")
wait_for "the virtual display to answer" 30 xdpyinfo
# A host that dies or shows no window within a minute on a loaded machine is
# started once more before the test gives up on it.
export NO_AT_BRIDGE=1
for try in 1 2; do
    HOME=$WORK/home doublecmd --config-dir="$WORK/cfg" --no-splash -L "$WORK/in" -R "$WORK/out" >"$WORK/dc.log" 2>&1 &
    dc_pid=$!
    end=$((SECONDS + 60))
    until visible '^Double Commander' >/dev/null 2>&1; do
        kill -0 "$dc_pid" 2>/dev/null && [ $SECONDS -lt $end ] || break
        sleep 0.2
    done
    visible '^Double Commander' >/dev/null 2>&1 && break
    [ $try = 2 ] && fail "no main window"
    echo "NOTE doublecmd: no main window on the first start; starting it again"
    tail -n 15 "$WORK/dc.log"
    stop "$dc_pid"
done
main=$(visible '^Double Commander' | head -1)
xdotool windowmove "$main" 0 0 windowsize "$main" 1280 800
xdotool windowfocus --sync "$main"
sleep 1

# Left panel: the sample, opened by its extension; every entry out with F5.
key Down Return
copy ctrl+a
wait_for "the first copy" 20 same_files
wait_for "the end of the first copy" 20 idle

# Again over stale copies: the host asks, the user answers "Overwrite All".
for f in "$WORK"/out/*; do echo stale >"$f"; touch -d '2020-01-01' "$f"; done
copy ctrl+a
wait_for "the overwrite question" 10 visible 'Waiting for user response'
key alt+a
wait_for "the overwritten copies" 20 same_files
wait_for "the end of the second copy" 20 idle

# Right panel: the Hrip archive that came out (the last name).
key Tab End Return
sleep 1.5
if [ -n "$SHOT" ]; then import -window root "$SHOT" || fail "no screenshot"; fi

# Its directory record (listed first, as a folder) into the left panel's
# folder, which the left panel shows once it leaves the sample.
folder=$("$HOST" --plugin "$MODULE" list "$WORK/out/2059.hrp" | sed -n 's/^.\{42\}  dir   //p' | head -1)
[ -n "$folder" ] || fail "no directory record in 2059.hrp"
key Tab BackSpace
key Tab Down
copy
wait_for "the directory record as a folder" 20 test -d "$WORK/in/$folder"
# ---- The configuration dialog ----------------------------------------------
# The forms are placed by the host (centred on the screen, no window manager):
# items are clicked at their place in the form.
click_in() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)) click 1
    sleep 0.7
}
gone() { ! visible "$1"; }
# configure: the plugin options' Configure button; sets dialog.
configure() {
    xdotool mousemove 1133 716 click 1
    wait_for "the configuration dialog" 10 visible '^Zantor config$'
    dialog=$(visible '^Zantor config$' | head -1)
    sleep 1
}
SHOTS=$(dirname "${SHOT:-$WORK/x}")

# Configuration > Options > Plugins > Plugins WCX, through the command line
# (which runs commands only outside archives).
key BackSpace  # the right panel leaves the Hrip archive, back to out/
xdotool mousemove 700 761 click 1
sleep 0.5
xdotool type --delay 40 cm_ConfigPlugins
key Return
wait_for "the plugin options" 10 visible '^Options$'
options=$(visible '^Options$' | head -1)
xdotool windowmove "$options" 0 0 windowsize "$options" 1200 780
sleep 1
xdotool windowfocus --sync "$options"
key Down Down

configure
click_in "$dialog" 62 236  # Drelmo compatible
key Escape                 # Cancel
wait_for "Cancel to close the dialog" 10 gone '^Zantor config$'
[ -e "$CFG" ] && fail "Cancel wrote $CFG"

configure
click_in "$dialog" 62 236  # Drelmo compatible
[ -n "$SHOT" ] && { import -window "$dialog" "$SHOTS/doublecmd-config-dialog.png" || fail "no screenshot"; }
click_in "$dialog" 278 428  # Advanced... of the Hrust 1 deep scan
wait_for "the advanced dialog" 10 visible '^Hrust 1 deep scan: advanced settings$'
advanced=$(visible '^Hrust 1 deep scan: advanced settings$' | head -1)
sleep 1
[ -n "$SHOT" ] && { import -window "$advanced" "$SHOTS/doublecmd-scan-settings-dialog.png" || fail "no screenshot"; }
key Escape
wait_for "the advanced dialog to close" 10 gone 'advanced settings$'
click_in "$dialog" 321 653  # OK
wait_for "OK to close the dialog" 10 gone '^Zantor config$'
tr -d '\r' <"$CFG" 2>/dev/null | grep -qx 'DrelmoCompatible=1' || fail "OK did not write DrelmoCompatible=1 to $CFG"
key Escape  # the plugin options
wait_for "the plugin options to close" 10 gone '^Options$'

# The sample again, now listed under the new setting: its copies are what
# zantor extracts with it, and some name differs from the first listing.
"$HOST" --plugin "$MODULE" extract "$SAMPLE" "$WORK/expected2" >"$WORK/expected2.log" 2>&1 ||
    fail "zantor extract with the new setting failed (see $WORK/expected2.log)"
diff -q <(ls "$WORK/expected") <(ls "$WORK/expected2") >/dev/null && fail "the setting changed no name"
xdotool windowfocus --sync "$main"
xdotool mousemove 960 650 click 1  # below the right panel's entries: the panels take the keys again
sleep 0.5
rm -rf "${WORK:?}"/out/*
key Tab End Return  # the left panel opens the sample
copy ctrl+a
wait_for "the copies under the new setting" 20 same_files "$WORK/expected2"
wait_for "the end of the last copy" 20 idle

# copy_member: F5 on the archive's member (its first entry), to the other
# panel's folder; the keys after it go to the panels again.
copy_member() {
    copy Home Down
    # The progress window takes the focus.
    sleep 1
    xdotool windowfocus --sync "$main"
}
temporaries() { ls "$WORK/out" | grep -c '^~zantor.*\.tmp$'; }
growing() {
    local before
    before=$(du -b "$WORK"/out/~zantor*.tmp 2>/dev/null | awk '{ s += $1 } END { print s + 0 }')
    sleep 0.5
    [ "$(du -b "$WORK"/out/~zantor*.tmp 2>/dev/null | awk '{ s += $1 } END { print s + 0 }')" -gt "$before" ]
}
both_running() { [ "$(temporaries)" -eq 2 ]; }
cp -p "$WORK"/big/*.hrp "$WORK/in/"

# ---- Progress, Cancel, two copies at once ------------------------------------
# The left panel leaves the sample for "in" and enters c.hrp: its member is
# copied while the progress dialog moves, then cancelled.
key BackSpace
key End Up Return
sleep 1
copy_member
wait_for "the progress dialog" 10 visible 'Extracting'
wait_for "the member's bytes" 10 growing
if [ -n "$PROGRESS_SHOT" ]; then import -window root "$PROGRESS_SHOT" || fail "no progress screenshot"; fi
# Cancel sits near the bottom right of the progress window.
progress=$(visible 'Extracting' | head -1)
eval "$(xdotool getwindowgeometry --shell "$progress")"
xdotool mousemove --window "$progress" $((WIDTH - 100)) $((HEIGHT - 20)) click 1
wait_for "the cancelled copy to end" 20 idle
ls "$WORK/out" | grep -q 'bigc\|^~zantor' && fail "a cancelled copy left $(ls "$WORK/out")"

# The members of a.hrp and b.hrp, the second copy started while the first
# runs: both run at the same time.
key BackSpace
key End Up Up Up Return
sleep 1
copy_member
key BackSpace
key End Up Up Return
sleep 1
copy_member
wait_for "two copies at the same time" 20 both_running
wait_for "the end of both copies" 90 idle
for a in biga bigb; do
    got=$(ls "$WORK/out" | grep "$a") || fail "no $a in out: $(ls "$WORK/out")"
    cmp -s "$WORK/big/expected/$BIG" "$WORK/out/$got" || fail "$got differs from zantor's $BIG"
done
[ "$(temporaries)" -eq 0 ] || fail "temporary files left in out"
# The 4000 MiB of copies would only fill the disk of the stages after this one.
rm -rf "$WORK/big" "$WORK"/out/big*
echo "PASS doublecmd"

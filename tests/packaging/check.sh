#!/bin/bash
# Checks the release packages as a user meets them.
#
#   tests/packaging/check.sh VERSION [--zip ZIP W64_BUILD] [--deb DEB]
#
# --zip: the plugin package holds exactly its five files; pluginst.inf is an
#   INI file with the keys the file manager's installer reads; both modules
#   are of their machine and carry a version resource with VERSION (read back
#   with MinGW windres), as does zantor.exe of W64_BUILD; that zantor.exe,
#   put beside the unpacked Zantor.wcx64, prints VERSION and lists the sample
#   under 64-bit Wine (WINEPREFIX, default W64_BUILD-package-wine).
# --deb: the control fields and the file list, lintian (no errors, no
#   warnings but the accepted ones of the README), then, as root: apt-get
#   install, the installed host's version, listing and settings file, and
#   apt-get purge leaving nothing behind.
# Prints PASS, FAIL or SKIP per check; exits non-zero when any failed.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
SAMPLE=$ROOT/samples/zantor-sample.bin
WINE=/usr/lib/wine/wine64
# lintian warnings the README accepts, with its reasons
ACCEPTED_WARNINGS=()

version=${1:?usage: check.sh VERSION [--zip ZIP W64_BUILD] [--deb DEB]}
shift
zip= w64= deb=
while [ $# -gt 0 ]; do
    case $1 in
        --zip) zip=$2 w64=$3; shift 3 ;;
        --deb) deb=$2; shift 2 ;;
        *) echo "usage: check.sh VERSION [--zip ZIP W64_BUILD] [--deb DEB]" >&2; exit 2 ;;
    esac
done

failed=0
pass() { echo "PASS $*"; }
fail() { echo "FAIL $*"; failed=1; }
# expect NAME COMMAND...: PASS when the command succeeds
expect() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A listing of the sample without the archive line and the date-times (the
# file's own time, in the local zone): what tests/packaging/sample-list.txt holds.
listing() {
    tr -d '\r' <"$1" | tail -n +2 |
        sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/DATE-TIME          /'
}
same_listing() { listing "$1" | diff -u "$HERE/sample-list.txt" - >&2; }

# ---- the plugin package ----------------------------------------------------

# version_resource WINDRES FILE: the FILE's version resource names VERSION, the
# product and the file itself
version_resource() {
    local rc=$work/$(basename "$2").rc want
    "$1" -i "$2" -O rc -o "$rc" 2>/dev/null || return 1
    local numbers=${version//./, }
    for want in "FILEVERSION $numbers, 0" "PRODUCTVERSION $numbers, 0" \
        "VALUE \"FileVersion\", \"$version\"" "VALUE \"ProductVersion\", \"$version\"" \
        'VALUE "ProductName", "Zantor"' "VALUE \"OriginalFilename\", \"$(basename "$2")\"" \
        'VALUE "LegalCopyright", "Copyright ' 'VALUE "FileDescription", "Zantor '; do
        grep -qF "$want" "$rc" || { echo "$2: no $want" >&2; return 1; }
    done
}

machine() { x86_64-w64-mingw32-objdump -f "$1" 2>/dev/null | grep -q "file format $2\$"; }

pluginst_inf() {
    python3 - "$1" "$version" <<'PY'
import configparser, sys
ini = configparser.ConfigParser(interpolation=None)
with open(sys.argv[1], encoding="ascii", newline="") as f:
    text = f.read()
assert all(line.endswith("\r") for line in text.split("\n")[:-1]), "lines end in CR LF"
ini.read_string(text)
assert ini.sections() == ["plugininstall"], ini.sections()
keys = dict(ini["plugininstall"])
want = {"type": "wcx", "file": "Zantor.wcx", "defaultdir": "Zantor", "defaultextension": "hrp"}
assert set(keys) == set(want) | {"description"}, sorted(keys)
assert all(keys[k] == v for k, v in want.items()), keys
assert sys.argv[2] in keys["description"], keys["description"]
PY
}

# wine_run OUT ARGS...: zantor.exe of the unpacked package under Wine
wine_run() {
    local out=$1
    shift
    (cd "$work/zip" && WINEDEBUG=-all timeout -k 10 120 "$WINE" ./zantor.exe "$@" >"$out" 2>&1 </dev/null)
}

check_zip() {
    local names
    names=$(unzip -Z1 "$zip" 2>/dev/null | sort | tr '\n' ' ')
    expect "zip: holds exactly Zantor.wcx, Zantor.wcx64, pluginst.inf, readme.txt, LICENSE.txt" \
        [ "$names" = "LICENSE.txt Zantor.wcx Zantor.wcx64 pluginst.inf readme.txt " ]
    mkdir -p "$work/zip"
    unzip -q -o "$zip" -d "$work/zip" || return
    expect "zip: pluginst.inf is INI with the installer's keys" pluginst_inf "$work/zip/pluginst.inf"
    expect "zip: readme.txt names version $version and the licence" \
        grep -q "Zantor $version.*MIT licence" <(tr -d '\r' <"$work/zip/readme.txt" | tr '\n' ' ')
    expect "zip: Zantor.wcx is x86" machine "$work/zip/Zantor.wcx" pei-i386
    expect "zip: Zantor.wcx64 is x86-64" machine "$work/zip/Zantor.wcx64" pei-x86-64
    expect "zip: Zantor.wcx carries version $version" version_resource i686-w64-mingw32-windres "$work/zip/Zantor.wcx"
    expect "zip: Zantor.wcx64 carries version $version" \
        version_resource x86_64-w64-mingw32-windres "$work/zip/Zantor.wcx64"
    cp "$w64/src/zantor.exe" "$work/zip/" || return
    expect "w64: zantor.exe carries version $version" version_resource x86_64-w64-mingw32-windres "$work/zip/zantor.exe"
    export WINEPREFIX=${WINEPREFIX:-$w64-package-wine}
    wine_run "$work/version.out" --version
    expect "wine: zantor.exe --version prints $version" [ "$(tr -d '\r' <"$work/version.out")" = "zantor $version" ]
    wine_run "$work/list.out" list "Z:${SAMPLE//\//\\}"
    expect "wine: zantor.exe lists the sample with Zantor.wcx64 from the zip" same_listing "$work/list.out"
}

# ---- the Debian package ----------------------------------------------------

control() {
    local arch
    arch=$(dpkg --print-architecture)
    field() { dpkg-deb --field "$deb" "$1"; }
    [ "$(basename "$deb")" = "zantor_${version}_$arch.deb" ] || { echo "file name $deb" >&2; return 1; }
    [ "$(field Package)" = zantor ] && [ "$(field Version)" = "$version" ] &&
        [ "$(field Architecture)" = "$arch" ] && [ "$(field Section)" = utils ] &&
        [ "$(field Priority)" = optional ] && [ -n "$(field Maintainer)" ] &&
        [ -n "$(field Description)" ] || { dpkg-deb --info "$deb" >&2; return 1; }
    # computed from the binaries by dpkg-shlibdeps
    field Depends | grep -q 'libc6 (>= [0-9.]*)' && field Depends | grep -q 'libstdc++6 (>= [0-9.]*)' ||
        { echo "Depends: $(field Depends)" >&2; return 1; }
}

# The files (not folders) with their modes; every path below /usr, owned by root.
CONTENTS="-rw-r--r-- ./usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)/zantor/Zantor.wcx
-rw-r--r-- ./usr/share/doc/zantor/README.md.gz
-rw-r--r-- ./usr/share/doc/zantor/changelog.gz
-rw-r--r-- ./usr/share/doc/zantor/copyright
-rw-r--r-- ./usr/share/man/man1/zantor.1.gz
-rwxr-xr-x ./usr/bin/zantor"

contents() {
    dpkg-deb --contents "$deb" >"$work/contents" || return 1
    awk '$2 != "root/root" || $6 !~ /^\.\/usr\// { bad = 1; print "not root-owned or outside /usr: " $0 }
         END { exit bad }' "$work/contents" >&2 || return 1
    awk '$1 !~ /^d/ { print $1, $6 }' "$work/contents" | LC_ALL=C sort | diff -u <(echo "$CONTENTS") - >&2
}

lintian_clean() {
    lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
    cat "$work/lintian" >&2
    local tag ok=0
    grep -q '^E: ' "$work/lintian" && ok=1
    for tag in $(awk '/^W: / { print $3 }' "$work/lintian" | sort -u); do
        case " ${ACCEPTED_WARNINGS[*]} " in
            *" $tag "*) ;;
            *) echo "warning not accepted in the README: $tag" >&2; ok=1 ;;
        esac
    done
    return $ok
}

# The installed module takes its settings from the user's folder: the host
# names that file, and a setting in it changes what the module lists (a
# Drelmo-style name).
installed_settings() {
    local home=$work/home
    mkdir -p "$home/zantor"
    printf '[Zantor]\r\nDrelmoCompatible=1\r\n' >"$home/zantor/Zantor.cfg"
    [ "$(cd / && XDG_CONFIG_HOME=$home zantor config | head -n 1)" = "config file: $home/zantor/Zantor.cfg" ] &&
        (cd / && XDG_CONFIG_HOME=$home zantor list "$SAMPLE") | grep -q ' 0900 readme\.84 '
}

leaves_nothing() {
    ! dpkg-query -W zantor >/dev/null 2>&1 || return 1
    local path left=0
    # the files, and the folders that only the package has
    for path in $(awk '{ print substr($2, 2) }' <<<"$CONTENTS") /usr/share/doc/zantor \
        "$(dirname "$(awk '/Zantor.wcx/ { print substr($2, 2) }' <<<"$CONTENTS")")"; do
        [ -e "$path" ] && { echo "left behind: $path" >&2; left=1; }
    done
    return $left
}

# apt_get ARGS...: apt-get without questions, its output to standard error
apt_get() {
    DEBIAN_FRONTEND=noninteractive apt-get -y -qq -o DPkg::Lock::Timeout=300 "$@" </dev/null >&2
}

check_deb() {
    expect "deb: control fields, computed Depends" control
    expect "deb: file list, modes, owners, all below /usr" contents
    if command -v lintian >/dev/null; then
        expect "deb: lintian reports no error and no unaccepted warning" lintian_clean
    else
        echo "SKIP deb: lintian (not installed)"
    fi
    if [ "$(id -u)" != 0 ]; then
        echo "SKIP deb: install and remove (needs root)"
        return
    fi
    expect "deb: apt-get install" apt_get install "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
    expect "deb: zantor is /usr/bin/zantor" [ "$(command -v zantor)" = /usr/bin/zantor ]
    expect "deb: zantor --version prints $version" [ "$(cd / && zantor --version)" = "zantor $version" ]
    (cd / && zantor list "$SAMPLE" >"$work/installed-list.out" 2>&1)
    expect "deb: zantor lists the sample with the installed module" same_listing "$work/installed-list.out"
    expect "deb: the installed module reads the user's settings file" installed_settings
    expect "deb: apt-get purge" apt_get purge zantor
    expect "deb: nothing left after purge" leaves_nothing
}

if [ -n "$zip" ]; then
    if [ -f "$zip" ]; then check_zip; else fail "zip: $zip is missing"; fi
fi
if [ -n "$deb" ]; then
    if [ -f "$deb" ]; then check_deb; else fail "deb: $deb is missing"; fi
fi
exit $failed

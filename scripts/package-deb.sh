#!/bin/bash
# Makes the Debian package zantor_VERSION_ARCH.deb: a Release build of the
# Linux module and the command-line host in BUILD, configured for the prefix
# /usr with Debian's hardening flags (dpkg-buildflags), then CPack's DEB
# generator (packaging/CMakeLists.txt), whose Depends come from dpkg-shlibdeps.
#
# Usage: scripts/package-deb.sh [BUILD [OUT_DIR]]   (defaults: build/deb, build/packages)
# Needs cmake, g++, dpkg-dev and file. Prints the path of the package.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$ROOT/build/deb}
out=${2:-$ROOT/build/packages}

# The flags of a Debian package build, with every hardening option;
# -ffile-prefix-map keeps the build folder out of the binaries.
cd "$ROOT"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZANTOR_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" --target zantor -j"${ZANTOR_JOBS:-2}" >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/zantor_"$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"_*.deb

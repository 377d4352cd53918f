#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Quillet3 developer entry point.
#   ./build.sh run         install missing Debian packages, build (Release), launch
#   ./build.sh test        the same set-up and what the tests use, then the whole
#                          test suite through CTest (warnings are errors; a test
#                          whose tool is missing fails instead of being skipped)
#   ./build.sh package     install what packaging needs, build the .deb in build/
#   ./build.sh fuzz [SEC]  run each fuzz target for SEC seconds (default 600)
#   ./build.sh bench [REV] build and run the benchmarks; with REV (a git revision),
#                          start-up and memory also against that build
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build="$here/build"
fuzzbuild="$here/build-fuzz"
jobs=$(nproc 2>/dev/null || echo 2)

# Debian packages: what building and running needs, and what the tests add.
run_packages="g++ make cmake pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev fonts-noto-cjk
  qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libxcb1-dev qt6-translations-l10n
  libcfitsio-dev liberfa-dev zlib1g-dev"
package_packages="dpkg-dev file"
# Each test checks for its own tools at its start and names the package missing.
test_packages="$package_packages git xvfb xauth xdotool x11-utils x11-apps python3 python3-xlib
  imagemagick xclip openbox at-spi2-core python3-pyatspi dbus-daemon util-linux clang-format
  clang libclang-rt-14-dev desktop-file-utils lintian appstream reuse man-db
  qt6-gtk-platformtheme"

missing_packages() {
    for p in "$@"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' \
            || printf '%s ' "$p"
    done
}

install_packages() {
    purpose=$1
    shift
    command -v dpkg-query >/dev/null 2>&1 || {
        echo "build.sh: this is not a Debian system; install the equivalents of: $*" >&2
        exit 1
    }
    # shellcheck disable=SC2086
    missing=$(missing_packages $*)
    [ -z "$missing" ] && return 0
    echo "build.sh: installing Debian packages needed $purpose: $missing"
    if [ "$(id -u)" -eq 0 ]; then
        as_root=""
    elif command -v sudo >/dev/null 2>&1; then
        as_root="sudo"
    else
        echo "build.sh: not root and no sudo; as root, run: apt-get install $missing" >&2
        exit 1
    fi
    # apt's own chatter goes to a log that is shown only when something fails.
    log=$(mktemp)
    # shellcheck disable=SC2086
    if ! { $as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
           $as_root env DEBIAN_FRONTEND=noninteractive \
               apt-get install -y -qq --no-install-recommends $missing; } >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "build.sh: installing the packages failed (see above)" >&2
        exit 1
    fi
    rm -f "$log"
    echo "build.sh: packages installed."
}

# Configures through the preset on first use, or again when options are given;
# builds incrementally. CMakePresets.json holds every configuration.
configure_and_build() {
    preset=$1
    shift
    dir=$(build_dir "$preset")
    if [ ! -f "$dir/CMakeCache.txt" ] || [ $# -gt 0 ]; then
        (cd "$here" && cmake --preset "$preset" "$@" >/dev/null)
    fi
    (cd "$here" && cmake --build --preset "$preset" -j "$jobs")
}

build_dir() {
    case "$1" in
    release) echo "$build" ;;
    fuzz) echo "$fuzzbuild" ;;
    *) echo "$here/build-$1" ;;
    esac
}

command=${1:-run}
case "$command" in
run)
    install_packages "to build and run Quillet3" $run_packages
    configure_and_build release
    # As the desktop entry starts it: in ~/Quillet3 (made on first use), or the
    # star field there used last; compdata.txt is kept in that folder.
    QUILLET3_START=desktop exec "$build/app/quillet3"
    ;;
test)
    install_packages "to build and test Quillet3" $run_packages $test_packages
    configure_and_build ci
    (cd "$here" && ctest --preset ci -j "$jobs")
    # The fuzz targets need clang's sanitizer runtime; each runs for a bounded time.
    configure_and_build fuzz
    (cd "$here" && ctest --preset fuzz)
    ;;
package)
    install_packages "to build the Debian package" $run_packages $package_packages
    configure_and_build release
    (cd "$build" && cpack)
    ;;
fuzz)
    install_packages "to build and run the fuzz targets" $run_packages clang libclang-rt-14-dev
    configure_and_build fuzz
    (cd "$here" && QUILLET3_FUZZ_SECONDS=${2:-600} ctest --preset fuzz -V)
    ;;
bench)
    install_packages "to build and run the benchmarks" $run_packages xvfb xauth python3 python3-xlib
    configure_and_build release -DQUILLET3_BUILD_BENCH=ON
    baseline=""
    if [ -n "${2:-}" ]; then
        # The earlier build from a work tree of its own, measured in the same run.
        base="$here/build-baseline"
        rm -rf "$base"
        git -C "$here" worktree prune
        git -C "$here" worktree add --detach "$base/source" "$2" >/dev/null
        cmake -S "$base/source" -B "$base/build" -DCMAKE_BUILD_TYPE=Release \
            -DQUILLET3_BUILD_TESTS=OFF >/dev/null
        cmake --build "$base/build" --target quillet3 -j "$jobs" >/dev/null
        baseline="$base/build/app/quillet3"
    fi
    # Python would set LC_CTYPE for the programs it starts under LANG=C.
    PYTHONCOERCECLOCALE=0 /usr/bin/python3 "$here/bench/run_benchmarks.py" "$build" $baseline
    ;;
*)
    echo "usage: $0 [run|test|package|fuzz [seconds]|bench]" >&2
    exit 2
    ;;
esac

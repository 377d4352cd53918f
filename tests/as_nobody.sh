#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# as_nobody.sh TEST [ARGUMENTS]: runs a Qt Test executable as a user without
# privileges (root reads and writes every file, so some failures need another
# user). Not root: runs it as it is. Root without setpriv: skipped (77), or a
# failure where every test must run (QUILLET3_REQUIRE_ALL_TESTS).
set -eu
test=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    exec "$test" "$@"
fi
if ! command -v setpriv >/dev/null 2>&1; then
    echo "missing setpriv (Debian package util-linux)"
    [ -n "${QUILLET3_REQUIRE_ALL_TESTS:-}" ] && exit 1
    exit 77
fi
# The build folder may be closed to other users: run a copy from a folder of its own.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$test" "$dir/"
chown -R nobody "$dir"
chmod 755 "$dir"
cd "$dir"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$dir" TMPDIR="$dir" XDG_RUNTIME_DIR="$dir" "./$(basename "$test")" "$@"

#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# as_nobody.sh TEST FUNCTION: runs one function of a Qt Test executable as a user
# without privileges (root reads every file, so some failures need another user).
# Not root: runs it as it is. Root without setpriv: skipped (77).
set -eu
test=$1 function=$2
if [ "$(id -u)" -ne 0 ]; then
    exec "$test" "$function"
fi
command -v setpriv >/dev/null 2>&1 || { echo "setpriv is missing: skipped"; exit 77; }
# The build folder may be closed to other users: run a copy from a folder of its own.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$test" "$dir/"
chown -R nobody "$dir"
chmod 755 "$dir"
cd "$dir"
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$dir" TMPDIR="$dir" XDG_RUNTIME_DIR="$dir" "./$(basename "$test")" "$function"

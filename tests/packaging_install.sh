#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# packaging_install.sh BUILD SOURCE: installs into a temporary prefix and checks
# the desktop entry, the icons and the launcher.
set -eu
build=$1 source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
desktop-file-validate "$source/packaging/quillet3.desktop"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/quillet3 bin/quillet3-report bin/quillet3-desktop share/applications/quillet3.desktop \
         share/icons/hicolor/64x64/apps/quillet3.png share/icons/hicolor/scalable/apps/quillet3.svg; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/quillet3.desktop"
grep -q '^Categories=.*Science;.*Astronomy;' "$prefix/share/applications/quillet3.desktop"
file "$prefix/share/icons/hicolor/64x64/apps/quillet3.png" | grep -q '64 x 64'
# The launcher makes its folder and starts quillet3 there.
home=$(mktemp -d)
mkdir -p "$home/bin"
printf '#!/bin/sh\npwd > "%s/ran-in"\n' "$home" > "$home/bin/quillet3"
chmod +x "$home/bin/quillet3"
PATH="$home/bin:$PATH" HOME="$home" sh "$prefix/bin/quillet3-desktop"
[ "$(cat "$home/ran-in")" = "$home/Quillet3" ] || { echo "launcher ran in $(cat "$home/ran-in")"; exit 1; }
rm -rf "$home"
echo "packaging: installed files and desktop entry are valid"

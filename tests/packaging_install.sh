#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Quillet3 developers
# SPDX-License-Identifier: GPL-3.0-or-later
# packaging_install.sh BUILD SOURCE: installs into a temporary prefix and checks
# the desktop entry, the metadata, the manual pages, the icons and the
# launcher; builds the Debian package and has lintian and appstreamcli judge
# it; and checks that every file of the tree states its licence (reuse).
set -eu
build=$1 source=$2
# What this check needs, and the Debian package that brings it.
for need in desktop-file-validate:desktop-file-utils file:file cpack:cmake dpkg-deb:dpkg \
            dpkg-shlibdeps:dpkg-dev lintian:lintian appstreamcli:appstream reuse:reuse git:git \
            man:man-db; do
    command -v "${need%%:*}" >/dev/null 2>&1 \
        || { echo "missing ${need%%:*} (Debian package ${need#*:})"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
id=invalid.quillet3.quillet3
version=$(sed -n 's/^#define QUILLET3_VERSION "\(.*\)"$/\1/p' "$build/quillet3_version.h")
desktop-file-validate "$source/packaging/$id.desktop"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/quillet3 bin/quillet3-report bin/quillet3-desktop share/applications/$id.desktop \
         share/metainfo/$id.metainfo.xml share/doc/quillet3/copyright share/doc/quillet3/changelog.gz \
         share/man/man1/quillet3.1.gz share/man/man1/quillet3-report.1.gz \
         share/man/man1/quillet3-desktop.1.gz lib/quillet3/plugins/libquillet3-windows.so \
         share/icons/hicolor/64x64/apps/quillet3.png share/icons/hicolor/scalable/apps/quillet3.svg; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
grep -q '^Categories=.*Science;.*Astronomy;' "$prefix/share/applications/$id.desktop"
file "$prefix/share/icons/hicolor/64x64/apps/quillet3.png" | grep -q '64 x 64'
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml"
[ "$("$prefix/bin/quillet3-report" --version)" = "quillet3-report $version" ]

# Every option --help lists is in the manual page.
zcat "$prefix/share/man/man1/quillet3-report.1.gz" > "$work/report.1"
for option in $("$prefix/bin/quillet3-report" --help | grep -o '^  --[a-z-]*'); do
    grep -q "^\.B[IR]* \\\\-\\\\-$(echo "${option#--}" | sed 's/-/\\\\-/g')\b" "$work/report.1" \
        || { echo "quillet3-report(1) lacks $option"; exit 1; }
done

# The manual pages read without a word from man, in the C locale too.
for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done

# The launcher starts quillet3 as the desktop's: it opens the data folder or
# the star field used last (the window tests and the fields scenario see it do so).
home=$work/home
mkdir -p "$home/bin"
printf '#!/bin/sh\necho "$QUILLET3_START" > "%s/started-as"\n' "$home" > "$home/bin/quillet3"
chmod +x "$home/bin/quillet3"
PATH="$home/bin:$PATH" HOME="$home" sh "$prefix/bin/quillet3-desktop"
[ "$(cat "$home/started-as")" = "desktop" ] || { echo "launcher started quillet3 as '$(cat "$home/started-as")'"; exit 1; }

# The Debian package: no lintian error or warning, valid AppStream metadata.
(cd "$build" && cpack -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$work/package/quillet3_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "no package $deb"; cat "$work/cpack.log"; exit 1; }
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' > "$work/lintian.log" || true
if grep -q '^[EW]:' "$work/lintian.log"; then
    echo "lintian:"; cat "$work/lintian.log"; exit 1
fi
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
appstreamcli validate --no-net "$work/unpacked/usr/share/metainfo/$id.metainfo.xml" > "$work/appstream.log" 2>&1 \
    || { cat "$work/appstream.log"; exit 1; }
if grep -q '^[EW]:' "$work/appstream.log"; then
    cat "$work/appstream.log"; exit 1
fi

(cd "$source" && reuse lint >"$work/reuse.log" 2>&1) || { cat "$work/reuse.log"; exit 1; }
echo "packaging: installed files, desktop entry, metadata, manual pages, package and licences are valid"

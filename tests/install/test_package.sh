#!/bin/bash
# The Debian package, made by CPack as `make package` makes it but into a
# folder of its own: one sorabe_VERSION_ARCH.deb holding exactly the
# installed files (owned by root, programs stripped), Depends computed from
# the shared libraries plus the font, and no maintainer script that could
# touch a user's histories.
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"

ARCH=$(dpkg --print-architecture)
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$T/out" >"$T/cpack.log" 2>&1 || { cat "$T/cpack.log"; fail "cpack"; }
DEBS=$(find "$T/out" -maxdepth 1 -name '*.deb' -printf '%f\n')
[ "$DEBS" = "sorabe_${VERSION}_${ARCH}.deb" ] || fail "cpack made [$DEBS], not sorabe_${VERSION}_${ARCH}.deb"
DEB="$T/out/$DEBS"

field() { dpkg-deb --field "$DEB" "$1"; }
[ "$(field Package)" = sorabe ] && [ "$(field Version)" = "$VERSION" ] && [ "$(field Architecture)" = "$ARCH" ] ||
  fail "control names $(field Package) $(field Version) $(field Architecture)"
DEPENDS=$(field Depends)
NAMES=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$DEPENDS")
for need in fonts-vlgothic libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libcanberra0; do
  grep -qxF "$need" <<<"$NAMES" || fail "Depends lacks $need: $DEPENDS"
done

# Control members: the control file and the checksums, no scripts at all.
dpkg-deb --ctrl-tarfile "$DEB" | tar -t | sed 's|^\./||; /^$/d' | sort >"$T/control-members"
printf '%s\n' control md5sums | diff -u - "$T/control-members" || fail "unexpected control members"

dpkg-deb --contents "$DEB" >"$T/contents"
awk '$1 !~ /^d/ {sub(/^\.\/usr\//, "", $6); print $6}' "$T/contents" | LC_ALL=C sort >"$T/files"
diff -u <(expected_files) "$T/files" || fail "package files differ from the list of the install"
awk '$2 != "root/root" {print; bad=1} END {exit bad}' "$T/contents" || fail "files not owned by root"

dpkg-deb -x "$DEB" "$T/root"
grep -q 'qt6-wayland' <<<"$(field Recommends)" || fail "Recommends lacks qt6-wayland: $(field Recommends)"
for program in bin/sorabe libexec/sorabe/Sorabe libexec/sorabe/sorabe-alert; do
  file "$T/root/usr/$program" | grep -q ', stripped' || fail "$program is not stripped"
  ! readelf -S "$T/root/usr/$program" | grep -q ' \.comment ' || fail "$program keeps its .comment section"
done
desktop-file-validate "$T/root/usr/share/applications/$APP_ID.desktop" || fail "packaged desktop entry"
echo "package: $DEBS, $(stat -c %s "$DEB") bytes, Installed-Size $(field Installed-Size) KiB; Depends: $DEPENDS"

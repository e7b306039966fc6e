# Shared steps of the installation tests: a scratch folder, a staged install
# (DESTDIR) of the build, and the list of files an install must hold.
# Usage: source this with CMAKE, BUILD, SOURCE and VERSION set.

set -euo pipefail

T=$(mktemp -d)
chmod 755 "$T"   # other users (the unprivileged cases) pass through
trap 'rm -rf "$T"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

APP_ID=org.sorabe.Sorabe

# Installs the build under $1 with the prefix /usr; sets STAGE to the prefix.
stage() {
  DESTDIR="$1" "$CMAKE" --install "$BUILD" --prefix /usr >/dev/null
  STAGE="$1/usr"
}

# Every file (and link) under a prefix, as paths relative to it.
installed_files() {
  (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
}

expected_files() {
  LC_ALL=C sort <<LIST
bin/sorabe
libexec/sorabe/Sorabe
libexec/sorabe/sorabe-alert
share/applications/$APP_ID.desktop
share/doc/sorabe/changelog.gz
share/doc/sorabe/copyright
share/icons/hicolor/128x128/apps/$APP_ID.png
share/icons/hicolor/256x256/apps/$APP_ID.png
share/icons/hicolor/32x32/apps/$APP_ID.png
share/icons/hicolor/48x48/apps/$APP_ID.png
share/icons/hicolor/64x64/apps/$APP_ID.png
share/icons/hicolor/scalable/apps/$APP_ID.svg
share/man/man1/sorabe.1.gz
share/metainfo/$APP_ID.metainfo.xml
share/sorabe/cd.wav
LIST
}

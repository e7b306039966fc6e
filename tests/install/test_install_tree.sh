#!/bin/bash
# `cmake --install` into a staging folder: exactly the files a desktop install
# needs (no gallery, no tests), with the right modes; the menu entry and the
# metadata validate and agree with each other, with the icons and with the
# project's version; the program file keeps a name whose title is "Sorabe".
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"

stage "$T/stage"
diff -u <(expected_files) <(installed_files "$STAGE") || fail "installed files differ from the list above"

for f in $(installed_files "$STAGE"); do
  mode=$(stat -c %a "$STAGE/$f")
  case "$f" in
    bin/*|libexec/*) want=755 ;;
    *) want=644 ;;
  esac
  [ "$mode" = "$want" ] || fail "$f has mode $mode, not $want"
done

DESKTOP="$STAGE/share/applications/$APP_ID.desktop"
METAINFO="$STAGE/share/metainfo/$APP_ID.metainfo.xml"
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate"
appstreamcli validate --no-net "$METAINFO" >"$T/appstream.log" 2>&1 || { cat "$T/appstream.log"; fail "appstreamcli validate"; }

# What the menu runs is the installed command, with the installed icon.
key() { sed -n "0,/^\[Desktop Action/s/^$1=//p" "$DESKTOP"; }
[ "$(key Exec)" = sorabe ] || fail "Exec is '$(key Exec)'"
[ "$(key Icon)" = "$APP_ID" ] || fail "Icon is '$(key Icon)'"
[ -n "$(key 'Name\[ja\]')" ] && [ -n "$(key 'Comment\[ja\]')" ] && [ -n "$(key 'Keywords\[ja\]')" ] ||
  fail "Japanese name, comment or keywords missing"
grep -q "^Exec=sorabe --progress$" "$DESKTOP" || fail "no progress action"
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$METAINFO" || fail "metainfo names another desktop entry"
for size in 32 48 64 128 256; do
  file "$STAGE/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x${size} icon is not a $size px PNG"
done

# One version everywhere: the project, the command, the newest release of the
# metadata, the Debian changelog.
[ "$("$STAGE/bin/sorabe" --version)" = "sorabe $VERSION" ] || fail "sorabe --version says '$("$STAGE/bin/sorabe" --version)'"
RELEASE=$(grep -o '<release version="[^"]*"' "$METAINFO" | head -1 | cut -d'"' -f2)
[ "$RELEASE" = "$VERSION" ] || fail "newest metadata release is $RELEASE, the project $VERSION"
CHANGELOG=$(zcat "$STAGE/share/doc/sorabe/changelog.gz" | head -1)
[[ "$CHANGELOG" == "sorabe ($VERSION) "* ]] || fail "changelog starts '$CHANGELOG'"

# The copyright file carries the licence of the tree, word for word.
diff <(sed -n '/^Permission/,$p' "$SOURCE/LICENSE" | tr -s ' \n' ' ') \
     <(sed -n '/^ Permission/,$p' "$STAGE/share/doc/sorabe/copyright" | sed 's/^ \.\{0,1\}//' | tr -s ' \n' ' ') ||
  fail "copyright file and LICENSE differ"

# The message boxes' title comes from the program file's name: the name
# without folder and from the first "." on, letters after the first lowered.
NAME=$(basename "$STAGE/libexec/sorabe/Sorabe"); NAME=${NAME%%.*}
TITLE="${NAME:0:1}$(printf '%s' "${NAME:1}" | tr '[:upper:]' '[:lower:]')"
[ "$TITLE" = Sorabe ] || fail "the installed program's title would be $TITLE"

# Help and version answer in one screen, without touching any folder.
HOME="$T/nohome" "$STAGE/bin/sorabe" --help >"$T/help"
[ "$(wc -l <"$T/help")" -le 24 ] && [ "$(wc -L <"$T/help")" -le 80 ] || fail "help is larger than one screen"
grep -q -- "--data DIR" "$T/help" || fail "help does not tell --data"
LANG=ja_JP.UTF-8 "$STAGE/bin/sorabe" --help | grep -q -- "--data フォルダ" || fail "no Japanese help"
[ ! -e "$T/nohome" ] || fail "--help made a folder"
echo "install tree: $(installed_files "$STAGE" | wc -l) files, $(du -sk "$STAGE" | cut -f1) KiB"

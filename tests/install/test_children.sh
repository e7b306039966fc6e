#!/bin/bash
# Children on one account, through the installed sorabe command: a child's
# folder and menu entry for any name a person types (the entry valid, its
# Exec line giving back the very folder), a name that is not one folder name
# refused with nothing written, the list with each child's last drill, and
# the removal of a menu entry that never touches a history.
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"

stage "$T/stage"
SORABE="$STAGE/bin/sorabe"
unset DISPLAY WAYLAND_DISPLAY XDG_DATA_HOME
export HOME="$T/home" LC_ALL=C.UTF-8
mkdir -p "$HOME"
DATA="$HOME/.local/share"
APPS="$DATA/applications"

# The arguments of a desktop entry's Exec line, one a line, read by the
# entry rules: string escapes first, then quoting, then %%.
exec_args() {
  python3 - "$1" <<'PY'
import sys
value = None
for line in open(sys.argv[1], encoding="utf-8"):
    if line.startswith("Exec=") and value is None:
        value = line[5:].rstrip("\n")
s, i, out = "", 0, []
while i < len(value):  # string escapes
    if value[i] == "\\" and i + 1 < len(value):
        s += {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}.get(value[i + 1], "\\" + value[i + 1]); i += 2
    else:
        s += value[i]; i += 1
arg, quoted, i, started = "", False, 0, False
while i < len(s):
    c = s[i]
    if quoted and c == "\\": arg += s[i + 1]; i += 2; continue
    if c == '"': quoted = not quoted; started = True
    elif c == " " and not quoted:
        if started or arg: out.append(arg)
        arg, started = "", False
    else: arg += c
    i += 1
if started or arg: out.append(arg)
for a in out: print(a.replace("%%", "%"))
PY
}

# --- names a person types: folder, histories, a valid entry giving back the folder
LONGEST=$(printf 'n%.0s' {1..64})
while IFS= read -r name; do
  out=$("$SORABE" --add-child "$name") || fail "--add-child '$name' failed"
  folder="$DATA/sorabe/children/$name"
  for f in seiseki.dat mas25.dat; do [ -f "$folder/date/$f" ] || fail "'$name': $f missing"; done
  entry=$(grep -lxF "Name=Sorabe ($(printf '%s' "$name" | sed 's/\\/\\\\/g'))" "$APPS"/$APP_ID.Child*.desktop || true)
  [ "$(echo "$entry" | grep -c .)" = 1 ] || fail "'$name': no one entry named for it [$entry] $(grep -h "^Name=" "$APPS"/*.desktop)"
  desktop-file-validate "$entry" || fail "'$name': the entry is not valid"
  printf '%s\n--data\n%s\n' "$SORABE" "$folder" | cmp -s - <(exec_args "$entry") ||
    fail "'$name': Exec gives [$(exec_args "$entry" | tr '\n' '|')]"
  grep -qF "$folder" <<<"$out" && grep -qF "$entry" <<<"$out" || fail "'$name': not told where: $out"
done <<NAMES
はな
Tom O'Neil
  two  spaces
100% "quoted" \$HOME \`x\` back\\slash;(a)|b*?#~<>&
Zoë-Ана_李
$LONGEST
NAMES
[ "$(stat -c %a "$DATA/sorabe/children/はな")" = 700 ] || fail "a child's folder is not private"

# Adding again keeps the histories.
printf 'kept\r\n' >"$DATA/sorabe/children/はな/date/seiseki.dat"
"$SORABE" --add-child はな >/dev/null
[ "$(cat "$DATA/sorabe/children/はな/date/seiseki.dat")" = $'kept\r' ] || fail "adding again changed a history"

# --- refusals: status 2, one line, nothing written anywhere
refuses() {
  local text=$1; shift
  local before; before=$(find "$T" | grep -vx "$T/err" | sort)
  set +e; "$SORABE" "$@" >/dev/null 2>"$T/err"; local got=$?; set -e
  [ "$got" = 2 ] || fail "sorabe $*: status $got [$(cat "$T/err")]"
  grep -qF -- "$text" "$T/err" && [ "$(grep -c . "$T/err")" = 1 ] || fail "sorabe $*: [$(cat "$T/err")] not [$text]"
  [ "$(find "$T" | grep -vx "$T/err" | sort)" = "$before" ] || fail "sorabe $*: something was written: $(diff <(echo "$before") <(find "$T" | grep -vx "$T/err" | sort))"
}
refuses "it contains /"                 --add-child a/b
refuses "it contains /"                 --add-child /
refuses "it is . or .."                 --add-child ..
refuses "it is empty"                   --add-child ''
refuses "it is empty"                   --add-child='  '
refuses "'a\\x0ab' cannot be"          --add-child $'a\nb'
refuses "'\\x1b[31m' cannot be"        --add-child $'\e[31m'
refuses "it contains a control"         --add-child $'tab\there'
refuses "not valid UTF-8"               --add-child $'\xff\xfe'
refuses "longer than 64 bytes"          --add-child "${LONGEST}n"
refuses "not the option '--progress'"   --add-child --progress
refuses "not the option '--x'"          --remove-child --x
refuses "--add-child needs a name"      --add-child
refuses "no other option"               --add-child hana --progress
refuses "no other option"               --data x --add-child hana
refuses "--children takes no other"     --children --grid 25
refuses "it contains /"                 --remove-child ../sorabe

# --- the list: every child, the last drill over both histories
# (Shift-JIS records, newest first)
printf '2026/12/07  98\x93_  \x82\xbd\x82\xb5\x82\xb4\x82\xf1  1:5:3\r\n' >"$DATA/sorabe/children/はな/date/seiseki.dat"
printf '2026/12/08  25\x93_  \x82\xa9\x82\xaf\x82\xb4\x82\xf1  0:4:1\r\n' >"$DATA/sorabe/children/はな/date/mas25.dat"
"$SORABE" --children >"$T/list" || fail "--children failed: $(cat "$T/list")"
grep -q "^はな .*2026-12-08.*25.*mul.*25.*0:04.1" "$T/list" || fail "the last drill of はな: $(cat "$T/list")"
grep -q "^Tom O'Neil .*no drills" "$T/list" || fail "a child without drills: $(cat "$T/list")"
[ "$(grep -c . "$T/list")" -ge 6 ] || fail "not every child listed: $(cat "$T/list")"

# --- removal: the entry goes, the histories stay, and the user is told where
cp "$DATA/sorabe/children/はな/date/seiseki.dat" "$T/before"
out=$("$SORABE" --remove-child はな)
! ls "$APPS" | grep -q "$APP_ID.Child_E3_81_AF_E3_81_AA.desktop" || fail "the entry of はな is still there"
cmp -s "$T/before" "$DATA/sorabe/children/はな/date/seiseki.dat" || fail "removing changed a history"
grep -qF "$DATA/sorabe/children/はな" <<<"$out" || fail "removal did not say where the folder stays: $out"
"$SORABE" --remove-child はな | grep -q "no menu entry" || fail "a second removal"
set +e; "$SORABE" --remove-child nobody 2>"$T/err"; got=$?; set -e
[ "$got" = 1 ] && grep -q "no child named nobody" "$T/err" || fail "removing a child that never was: $got"
echo "children: names, entries, refusals, list and removal as expected"

#!/bin/bash
# The sorabe command against a stand-in drill that records the folder it was
# started in and the arguments it got (and hands --check-only to the real
# drill): the data folder is prepared (made, histories created empty only
# when missing and otherwise kept byte for byte, the sound linked), the
# arguments reach the drill unchanged but for the --sheet file, and a wrong
# command line or a folder that cannot be made or written ends with one
# message and nothing made anywhere.
CMAKE=$1 BUILD=$2 SOURCE=$3 VERSION=$4
source "$(dirname "$0")/common.sh"

stage "$T/stage"
SORABE="$STAGE/bin/sorabe"
DRILL="$STAGE/libexec/sorabe/Sorabe"
mv "$DRILL" "$DRILL.real"
cat >"$DRILL" <<'STANDIN'
#!/bin/sh
[ "$1" = --check-only ] && exec "$0.real" "$@"
{ pwd -P; printf '%s\n' "$0"; } >"$STANDIN_LOG.where"
for a in "$@"; do printf '%s\0' "$a"; done >"$STANDIN_LOG"
STANDIN
chmod 755 "$DRILL"
export STANDIN_LOG="$T/standin.log"
unset DISPLAY WAYLAND_DISPLAY XDG_DATA_HOME   # no box: messages go to stderr only
export HOME="$T/home"
mkdir -p "$HOME" "$T/caller"

# Runs sorabe from $T/caller; the drill must then have started in $1.
run_in() {
  local folder=$1; shift
  rm -f "$STANDIN_LOG" "$STANDIN_LOG.where"
  (cd "$T/caller" && "$SORABE" "$@") || fail "sorabe $* ended with status $?"
  [ -f "$STANDIN_LOG" ] || fail "sorabe $* did not start the drill"
  printf '%s\n%s\n' "$(cd "$folder" && pwd -P)" "$DRILL" | cmp -s - "$STANDIN_LOG.where" ||
    fail "sorabe $*: the drill started as $(tail -1 "$STANDIN_LOG.where") in $(head -1 "$STANDIN_LOG.where"), not in $folder"
}

# A prepared folder: both histories, a link to the installed sound.
check_prepared() {
  for f in seiseki.dat mas25.dat; do [ -f "$1/date/$f" ] || fail "$1/date/$f missing"; done
  [ "$(readlink "$1/cd.wav")" = "$STAGE/share/sorabe/cd.wav" ] || fail "$1/cd.wav is not a link to the installed sound"
}

# --- where the histories live
run_in "$HOME/.local/share/sorabe"
check_prepared "$HOME/.local/share/sorabe"
[ ! -s "$HOME/.local/share/sorabe/date/seiseki.dat" ] && [ ! -s "$HOME/.local/share/sorabe/date/mas25.dat" ] ||
  fail "new histories are not empty"
[ "$(stat -c %a "$HOME/.local" "$HOME/.local/share" "$HOME/.local/share/sorabe" | sort -u)" = 700 ] ||
  fail "the folders made in the home folder are not private"
XDG_DATA_HOME="$T/xdg" run_in "$T/xdg/sorabe"
XDG_DATA_HOME="relative/xdg" run_in "$HOME/.local/share/sorabe"   # ignored, as the rules say
[ ! -e "$T/caller/relative" ] || fail "a relative XDG_DATA_HOME was used"

# --- histories are kept byte for byte; the user's own sound is kept
CHILD="$T/children/hana"
mkdir -p "$CHILD/date"
printf '2026/12/07  98\x93_  \x82\xbd\x82\xb5\x82\xb4\x82\xf1  1:5:3\r\n' >"$CHILD/date/seiseki.dat"
printf 'no final line end' >"$CHILD/date/mas25.dat"
cp "$CHILD/date/seiseki.dat" "$T/seiseki.before"; cp "$CHILD/date/mas25.dat" "$T/mas25.before"
printf 'RIFF' >"$CHILD/cd.wav"
run_in "$CHILD" --data "$CHILD"
cmp "$CHILD/date/seiseki.dat" "$T/seiseki.before" && cmp "$CHILD/date/mas25.dat" "$T/mas25.before" ||
  fail "an existing history changed"
[ "$(cat "$CHILD/cd.wav")" = RIFF ] || fail "the user's own cd.wav was replaced"
[ ! -e "$HOME/.local/share/sorabe-hana" ] || fail "--data also used the default folder"

# --- --data, relative to where the user stands, made when missing
rm -rf "$HOME/.local"
run_in "$T/caller/taro" --data taro
check_prepared "$T/caller/taro"
run_in "$T/caller/jiro" --data=jiro
run_in "$HOME/hana" --data=~/hana                 # as a desktop entry passes it
run_in "$HOME" --data '~'
[ ! -e "$HOME/.local" ] || fail "--data also made the default folder"

# --- the sound follows a moved install; the user's own link stays
mv "$T/stage" "$T/moved"; STAGE="$T/moved/usr"; SORABE="$STAGE/bin/sorabe"; DRILL="$STAGE/libexec/sorabe/Sorabe"
run_in "$T/caller/taro" --data taro
check_prepared "$T/caller/taro"
ln -sfn "$T/seiseki.before" "$T/caller/jiro/cd.wav"
run_in "$T/caller/jiro" --data jiro
[ "$(readlink "$T/caller/jiro/cd.wav")" = "$T/seiseki.before" ] || fail "the user's own cd.wav link was replaced"
mkdir -p "$T/path" && ln -s "$SORABE" "$T/path/sorabe"   # started through a link on the PATH
(cd "$T/caller" && PATH="$T/path:$PATH" sorabe --data taro) && [ -f "$STANDIN_LOG" ] || fail "sorabe through a link"

# --- arguments: everything but --data, --help and --version reaches the drill
# unchanged and in order; the files of --sheet and --csv and the folder of
# --class are made absolute against the folder the user stood in.   forwards ARGS... => EXPECTED...
forwards() {
  local args=() expected=() side=args
  for a in "$@"; do
    if [ "$side" = args ] && [ "$a" = "=>" ]; then side=expected
    elif [ "$side" = args ]; then args+=("$a")
    else expected+=("$a"); fi
  done
  run_in "$T/caller/taro" --data taro "${args[@]}"
  if [ ${#expected[@]} -eq 0 ]; then : >"$T/expected"; else printf '%s\0' "${expected[@]}" >"$T/expected"; fi
  cmp -s "$T/expected" "$STANDIN_LOG" ||
    fail "sorabe ${args[*]}: the drill got [$(tr '\0' '|' <"$STANDIN_LOG")], not [$(tr '\0' '|' <"$T/expected")]"
}
C="$T/caller"
forwards                                           '=>'
forwards --progress                                '=>' --progress
forwards --progress --grid 25                      '=>' --progress --grid 25
forwards --sheet out.pdf --grid 100 --op mul --count 3 --seed 7 \
                                                   '=>' --sheet "$C/out.pdf" --grid 100 --op mul --count 3 --seed 7
forwards --sheet=out.pdf                           '=>' --sheet="$C/out.pdf"
forwards --sheet ../up/s.pdf                       '=>' --sheet "$C/../up/s.pdf"
forwards --sheet=/abs/t.pdf                        '=>' --sheet=/abs/t.pdf
forwards --sheet -                                 '=>' --sheet -
forwards --sheet $'two words $HOME\n*.pdf'         '=>' --sheet "$C/two words \$HOME"$'\n*.pdf'
forwards -platform offscreen --progress            '=>' -platform offscreen --progress
forwards --class 4年2組 --csv out.csv              '=>' --class "$C/4年2組" --csv "$C/out.csv"
forwards --class=/srv/class --csv=-                '=>' --class=/srv/class --csv=-
forwards --class '~/class'                         '=>' --class "$HOME/class"

# --- refusals: a wrong command line (2) or a folder that cannot be made or
# written (1): one message, in Japanese under a Japanese locale, the drill
# not started, and nothing made anywhere, not even part of a long path.
#   refuses STATUS [ja:]EXPECTED-TEXT sorabe-arguments...
refuses() {
  local status=$1 text=$2 lang=C.UTF-8; shift 2
  if [[ $text == ja:* ]]; then lang=ja_JP.UTF-8 text=${text#ja:}; fi
  rm -f "$STANDIN_LOG" "$T/err"
  local before; before=$(find "$T" | sort)
  set +e; (cd "$T/caller" && LC_ALL=$lang "${AS_USER[@]}" "$SORABE" "$@") 2>"$T/err" </dev/null; local got=$?; set -e
  [ "$got" = "$status" ] || fail "sorabe $*: status $got, not $status [$(cat "$T/err")]"
  grep -qF -- "$text" "$T/err" || fail "sorabe $*: message [$(cat "$T/err")] does not say [$text]"
  [ "$(grep -c . "$T/err")" -le 4 ] || fail "sorabe $*: more than one message [$(cat "$T/err")]"
  [ ! -e "$STANDIN_LOG" ] || fail "sorabe $*: the drill was started"
  local after; after=$(find "$T" | grep -vx "$T/err" | sort)
  [ "$after" = "$before" ] || fail "sorabe $*: files were made: $(diff <(echo "$before") <(echo "$after") || true)"
}
AS_USER=()
LONG=$(printf 'x%.0s' {1..300})
touch "$T/a-file"
mkdir -p "$T/blocked" && touch "$T/blocked/date"
mkdir -p "$T/dir-history/date/seiseki.dat"
refuses 2 "--data needs a folder"                            --data
refuses 2 "--data needs a folder"                            --data=
refuses 2 "--data needs a folder, not the option '--progress'" --data --progress
refuses 2 "not the option '--help'"                          --data --help
refuses 2 "not the option '-x'"                              --data=-x
refuses 2 "--data is given more than once"                   --data taro --data=jiro
refuses 2 "ja:--data が二度以上指定されています"             --data taro --data taro
refuses 2 "ja:オプション '--sheet' は指定できません"         --data --sheet x.pdf
refuses 2 "bogus"                                            --bogus
refuses 2 "--count"                                          --count 0 --sheet x.pdf
refuses 2 "--sheet"                                          --grid 25 --sheet
refuses 2 "--sheet"                                          --sheet a.pdf --sheet=b.pdf
refuses 2 "'--data'"                                         --progress -- --data x
refuses 1 "cannot make the folder for its histories:
  $T/a-file/hana
(Not a directory)"                                           --data "$T/a-file/hana"
refuses 1 "ja:成績を保存するフォルダを作れません:
  $T/a-file/hana
(途中にフォルダでないものがあります)"                        --data "$T/a-file/hana"
refuses 1 "cannot make the folder for its histories:
  $T/blocked/date"                                           --data "$T/blocked"
refuses 1 "cannot write its histories in:
  $T/dir-history/date/seiseki.dat"                           --data "$T/dir-history"
refuses 1 "(File name too long)"                             --data "$T/made/on/the/way/$LONG"
refuses 1 "ja:(名前が長すぎます)"                            --data "~/made/$LONG"
if [ "$(id -u)" = 0 ]; then
  # File modes do not stop root: try as an unprivileged user.
  mkdir -p "$T/locked/date"; chmod 755 "$T/locked" "$T/locked/date"
  AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
  refuses 1 "cannot make the folder for its histories:
  $T/locked/hana" --data "$T/locked/hana"
  refuses 1 "cannot write its histories in:
  $T/locked/date" --data "$T/locked"
  AS_USER=()
fi
[ ! -e "$HOME/.local" ] || fail "a refusal made the default folder"

# --- an incomplete install
set +e
rm "$DRILL"
"$SORABE" --data "$T/caller/taro" 2>"$T/err"; [ $? = 127 ] && grep -qF "missing:
  $DRILL" "$T/err" || fail "a missing drill: $(cat "$T/err")"
set -e
echo "launcher: folders, histories, sound, arguments and refusals as expected"

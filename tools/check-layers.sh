#!/bin/sh
# Fails when a file under src/ includes a header of a layer above its own, or
# when the drill layer uses Qt Widgets. The layers, bottom to top, and what
# each may include besides itself:
#   platform  -
#   widgets   platform
#   drill     platform (no Qt Widgets)
#   window    platform widgets drill
#   progress  platform widgets drill
#   app       all
# Usage: check-layers.sh SRC_DIR
src="${1:-src}"
status=0

allowed() {
  case "$1" in
    platform) echo "platform" ;;
    widgets) echo "platform widgets" ;;
    drill) echo "platform drill" ;;
    window) echo "platform widgets drill window" ;;
    progress) echo "platform widgets drill progress" ;;
    app) echo "platform widgets drill window progress app" ;;
    *) echo "" ;;
  esac
}

for dir in "$src"/*/; do
  layer=$(basename "$dir")
  may=$(allowed "$layer")
  if [ -z "$may" ]; then
    echo "$dir: not a layer (platform widgets drill window progress app)"
    status=1
    continue
  fi
  for file in "$dir"*; do
    [ -f "$file" ] || continue
    # Every quoted include names its layer folder first: "widgets/CuteBtn.h".
    for used in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' "$file" | sort -u); do
      case " $may " in
        *" $used "*) ;;
        *) echo "$file: includes a header of \"$used\", which $layer may not use"; status=1 ;;
      esac
    done
    if [ "$layer" = drill ] && grep -q '^[[:space:]]*#[[:space:]]*include[[:space:]]*<QtWidgets/' "$file"; then
      echo "$file: the drill layer uses no Qt Widgets"
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "every include goes down a layer or stays in its own"
exit $status

#!/bin/sh
# Installs the Debian packages the build, the program and the tests need,
# when they are missing. As root it runs apt-get; otherwise it prints the one
# command to run and fails. "ensure-packages.sh fuzz" looks after the fuzz
# build's compiler instead (make fuzz); nothing else needs clang.
set -e
if [ "$1" = fuzz ]; then
  PACKAGES="clang libfuzzer-14-dev"
else
PACKAGES="cmake g++ make pkg-config qt6-base-dev libcanberra-dev libcanberra0 libasound2-dev
fonts-vlgothic fonts-ipafont-gothic libgtest-dev libgmock-dev
xvfb xauth xdotool x11-utils imagemagick poppler-utils
librsvg2-bin desktop-file-utils appstream dpkg-dev file
dbus-daemon dbus-x11 at-spi2-core python3-pyatspi python3-gi gir1.2-atspi-2.0
weston qt6-wayland libweston-10-dev lintian devscripts"
fi

missing=""
for p in $PACKAGES; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *" installed") ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:  sudo apt-get install -y$missing" >&2
  exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing

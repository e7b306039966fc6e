#!/bin/bash
# Checks a built package as a Debian maintainer would before signing it:
# lintian with every tag level shown, and hardening-check on each program it
# installs. Fails on any lintian error or warning, on an info, pedantic or
# experimental tag not listed in packaging/lintian-allowed, on a listed tag
# that no longer appears, and on a program hardening-check does not pass.
# Usage: tools/check-package.sh build/sorabe_VERSION_ARCH.deb
set -euo pipefail
DEB=$1
ALLOWED="$(dirname "$0")/../packaging/lintian-allowed"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "package check FAIL: $*" >&2; exit 1; }

# lintian says on stderr that it runs as root (CI does); its findings are on stdout.
lintian -EvIL +pedantic --fail-on none "$DEB" >"$T/lintian" 2>"$T/lintian.err" ||
  { cat "$T/lintian.err" >&2; fail "lintian did not run"; }
# Tag lines: "X: package[ type]: tag [context]".
grep -E '^[EWIPX]: ' "$T/lintian" >"$T/findings" || true
cat "$T/findings"
! grep -E '^[EW]: ' "$T/findings" || fail "lintian reports errors or warnings"
sed -E 's/^[IPX]: [^:]+: ([^ ]+).*/\1/' "$T/findings" | sort -u >"$T/found"
sed -E 's/#.*//; s/^[[:space:]]+//; /^$/d; s/[[:space:]].*//' "$ALLOWED" | sort -u >"$T/allowed"
UNLISTED=$(comm -23 "$T/found" "$T/allowed")
[ -z "$UNLISTED" ] || fail "lintian tags not listed in packaging/lintian-allowed: $UNLISTED"
GONE=$(comm -13 "$T/found" "$T/allowed")
[ -z "$GONE" ] || fail "listed in packaging/lintian-allowed but no longer reported: $GONE"

# Every ELF file the package installs. Control-flow protection is compiled
# in (-fcf-protection), but the program-wide IBT/SHSTK mark hardening-check
# looks for is the AND of every object linked, and Debian 12's C start files
# (Scrt1.o, crti.o, crtn.o) carry none: no program linked on Debian 12 has it,
# /bin/ls included. That one check is skipped; every other one must pass.
dpkg-deb -x "$DEB" "$T/root"
count=0
while IFS= read -r -d '' file; do
  if [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ]; then
    hardening-check --nocfprotection "$file" || fail "hardening-check: ${file#"$T/root"}"
    count=$((count + 1))
  fi
done < <(find "$T/root" -type f -print0)
[ "$count" -gt 0 ] || fail "no program found in $DEB"
echo "package check: lintian $(wc -l <"$T/findings") listed tag(s), hardening-check passed on $count program(s)"

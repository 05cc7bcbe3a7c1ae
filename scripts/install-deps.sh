#!/usr/bin/env bash
# Installs the Debian packages of the given lists (scripts/packages-*.txt):
#   install-deps.sh run    what building and running the program needs
#   install-deps.sh test   that and what the tests add
# Packages already present are skipped, so a second run costs nothing.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
lists=("$here/packages-run.txt")
case "${1:-test}" in
  run) ;;
  test) lists+=("$here/packages-test.txt") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

PACKAGES=()
for list in "${lists[@]}"; do
  while read -r line; do
    line="${line%%#*}"
    line="${line// /}"
    [ -n "$line" ] && PACKAGES+=("$line")
  done <"$list"
done

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"

#!/bin/bash
# The template image's system.dat is what the project's own tool writes, byte
# for byte, and the independent reader (cregexport, of Debian's
# libcreg-utils) finds the card's driver RTSND in its network card's key.
# usage: system_dat_test.sh MAKE_SYSTEM_DAT COMMITTED_SYSTEM_DAT
set -euo pipefail
tool=$1
committed=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$tool" "$out/SYSTEM.DAT"
if ! cmp "$out/SYSTEM.DAT" "$committed"; then
  echo "imagetools/template/SYSTEM.DAT is not what make_system_dat writes: rebuild it with"
  echo "  build/tools/make_system_dat imagetools/template/SYSTEM.DAT"
  exit 1
fi
if ! command -v cregexport >/dev/null; then
  echo "cregexport is missing (apt-get install libcreg-utils): the reader's check is skipped"
  exit 77
fi
cregexport "$committed" >"$out/export.txt"
# The card's key, from its path to the next key's.
sed -n '/^Key path: System\\CurrentControlSet\\Services\\Class\\Net\\0000$/,/^Key path:/p' \
  "$out/export.txt" >"$out/card.txt"
if ! grep -q -x 'Value: 1 NetDriver' "$out/card.txt" || ! grep -q -x 'Data: RTSND' "$out/card.txt"; then
  cat "$out/export.txt"
  echo "no NetDriver RTSND in the card's key"
  exit 1
fi

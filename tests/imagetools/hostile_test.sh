#!/bin/bash
# Checks undisk and rplimage on hostile input and surroundings: outputs whose
# parent cannot be looked up, pipes where files are expected, an image inside
# the tree it would replace, dates out of the DOS range, an old tree that
# cannot be removed, images reached through symbolic links. Each tool must end
# with a message in bounded time, and leave its inputs as they were.
#   hostile_test.sh UNDISK RPLIMAGE
# Prints one line per check and "N passed, N failed" at the end.
set -u
UNDISK=$1
RPLIMAGE=$2
export MTOOLS_SKIP_CHECK=1
W=$(mktemp -d "${TMPDIR:-/tmp}/image-hostile.XXXXXX")
trap 'chmod -R u+rwx "$W" 2>/dev/null; rm -rf "$W"' EXIT
passed=0
failed=0
LIMIT=${LIMIT:-10}  # seconds any single run may take

ok() { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAILED: $1"; failed=$((failed + 1)); }

# A fingerprint of the inputs: every path below $W/in with its type, mode and contents.
fingerprint() { (cd "$W/in" && find . -printf '%p %y %m %l\n' | sort && find . -type f -exec md5sum {} + | sort); }

# refuses DESCRIPTION COMMAND...: the command ends within LIMIT seconds with a
# non-zero exit and one line on stderr, and $W/in is as it was.
refuses() {
  local what=$1
  shift
  local before
  before=$(fingerprint)
  timeout -k 2 "$LIMIT" "$@" >"$W/out.txt" 2>"$W/err.txt"
  local rc=$?
  local problems=""
  [ $rc -eq 124 ] || [ $rc -eq 137 ] && problems+=" did not end within $LIMIT s"
  [ $rc -ne 0 ] || problems+=" exit 0"
  [ "$(grep -vc '^usage:' "$W/err.txt")" -eq 1 ] || problems+=" stderr not one line"
  [ "$(fingerprint)" = "$before" ] || problems+=" changed its inputs"
  if compgen -G "$W/in/*.tmp*" >/dev/null || compgen -G "$W/in/*/*.tmp*" >/dev/null; then
    problems+=" left a temporary"
  fi
  if [ -z "$problems" ]; then ok "$what: $(head -1 "$W/err.txt")"; else bad "$what:$problems"; cat "$W/err.txt"; fi
}

# An image and a tree to work with, everything in $W/in.
mkdir -p "$W/in/tree/SUB"
printf 'hello\r\n' >"$W/in/tree/HELLO.TXT"
printf 'deep\r\n' >"$W/in/tree/SUB/DEEP.TXT"
"$RPLIMAGE" "$W/in/tree" "$W/in/good.img" /f:1440 || { echo "FAILED: cannot make a test image"; exit 1; }
echo data >"$W/in/plain"

# --- 1. The output's parent cannot be looked up.
long=$(printf 'L%.0s' $(seq 1 250))
ln -s loop1 "$W/in/loop2"
ln -s loop2 "$W/in/loop1"
refuses "undisk into a path through a plain file" "$UNDISK" "$W/in/good.img" "$W/in/plain/out"
refuses "rplimage onto a path through a plain file" "$RPLIMAGE" "$W/in/tree" "$W/in/plain/out.img" /f:1440
refuses "undisk into a name too long for the temporary suffix" "$UNDISK" "$W/in/good.img" "$W/in/$long"
refuses "rplimage onto a name too long for the temporary suffix" "$RPLIMAGE" "$W/in/tree" "$W/in/$long" /f:1440
refuses "undisk into a loop of symbolic links" "$UNDISK" "$W/in/good.img" "$W/in/loop1/out"
refuses "rplimage onto a loop of symbolic links" "$RPLIMAGE" "$W/in/tree" "$W/in/loop1/out.img" /f:1440
refuses "rplimage onto a link that is a loop" "$RPLIMAGE" "$W/in/tree" "$W/in/loop1" /f:1440

# Without search permission: the superuser passes every permission check, so
# these run as nobody where they can.
as_nobody=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null && as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
if [ "$(id -u)" -ne 0 ] || [ ${#as_nobody[@]} -gt 0 ]; then
  chmod 755 "$W" "$W/in" "$W/in/tree" "$W/in/tree/SUB"
  chmod 644 "$W/in/good.img" "$W/in/tree/HELLO.TXT" "$W/in/tree/SUB/DEEP.TXT"
  mkdir "$W/in/closed" && chmod 600 "$W/in/closed"
  refuses "undisk into a directory without search permission" \
    "${as_nobody[@]}" "$UNDISK" "$W/in/good.img" "$W/in/closed/out"
  refuses "rplimage into a directory without search permission" \
    "${as_nobody[@]}" "$RPLIMAGE" "$W/in/tree" "$W/in/closed/out.img" /f:1440
  rmdir "$W/in/closed"
else
  echo "skipped: no search permission (running as root without setpriv)"
fi

# --- 2. Pipes where files are expected.
mkfifo "$W/in/fifo.img"
mkdir -p "$W/in/ptree" && printf 'x' >"$W/in/ptree/X.TXT" && mkfifo "$W/in/ptree.bs"
refuses "undisk of a pipe as the image" "$UNDISK" "$W/in/fifo.img" "$W/out1"
refuses "rplimage with a pipe as the kept boot sector" "$RPLIMAGE" "$W/in/ptree" "$W/out2.img" /f:1440
rm -f "$W/in/ptree.bs" && mkfifo "$W/in/ptree/PIPE"
refuses "rplimage with a pipe in the tree" "$RPLIMAGE" "$W/in/ptree" "$W/out3.img" /f:1440
rm -rf "$W/in/ptree" "$W/in/fifo.img"

# --- 3. undisk must not destroy its own image.
mkdir -p "$W/in/target/A/B"
cp "$W/in/good.img" "$W/in/target/A/B/inside.img"
ln -s target "$W/in/target-link"
cp "$W/in/good.img" "$W/in/bs-target.bs"
refuses "undisk of an image inside the target" "$UNDISK" "$W/in/target/A/B/inside.img" "$W/in/target"
refuses "undisk of an image inside the target, named through a link" \
  "$UNDISK" "$W/in/target-link/A/B/inside.img" "$W/in/target/"
refuses "undisk of the target's own boot-record file" "$UNDISK" "$W/in/bs-target.bs" "$W/in/bs-target"
mkdir -p "$W/in/bs2" && head -c 512 "$W/in/good.img" >"$W/in/bs2.bs"
refuses "rplimage onto the boot-record file it reads" "$RPLIMAGE" "$W/in/bs2" "$W/in/bs2.bs" /f:1440
rm -rf "$W/in/target" "$W/in/target-link" "$W/in/bs-target.bs" "$W/in/bs2" "$W/in/bs2.bs"

# --- 4. SOURCE_DATE_EPOCH outside the DOS dates is refused; its ends are taken.
for epoch in 315532799 4354819200 99999999999999999999 -1 12x; do
  refuses "rplimage with SOURCE_DATE_EPOCH=$epoch" \
    env SOURCE_DATE_EPOCH=$epoch "$RPLIMAGE" "$W/in/tree" "$W/in/good.img" /f:1440
done
for epoch in 315532800 4354819199; do
  if SOURCE_DATE_EPOCH=$epoch TZ=UTC "$RPLIMAGE" "$W/in/tree" "$W/e.img" /f:1440 2>"$W/err.txt"; then
    ok "rplimage with SOURCE_DATE_EPOCH=$epoch"
  else
    bad "rplimage with SOURCE_DATE_EPOCH=$epoch: $(cat "$W/err.txt")"
  fi
done
SOURCE_DATE_EPOCH=315532800 TZ=UTC "$RPLIMAGE" "$W/in/tree" "$W/e.img" /f:1440
if mdir -i "$W/e.img" :: | grep -q 'HELLO *TXT .* 1980-01-01'; then
  ok "SOURCE_DATE_EPOCH=315532800 dates entries 1980-01-01"
else
  bad "SOURCE_DATE_EPOCH=315532800 dates entries 1980-01-01: $(mdir -i "$W/e.img" :: | grep HELLO)"
fi

# --- 5. An old tree that cannot be removed: the run fails and names what is left.
if [ ${#as_nobody[@]} -gt 0 ]; then
  mkdir -p "$W/own/tree/KEPT" && echo old >"$W/own/tree/KEPT/OLD.TXT"
  chown -R 65534:65534 "$W/own" && chown root:root "$W/own/tree/KEPT" "$W/own/tree/KEPT/OLD.TXT"
  chmod 755 "$W/own" "$W/own/tree" "$W/own/tree/KEPT"
  "${as_nobody[@]}" "$UNDISK" "$W/in/good.img" "$W/own/tree" 2>"$W/err.txt"
  rc=$?
  left=$(compgen -G "$W/own/tree.old.tmp*")
  if [ $rc -ne 0 ] && [ -n "$left" ] && grep -qF "$left" "$W/err.txt" && [ -f "$W/own/tree/HELLO.TXT" ]; then
    ok "undisk says where the old tree is left when it cannot be removed: $(cat "$W/err.txt")"
  else
    bad "undisk over a tree it cannot remove: exit $rc, left '$left': $(cat "$W/err.txt")"
  fi
else
  echo "skipped: an old tree that cannot be removed (needs root and setpriv)"
fi

# --- 6. An image path that is a symbolic link: the target is replaced, keeping its mode.
cp "$W/in/good.img" "$W/real.img" && chmod 600 "$W/real.img"
ln -s real.img "$W/link.img"
printf 'new\r\n' >"$W/in/tree/NEW.TXT"
"$RPLIMAGE" "$W/in/tree" "$W/link.img" /f:1440 && "$RPLIMAGE" "$W/in/tree" "$W/direct.img" /f:1440
if [ -L "$W/link.img" ] && cmp -s "$W/real.img" "$W/direct.img" && [ "$(stat -c %a "$W/real.img")" = 600 ]; then
  ok "rplimage through a symbolic link replaces its target and keeps its mode"
else
  bad "rplimage through a symbolic link: $(ls -l "$W/link.img" "$W/real.img")"
fi
chmod 640 "$W/direct.img"
"$RPLIMAGE" "$W/in/tree" "$W/direct.img" /f:1440
[ "$(stat -c %a "$W/direct.img")" = 640 ] && ok "rplimage keeps the mode of the image it replaces" ||
  bad "rplimage changed the mode of the image it replaced to $(stat -c %a "$W/direct.img")"

# --- 7. A host tree nested deeper than DOS can reach.
d="$W/in/deep"
for i in $(seq 1 33); do d="$d/D"; done
mkdir -p "$d" && echo x >"$d/X.TXT"
refuses "rplimage of a tree nested 33 levels deep" "$RPLIMAGE" "$W/in/deep" "$W/deep.img" /f:1440
rm -rf "$W/in/deep/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D"
echo x >"$W/in/deep/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/D/X.TXT"
"$RPLIMAGE" "$W/in/deep" "$W/deep.img" /f:1440 2>"$W/err.txt" && ok "rplimage of a tree nested 32 levels deep" ||
  bad "rplimage of a tree nested 32 levels deep: $(cat "$W/err.txt")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

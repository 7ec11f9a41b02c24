#!/bin/bash
# Checks undisk and rplimage against mtools and dosfstools, which read and
# write FAT12 images on their own:
#   peer_test.sh UNDISK RPLIMAGE
# Prints one line per check and "N passed, N failed" at the end.
set -u
UNDISK=$1
RPLIMAGE=$2
export MTOOLS_SKIP_CHECK=1
export TZ=UTC
W=$(mktemp -d "${TMPDIR:-/tmp}/image-peer.XXXXXX")
trap 'rm -rf "$W"' EXIT
passed=0
failed=0

ok() { echo "ok: $1"; passed=$((passed + 1)); }
bad() { echo "FAILED: $1"; failed=$((failed + 1)); }
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >"$W/check.out" 2>&1; then ok "$what"; else bad "$what"; sed 's/^/    /' "$W/check.out" | head -20; fi
}

# Paths and modification times (in two-second steps) of everything below a directory.
stamps() { (cd "$1" && find . -mindepth 1 -printf '%p %T@\n' | awk '{ printf "%s %d\n", $1, int($2 / 2) }' | sort); }
same_stamps() { diff <(stamps "$1") <(stamps "$2"); }

# Deterministic bytes.
bytes() { head -c "$1" <(openssl enc -aes-128-ctr -pass "pass:$2" -nosalt -pbkdf2 </dev/zero 2>/dev/null || yes "$2" | tr -d '\n'); }

# A host tree with the shapes an image must keep.
make_tree() {
    local t=$1
    mkdir -p "$t/SUB/DEEP/DEEPER" "$t/SUB/EMPTYDIR" "$t/MANY"
    bytes 40000 io >"$t/IO.SYS"
    printf '[Options]\r\nBootGUI=0\r\n' >"$t/MSDOS.SYS"
    : >"$t/EMPTY.TXT"
    printf 'x' >"$t/SUB/ONE.BIN"
    bytes 512 s512 >"$t/SUB/S512.BIN"
    bytes 513 s513 >"$t/SUB/S513.BIN"
    bytes 307200 big >"$t/SUB/DEEP/BIG.BIN"
    printf 'deep\r\n' >"$t/SUB/DEEP/DEEPER/NOTE.TXT"
    for i in $(seq 1 60); do bytes $((i * 37)) "m$i" >"$t/MANY/F$i.DAT"; done
    local n=0
    while IFS= read -r -d '' f; do
        n=$((n + 1))
        # A day, an hour, a minute and two seconds apart, odd seconds on every
        # other entry: every hour of the day and minutes past 31 are written.
        touch -d "@$((946684800 + n * 90062 + n % 2))" "$f"
    done < <(find "$t" -mindepth 1 -depth -print0)
}

make_tree "$W/src"
bytes 600000 fill1 >"$W/FILL1.BIN"
bytes 400000 fill2 >"$W/FILL2.BIN"

# --- 1. An image made by mtools unpacks to what mcopy extracts.
mformat -C -f 1440 -i "$W/m.img" ::
mcopy -s -m -i "$W/m.img" "$W/src/"* ::
mcopy -m -i "$W/m.img" "$W/FILL1.BIN" "$W/FILL2.BIN" ::SUB/
printf 'long\n' >"$W/Long File Name.txt"
printf 'lower\n' >"$W/lower.txt"
mcopy -m -i "$W/m.img" "$W/Long File Name.txt" "$W/lower.txt" ::
mcopy -s -m -n -i "$W/m.img" :: "$W/m.mcopy"
check "mtools image: undisk succeeds" "$UNDISK" "$W/m.img" "$W/m.undisk"
check "mtools image: same tree as mcopy -s" diff -r "$W/m.undisk" "$W/m.mcopy"
check "mtools image: same times as mcopy -m" same_stamps "$W/m.undisk" "$W/m.mcopy"
check "mtools image: boot sector kept beside the tree" cmp -n 512 "$W/m.img" "$W/m.undisk.bs"

# --- 2. An image made by rplimage is sound FAT12 to dosfstools and mtools.
cp -r --preserve=timestamps "$W/src" "$W/full"
cp --preserve=timestamps "$W/FILL1.BIN" "$W/FILL2.BIN" "$W/full/SUB/"
check "rplimage: packs a nearly full floppy" "$RPLIMAGE" "$W/full" "$W/r.img" /f:1440
check "rplimage image: 1474560 bytes" test "$(stat -c %s "$W/r.img")" -eq 1474560
check "rplimage image: fsck.fat -n finds nothing" fsck.fat -n "$W/r.img"
mcopy -s -m -n -i "$W/r.img" :: "$W/r.mcopy" 2>"$W/r.mcopy.err"
check "rplimage image: mcopy -s gets the same tree" diff -r "$W/full" "$W/r.mcopy"
check "rplimage image: mcopy -m gets the same times" same_stamps "$W/full" "$W/r.mcopy"
first_two() { mdir -a -i "$1" :: | awk 'go && NF >= 2 { print $1 "." $2 } /^Directory for/ { go = 1 }' | head -2 | tr '\n' ' '; }
check "rplimage image: mdir lists IO.SYS then MSDOS.SYS first" test "$(first_two "$W/r.img")" = "IO.SYS MSDOS.SYS "
check "rplimage image: IO.SYS is hidden, system and read-only" \
    grep -q '^  A  SHR' <(mattrib -i "$W/r.img" ::IO.SYS)

# --- 3. Round trips.
check "round trip: undisk of a packed tree" "$UNDISK" "$W/r.img" "$W/r.back"
check "round trip: same tree back" diff -r "$W/full" "$W/r.back"
check "round trip: same times back" same_stamps "$W/full" "$W/r.back"
check "round trip: repacking gives the same bytes" "$RPLIMAGE" "$W/r.back" "$W/r2.img" /f:1440
check "round trip: repacked image is identical" cmp "$W/r.img" "$W/r2.img"
mformat -C -f 1440 -i "$W/b.img" ::
mcopy -s -m -i "$W/b.img" "$W/src/"* ::
check "boot code: unpack an mtools image" "$UNDISK" "$W/b.img" "$W/b.undisk"
check "boot code: repack it" "$RPLIMAGE" "$W/b.undisk" "$W/m2.img" /f:1440
check "boot code: jump and OEM name kept" cmp -n 11 "$W/b.img" "$W/m2.img"
check "boot code: code bytes 0x3E-0x1FF kept" cmp -i 0x3E:0x3E -n 448 "$W/b.img" "$W/m2.img"
check "boot code: repacked mtools image passes fsck.fat" fsck.fat -n "$W/m2.img"
cp -r "$W/src" "$W/src2"  # new times: SOURCE_DATE_EPOCH makes them alike
check "SOURCE_DATE_EPOCH: packs of different checkouts are identical" bash -c \
    "SOURCE_DATE_EPOCH=898732800 '$RPLIMAGE' '$W/src' '$W/e1.img' /f:1440 &&
     SOURCE_DATE_EPOCH=898732800 '$RPLIMAGE' '$W/src2' '$W/e2.img' /f:1440 && cmp '$W/e1.img' '$W/e2.img'"

# --- 4. Refusals: non-zero exit, one line on stderr, and nothing left behind.
cp "$W/r.img" "$W/cyclic.img"
# The first file, IO.SYS, starts at cluster 2: make cluster 3 lead back to 2 in both FATs.
printf '\x20\x00' | dd of="$W/cyclic.img" bs=1 seek=$((512 + 4)) conv=notrunc status=none
printf '\x20\x00' | dd of="$W/cyclic.img" bs=1 seek=$((512 + 9 * 512 + 4)) conv=notrunc status=none
head -c 1048576 /dev/zero >"$W/zeros.img"
head -c 1474048 "$W/r.img" >"$W/truncated.img"
mkfs.fat -C -F 16 "$W/fat16.img" 20480 >/dev/null
truncate -s 1474560 "$W/fat16-small.img"
dd if="$W/fat16.img" of="$W/fat16-small.img" bs=512 count=1 conv=notrunc status=none
mkdir -p "$W/t-long" "$W/t-plus" "$W/t-case" "$W/t-big" "$W/t-many" "$W/t-ok"
printf 'x' >"$W/t-long/LONGFILENAME.TXT"
printf 'x' >"$W/t-plus/A+B.TXT"
printf 'a' >"$W/t-case/README.TXT"
printf 'b' >"$W/t-case/readme.txt"
head -c 1500000 /dev/zero >"$W/t-big/HUGE.BIN"
for i in $(seq 1 225); do : >"$W/t-many/F$i"; done
printf 'ok' >"$W/t-ok/OK.TXT"
mkdir -p "$W/t-bs" && printf 'ok' >"$W/t-bs/OK.TXT" && head -c 100 /dev/zero >"$W/t-bs.bs"
mkdir -p "$W/taken" && echo keep >"$W/taken/MINE.TXT"

refuse_undisk() {  # refuse_undisk DESCRIPTION IMAGE DIR
    local what=$1 image=$2 dir=$3
    local existed=no
    [ -e "$dir" ] && existed=yes && cp -r "$dir" "$W/before"
    "$UNDISK" "$image" "$dir" >"$W/out" 2>"$W/err"
    local rc=$?
    local problems=""
    [ $rc -ne 0 ] || problems+=" exit 0"
    [ "$(wc -l <"$W/err")" -eq 1 ] || problems+=" stderr not one line"
    [ -s "$W/out" ] && problems+=" wrote to stdout"
    if [ $existed = yes ]; then diff -r "$W/before" "$dir" >/dev/null || problems+=" changed $dir"; rm -rf "$W/before"
    else [ -e "$dir" ] && problems+=" left $dir"; fi
    [ -e "$dir.bs" ] && problems+=" left $dir.bs"
    compgen -G "$dir.tmp*" >/dev/null && problems+=" left a temporary"
    if [ -z "$problems" ]; then ok "undisk refuses $what: $(cat "$W/err")"; else bad "undisk refuses $what:$problems"; cat "$W/err"; fi
}

refuse_rplimage() {  # refuse_rplimage DESCRIPTION ARGS... (the image is $W/out.img)
    local what=$1
    shift
    local problems=""
    for existing in yes no; do
        rm -f "$W/out.img"
        [ $existing = yes ] && echo sentinel >"$W/out.img"
        "$RPLIMAGE" "$@" >"$W/out" 2>"$W/err"
        local rc=$?
        [ $rc -ne 0 ] || problems+=" exit 0"
        [ "$(grep -vc '^usage:' "$W/err")" -eq 1 ] || problems+=" stderr not one line"
        if [ $existing = yes ]; then [ "$(cat "$W/out.img")" = sentinel ] || problems+=" changed the old image"
        else [ -e "$W/out.img" ] && problems+=" left an image"; fi
        compgen -G "$W/out.img.tmp*" >/dev/null && problems+=" left a temporary"
    done
    if [ -z "$problems" ]; then ok "rplimage refuses $what: $(head -1 "$W/err")"; else bad "rplimage refuses $what:$problems"; cat "$W/err"; fi
}

refuse_undisk "1 MB of zeros" "$W/zeros.img" "$W/d1"
refuse_undisk "a FAT16 image" "$W/fat16.img" "$W/d2"
refuse_undisk "a floppy-sized image with a FAT16 boot sector" "$W/fat16-small.img" "$W/d3"
refuse_undisk "a truncated image" "$W/truncated.img" "$W/d4"
refuse_undisk "a cyclic cluster chain" "$W/cyclic.img" "$W/d5"
refuse_undisk "a missing image" "$W/nothing.img" "$W/d6"
refuse_undisk "a directory as the image" "$W/src" "$W/d7"
refuse_undisk "a bad image over a tree of an earlier run" "$W/cyclic.img" "$W/taken"
refuse_rplimage "a tree larger than the floppy" "$W/t-big" "$W/out.img" /f:1440
refuse_rplimage "LONGFILENAME.TXT" "$W/t-long" "$W/out.img" /f:1440
refuse_rplimage "A+B.TXT" "$W/t-plus" "$W/out.img" /f:1440
refuse_rplimage "names that differ only in case" "$W/t-case" "$W/out.img" /f:1440
refuse_rplimage "225 entries in the top directory" "$W/t-many" "$W/out.img" /f:1440
refuse_rplimage "a missing source" "$W/none" "$W/out.img" /f:1440
refuse_rplimage "a file as the source" "$W/FILL1.BIN" "$W/out.img" /f:1440
refuse_rplimage "a kept boot sector of 100 bytes" "$W/t-bs" "$W/out.img" /f:1440
refuse_rplimage "a missing /f:" "$W/t-ok" "$W/out.img"
refuse_rplimage "/f:720" "$W/t-ok" "$W/out.img" /f:720
refuse_rplimage "a third path" "$W/t-ok" "$W/out.img" "$W/other" /f:1440
mkdir -p "$W/empty"
check "undisk into an existing empty directory" "$UNDISK" "$W/r.img" "$W/empty"
check "... gives the tree there" diff -r "$W/full" "$W/empty"
check "undisk over the tree of an earlier run" "$UNDISK" "$W/r.img" "$W/taken"
check "... replaces it whole, no old file left" diff -r "$W/full" "$W/taken"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

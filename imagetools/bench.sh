#!/bin/bash
# Times undisk and rplimage on a full 1.44 MB floppy against mtools doing the
# same work: unpacking (mcopy -s -m -n out of the image) and packing (mformat
# and then mcopy -s -m into a new image).
#
#   bench.sh UNDISK RPLIMAGE [RUNS]        times each command RUNS times (default 21)
#                                          and prints the medians and the ratios
#   bench.sh --prepare DIR UNDISK RPLIMAGE only lays out the inputs in DIR and writes
#                                          the four commands there as DIR/*.sh, for
#                                          timing them with another tool
# Not a test: it checks nothing but that the four commands succeed once.
set -eu

prepare() {  # prepare DIR UNDISK RPLIMAGE
    local d=$1 undisk=$2 rplimage=$3
    mkdir -p "$d"
    rm -rf "$d/tree" "$d/full.img"
    mkdir -p "$d/tree/WINBOOT" "$d/tree/DATA/MANY"
    # About 1.35 MB in 120 files of all sizes, as a boot floppy holds.
    local n=0
    gen() { head -c "$1" /dev/urandom >"$2"; }
    gen 222390 "$d/tree/IO.SYS"
    gen 1676 "$d/tree/MSDOS.SYS"
    gen 93880 "$d/tree/COMMAND.COM"
    for size in 120000 110000 90000 65000 45000 33000 20000 9000 4000 1000 512 513 1 0; do
        n=$((n + 1))
        gen "$size" "$d/tree/WINBOOT/FILE$n.BIN"
    done
    for i in $(seq 1 100); do gen $((i * 40)) "$d/tree/DATA/MANY/F$i.DAT"; done
    gen 250000 "$d/tree/DATA/LARGE.BIN"
    gen 80000 "$d/tree/DATA/MEDIUM.BIN"
    export MTOOLS_SKIP_CHECK=1
    mformat -C -f 1440 -i "$d/full.img" ::
    mcopy -s -m -i "$d/full.img" "$d/tree/"* ::

    cat >"$d/unpack-ours.sh" <<EOF
rm -rf "$d/u1" "$d/u1.bs"
exec "$undisk" "$d/full.img" "$d/u1"
EOF
    cat >"$d/unpack-mtools.sh" <<EOF
rm -rf "$d/u2"
MTOOLS_SKIP_CHECK=1 exec mcopy -s -m -n -i "$d/full.img" :: "$d/u2"
EOF
    cat >"$d/pack-ours.sh" <<EOF
exec "$rplimage" "$d/tree" "$d/p1.img" /f:1440
EOF
    cat >"$d/pack-mtools.sh" <<EOF
rm -f "$d/p2.img"
export MTOOLS_SKIP_CHECK=1
mformat -C -f 1440 -i "$d/p2.img" :: && exec mcopy -s -m -i "$d/p2.img" "$d/tree/"* ::
EOF
    for s in unpack-ours unpack-mtools pack-ours pack-mtools; do
        sh "$d/$s.sh" >/dev/null || { echo "bench: $s failed" >&2; exit 1; }
    done
    diff -r "$d/u1" "$d/u2" >/dev/null || { echo "bench: the two unpacked trees differ" >&2; exit 1; }
}

median_ms() {  # median_ms RUNS SCRIPT: median wall time of RUNS runs, in milliseconds
    local runs=$1 script=$2 t0 t1
    for _ in $(seq 1 "$runs"); do
        t0=$(date +%s%N)
        sh "$script" >/dev/null 2>&1
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 1000))
    done | sort -n | awk '{ v[NR] = $1 } END { printf "%.2f", v[int((NR + 1) / 2)] / 1000 }'
}

if [ "${1:-}" = --prepare ]; then
    [ $# -eq 4 ] || { echo "usage: bench.sh --prepare DIR UNDISK RPLIMAGE" >&2; exit 2; }
    prepare "$2" "$3" "$4"
    echo "inputs and commands in $2: unpack-ours.sh unpack-mtools.sh pack-ours.sh pack-mtools.sh"
    exit 0
fi

[ $# -ge 2 ] || { echo "usage: bench.sh UNDISK RPLIMAGE [RUNS] | bench.sh --prepare DIR UNDISK RPLIMAGE" >&2; exit 2; }
runs=${3:-21}
d=$(mktemp -d "${TMPDIR:-/tmp}/image-bench.XXXXXX")
trap 'rm -rf "$d"' EXIT
prepare "$d" "$1" "$2"
for work in unpack pack; do
    ours=$(median_ms "$runs" "$d/$work-ours.sh")
    theirs=$(median_ms "$runs" "$d/$work-mtools.sh")
    awk -v w="$work" -v a="$ours" -v b="$theirs" \
        'BEGIN { printf "%-7s ours %8.2f ms   mtools %8.2f ms   ours/mtools %.2f\n", w, a, b, a / b }'
done

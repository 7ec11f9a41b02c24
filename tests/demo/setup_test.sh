#!/bin/bash
# Cases for the two commands' set-up: the package list (demo/packages.txt)
# and its reader (demo/packages.sh), on made-up lists with dpkg-query and
# apt-get stood in for; and the waits of the end-to-end run (demo/waits.sh)
# at several scales.
set -u
repo=$(cd "$(dirname "$0")/../.." && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# dpkg-query answers "installed" for the packages in $dir/installed;
# apt-get writes what it was asked into $dir/apt, and fails when told.
mkdir -p "$dir/bin" "$dir/demo"
cat >"$dir/bin/dpkg-query" <<'STUB'
#!/bin/bash
grep -qx "${@: -1}" "$STUB_DIR/installed" && printf 'install ok installed'
STUB
cat >"$dir/bin/apt-get" <<'STUB'
#!/bin/bash
[ "$1" = update ] && exit 0
echo "${@: -$(($# - 3))}" >>"$STUB_DIR/apt"
[ -z "${APT_FAILS:-}" ]
STUB
printf '#!/bin/bash\nexec "$@"\n' >"$dir/bin/sudo"
chmod +x "$dir/bin/"*
cp "$repo/demo/packages.sh" "$dir/demo/"
cat >"$dir/demo/packages.txt" <<'LIST'
# a remark
both    run,test  for either command

testonly test     for the tests alone
runonly  run      for the demo alone
LIST

# need COMMAND INSTALLED EXPECTED-STATUS EXPECTED-INSTALL "case"
need() {
  printf '%s\n' $2 >"$dir/installed"
  rm -f "$dir/apt"
  (export PATH="$dir/bin:$PATH" STUB_DIR=$dir; . "$dir/demo/packages.sh"; korrin_need_packages "$1") >"$dir/out" 2>&1
  local status=$? asked
  asked=$(cat "$dir/apt" 2>/dev/null)
  [ $status -eq "$3" ] || fail "$5: status $status, expected $3 ($(tr '\n' ' ' <"$dir/out"))"
  [ "$asked" = "$4" ] || fail "$5: apt-get asked for '$asked', expected '$4'"
}
need run  "both testonly runonly" 0 ""              "all there: nothing installed"
need run  "testonly"              0 "both runonly"  "the demo's missing packages, not the tests'"
need test "runonly"               0 "both testonly" "the tests' missing packages, not the demo's"
need test "both"                  0 "testonly"      "one missing"
need demo ""                      1 ""              "a command the list does not know"
APT_FAILS=1 need run ""           1 "both runonly" "apt-get's failure is the command's"

# The real list: each package once, each for run or test or both.
awk '!/^#/ && NF { if (seen[$1]++) print "named twice: " $1
                   n = split($2, c, ","); for (i = 1; i <= n; i++) if (c[i] != "run" && c[i] != "test") print "unknown command in: " $0 }' \
  "$repo/demo/packages.txt" >"$dir/bad"
[ -s "$dir/bad" ] && fail "demo/packages.txt: $(cat "$dir/bad")"

# waits SCALE -> the waits at that scale, or "refused"
waits() {
  (KORRIN_WAIT_SCALE=$1; . "$repo/demo/waits.sh" 2>/dev/null &&
   echo "$KORRIN_WAIT $KORRIN_WAIT_MS $KORRIN_WAIT_JOB $KORRIN_LIMIT_STEP $KORRIN_LIMIT_PROGRAM $KORRIN_SETTLE") || echo refused
}
read -r wait wait_ms job step program settle <<<"$(waits 1)"
[ "$(waits '')" = "$(waits 1)" ] || fail "no scale is not scale 1"
[ "$wait" -ge 15 ] && [ "$job" -ge 15 ] || fail "a wait for the program under 15 s: $wait s, the job's $job s"
[ "$wait_ms" -eq $((wait * 1000)) ] || fail "the driver's wait ($wait_ms ms) is not the scripts' ($wait s)"
# An answered message box is two waits (shown, then gone) in one driver run.
[ "$step" -gt $((2 * wait)) ] || fail "a driver run is ended ($step s) before two waits ($wait s each)"
[ "$program" -gt 600 ] || fail "a session of the program is ended ($program s) before the PDK's 10 minutes"
for scale in 2 1.5 3; do
  read -r w wm j s p st <<<"$(waits $scale)"
  for pair in "$w $wait" "$wm $wait_ms" "$j $job" "$s $step" "$p $program" "$st $settle"; do
    awk -v pair="$pair" -v k=$scale 'BEGIN { split(pair, v, " "); d = v[1] - v[2] * k; exit !(d >= -0.5 && d <= 0.5) }' ||
      fail "scale $scale: $pair is not $scale times the wait"
  done
done
for scale in 0.5 0 abc -2 1e3 '2 s'; do
  [ "$(waits "$scale")" = refused ] || fail "the scale '$scale' taken"
done

[ $failed -eq 0 ] && echo "set-up cases: all passed"
exit $failed

# The demo road taken back under Wine (sourced by run_e2e.sh, which gives
# say, check, failed, out, build, repo, shots, locales, KORRIN_DISPLAY,
# wine_env and the limits of demo/waits.sh). On a demo server of its own,
# the PDK installed by hand: the check of the fresh server, and a listing
# of its drives; the demo road and in the same run of the program the road's
# session undone from the window, 系统 > 撤销 (tests/e2e/undo_road.steps).
# The check must then report what it reported on the fresh server, and the
# drives hold the same folders and files as before, byte for byte with the
# same attributes, but for the journal.

# Every folder, file and link below the demo server's drives (C: and D:,
# the only ones demo/make_demo.sh lays out), one a line, in path order:
#   PATH<tab>KIND SIZE<tab>MD5     (a file; a folder "d -", a link
#                                   "l - TARGET")
#   PATH<tab>ATTRIBUTES            (as Windows gives them: R H S A or -)
# The Linux permissions are left out: Wine makes every .com and .exe file
# it writes executable, which Windows does not see; the read-only attribute
# is among the attributes.
# Left out: the journal's folder C:\Korrin\journal, the harness's own
# C:\e2e (the driver, the check reports), and, for the attributes only,
# C:\users, the system's profiles, whose folders are links out of the
# prefix. The registry's .reg files lie beside the drives, not below them.
undo_tree() {  # PREFIX
  local prefix=$1
  (
    cd "$prefix" || exit 1
    local -a prune=(\( -path drive_c/Korrin/journal -o -path drive_c/e2e \) -prune -o)
    join -t $'\t' -a 1 \
      <(find drive_c drive_d "${prune[@]}" -type f -printf '%p\tf %s\n' -o \
          \( -type d -printf '%p\td -\n' \) -o -printf '%p\t%y - %l\n' | LC_ALL=C sort -t $'\t' -k1,1) \
      <(find drive_c drive_d "${prune[@]}" -type f -exec md5sum {} + | sed 's/^\([0-9a-f]*\)  \(.*\)$/\2\t\1/' |
          LC_ALL=C sort -t $'\t' -k1,1)
  ) | LC_ALL=C sort
  timeout "$KORRIN_LIMIT_STEP" "${WINE_ENV[@]}" wine 'C:\e2e\driver.exe' attributes 'C:\' 'D:\' \
    '-C:\Korrin\journal' '-C:\e2e' '-C:\users' </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^\([R-][H-][S-][A-]\) \(.*\)$/\2\t\1/p' | LC_ALL=C sort
}

undo_road_run() {
  local prefix=$out/undo-prefix status fresh after session journal journal_size
  say "the demo road taken back from the window"
  . "$repo/demo/walk_road.sh"
  if ! KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
       "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >>"$log" 2>&1; then
    say "FAILED: cannot make the demo server for the undo"
    failed=$((failed + 1))
    return
  fi
  korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales"
  mkdir -p "$prefix/drive_c/e2e"
  cp "$build/tests/e2e/driver.exe" "$prefix/drive_c/e2e/"
  "${WINE_ENV[@]}" wineserver -p </dev/null >/dev/null 2>&1
  local korrin=$prefix/drive_c/Korrin
  journal=$korrin/journal
  server() { (cd "$korrin" && exec timeout "$KORRIN_LIMIT_PROGRAM" "${WINE_ENV[@]}" wine Server.exe "$@" </dev/null >>"$log" 2>&1); }
  # The PDK installed by hand, as its installer does: its work is its own,
  # not the journal's.
  local pdk="$prefix/drive_c/Program Files/Intel/Pxe/Pdk/system"
  mkdir -p "$pdk"
  cp "$korrin/pxe-pdk/pxe20-pdk.exe" "$pdk/pxeconfig.exe"
  cp "$korrin/pxe-pdk/pxe20-pdk.exe" "$pdk/pxereg60.exe"
  # The fresh server: its check, and its drives.
  server /check 'C:\e2e\fresh.txt'
  fresh=$?
  check "/check on the fresh demo server writes its report ($fresh)" test -s "$prefix/drive_c/e2e/fresh.txt"
  undo_tree "$prefix" >"$out/undo-tree-fresh"
  # The road, and in the same run of the program its session taken back
  # from the window.
  korrin_walk_road "$prefix" "$build/tests/e2e/driver.exe" "$repo/tests/e2e/undo_road.steps" "$shots/undo" \
    >>"$log" 2>"$out/undo.err"
  status=$?
  check "the demo road, then its session taken back from the window, which says it is done ($status)" test $status -eq 0
  [ $status -eq 0 ] || sed 's/^/e2e:   /' "$out/undo.err" | tee -a "$log"
  # The journal: the road's session, its undo the newest step.
  for session in $(ls "$journal" 2>/dev/null); do
    journal_size=$(du -sb "$journal/$session" | cut -f1)
    say "the journal's session $session: $(head -1 "$journal/$session/journal.txt" | tr -d '\r' | iconv -f GBK -t UTF-8) ($(
      find "$journal/$session" -type f | wc -l) files, $journal_size bytes by du -sb)"
    cp "$journal/$session/journal.txt" "$out/journal-$session.txt"
  done
  say "the journal after the road and its undo: $(du -sb "$journal" 2>/dev/null | cut -f1) bytes (du -sb)"
  check "... one session, the road's, its undo its last step" test "$(ls "$journal" 2>/dev/null | wc -l)" -eq 1
  # /undo lists the sessions on its standard output.
  (cd "$korrin" && timeout "$KORRIN_LIMIT_PROGRAM" "${WINE_ENV[@]}" wine Server.exe /undo </dev/null \
     >"$out/undo-list.txt" 2>>"$log")
  check "/undo lists the road's session, its undo its last step, on its standard output" \
    grep -q "第 8 步：撤销" <(iconv -f GBK -t UTF-8 "$out/undo-list.txt" 2>/dev/null)
  # The check and the drives as on the fresh server.
  "${WINE_ENV[@]}" wineserver -p </dev/null >/dev/null 2>&1
  server /check 'C:\e2e\after.txt'
  after=$?
  check "/check after the undo ends as on the fresh server ($after, fresh $fresh)" test "$after" -eq "$fresh"
  check "... with the report it wrote on the fresh server, byte for byte" \
    cmp "$prefix/drive_c/e2e/fresh.txt" "$prefix/drive_c/e2e/after.txt"
  cmp -s "$prefix/drive_c/e2e/fresh.txt" "$prefix/drive_c/e2e/after.txt" ||
    diff <(iconv -f GBK -t UTF-8 "$prefix/drive_c/e2e/fresh.txt") <(iconv -f GBK -t UTF-8 "$prefix/drive_c/e2e/after.txt") |
    head -40 | sed 's/^/e2e:   /' | tee -a "$log"
  undo_tree "$prefix" >"$out/undo-tree-after"
  check "the drives after the undo: every folder and file as on the fresh server, with its bytes and attributes ($(
    grep -c . "$out/undo-tree-fresh") entries)" \
    cmp "$out/undo-tree-fresh" "$out/undo-tree-after"
  diff "$out/undo-tree-fresh" "$out/undo-tree-after" | grep '^[<>]' | head -60 | sed 's/^/e2e:   /' | tee -a "$log"
  "${WINE_ENV[@]}" wineserver -k >/dev/null 2>&1
  WINE_ENV=("${wine_env[@]}")
}

# The unattended run under Wine (sourced by run_e2e.sh, which gives say,
# check, failed, out, build, repo, locales, KORRIN_DISPLAY and the limits of
# demo/waits.sh): the README's example answer file, planned first by the dry
# run, which changes no file, sets up a fresh demo
# server, asking net at its end whether the accounts are there, and /check
# then finds it ready; a file whose card registration refuses ends with
# status 2 and leaves the Remoteboot tree and the profile as they were.
unattended_run() {
  local prefix=$out/answers-prefix status
  if ! KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
       "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >>"$log" 2>&1; then
    say "FAILED: cannot make the demo server for the answer files"
    failed=$((failed + 1))
    return
  fi
  korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales"
  local -a env=("${WINE_ENV[@]}")
  "${env[@]}" wineserver -p </dev/null >/dev/null 2>&1
  local korrin=$prefix/drive_c/Korrin rpl=$prefix/drive_c/windows/rpl
  server() { (cd "$korrin" && exec timeout "$KORRIN_LIMIT_PROGRAM" "${env[@]}" wine Server.exe "$@" </dev/null >>"$log" 2>&1); }
  # The example, as the README gives it, in code page 936 with CR LF.
  sed -n '/^<!-- the example answer file/,/^```$/p' "$repo/README.md" | sed '1,2d;$d' |
    sed 's/$/\r/' | iconv -f UTF-8 -t GBK >"$korrin/rtl8139.ini"
  check "the README's example answer file is there" test -s "$korrin/rtl8139.ini"
  # The dry run first: one plan a step, and not a file of the server changed
  # but its own log.
  local fresh planned
  fresh=$(cd "$prefix/drive_c" && find . \( -path ./Korrin/plan.log -o -path ./users \) -prune -o -type f -exec md5sum {} + | sort -k2)
  server /run rtl8139.ini /plan /log plan.log
  status=$?
  check "/run ... /plan of the README's example ends with status 0 ($status)" test $status -eq 0
  planned=$(iconv -f GBK -t UTF-8 "$korrin/plan.log" | grep -c '^  按“')
  check "... and plans each of its 8 buttons ($planned)" test "$planned" -eq 8
  check "... and changes no file of the server" \
    test "$fresh" = "$(cd "$prefix/drive_c" && find . \( -path ./Korrin/plan.log -o -path ./users \) -prune -o -type f -exec md5sum {} + | sort -k2)"
  server /run rtl8139.ini /log rtl8139.log
  status=$?
  check "/run of the README's example ends with status 0 ($status)" test $status -eq 0
  check "... its log is code page 936 and says all is done" \
    env LC_ALL=C grep -qF "$(printf '全部完成。' | iconv -f UTF-8 -t GBK)" "$korrin/rtl8139.log"
  check "... and that it asked net's listings whether the accounts are all there" \
    env LC_ALL=C grep -qF "$(printf '%s' '询问 C:\windows\system32\net.exe share：返回值 0' | iconv -f UTF-8 -t GBK)" \
    "$korrin/rtl8139.log"
  check "... and what the packer and rplcmd changed, listed before and after their step" \
    env LC_ALL=C grep -qF "$(printf '%s' '  程序新建 c:\temp\bootimg.w98' | iconv -f UTF-8 -t GBK)" "$korrin/rtl8139.log"
  check "... rplcmd's database among them" \
    env LC_ALL=C grep -qiF "$(printf '%s' '  程序改动 C:\windows\rpl\' | iconv -f UTF-8 -t GBK)" "$korrin/rtl8139.log"
  server /check ready.txt
  status=$?
  check "/check after it ends with status 0 ($status)" test $status -eq 0
  [ $status -eq 0 ] || iconv -f GBK -t UTF-8 "$korrin/ready.txt" | grep -v '^√' | sed 's/^/e2e:   /' | head -20
  # A card registration refuses (the prefix of the registered RTL8139 for an
  # RTL8029): its plan foresees it, so nothing at all is done.
  printf '[Card]\r\nType=RTL 8029\r\nVendorPrefix=00E04C\r\n\r\n[Install]\r\nProfile=NE2KWIN\r\n\r\n[Service]\r\nStart=Yes\r\n' \
    >"$korrin/refused.ini"
  local before
  before=$(cd "$rpl" && find . -type f -exec md5sum {} + | sort -k2)
  server /run refused.ini /log refused.log
  status=$?
  check "/run of a file whose card registration refuses ends with status 2 ($status)" test $status -eq 2
  check "... its log names the card's step and its line" \
    env LC_ALL=C grep -qF "$(printf '[Card]（第 1 行）：“配置Rpl”会拒绝' | iconv -f UTF-8 -t GBK)" "$korrin/refused.log"
  check "... and the Remoteboot tree with the profile is byte for byte as it was" \
    test "$before" = "$(cd "$rpl" && find . -type f -exec md5sum {} + | sort -k2)"
  "${env[@]}" wineserver -k >/dev/null 2>&1
  WINE_ENV=("${wine_env[@]}")
}

# One server set up by hand sets up the others, a new one too: a demo server
# with no share yet, walked by hand (tests/e2e/new_server.steps) to its saved
# answer file; a second such server from that file alone by /run, which ends
# with 0; the two servers' checks then list the same items in the same states.
new_server_run() {
  local first=$out/new-first second=$out/new-second status prefix
  local -a env
  for prefix in "$first" "$second"; do
    if ! KORRIN_DEMO_SHARE=none KORRIN_PREFIX_CACHE=${KORRIN_PREFIX_CACHE:-$repo/build-wine/prefix-base} \
         "$repo/demo/make_demo.sh" "$prefix" "$out/release" "$build" >>"$log" 2>&1; then
      say "FAILED: cannot make a new demo server"
      failed=$((failed + 1))
      return
    fi
  done
  check "a new demo server has no share yet" test -z "$(ls "$first/drive_d")"
  korrin_wine_env "$first" "$KORRIN_DISPLAY" "$locales"
  korrin_walk_road "$first" "$build/tests/e2e/driver.exe" "$repo/tests/e2e/new_server.steps" "$shots/new-server" \
    >>"$log" 2>"$out/new-server.err"
  status=$?
  check "the new server set up by hand, its answer file saved ($status)" test $status -eq 0
  [ $status -eq 0 ] || sed 's/^/e2e:   /' "$out/new-server.err" | tee -a "$log"
  # Each server's check, and the second's run, in its own Korrin folder.
  in_korrin() {  # PREFIX ARGS...
    local prefix=$1
    shift
    korrin_wine_env "$prefix" "$KORRIN_DISPLAY" "$locales"
    env=("${WINE_ENV[@]}")
    "${env[@]}" wineserver -p </dev/null >/dev/null 2>&1
    (cd "$prefix/drive_c/Korrin" && exec timeout "$KORRIN_LIMIT_PROGRAM" "${env[@]}" wine Server.exe "$@" </dev/null >>"$log" 2>&1)
    local code=$?
    "${env[@]}" wineserver -k >/dev/null 2>&1
    return $code
  }
  in_korrin "$first" /check check.txt
  cp "$first/drive_c/e2e/new.ini" "$second/drive_c/Korrin/new.ini" 2>/dev/null
  check "the saved answer file is there" test -s "$second/drive_c/Korrin/new.ini"
  in_korrin "$second" /run new.ini /log new.log
  status=$?
  check "/run of the saved file on a second new server ends with status 0 ($status)" test $status -eq 0
  [ $status -eq 0 ] || iconv -f GBK -t UTF-8 "$second/drive_c/Korrin/new.log" 2>/dev/null | tail -8 | sed 's/^/e2e:   /'
  in_korrin "$second" /check check.txt
  items() { iconv -f GBK -t UTF-8 "$1/drive_c/Korrin/check.txt" 2>/dev/null | sed -n 's/^\(.\)【[^】]*】\([^：]*\)：.*/\1\2/p'; }
  check "... and its check lists the same items in the same states as the first server's ($(items "$first" | wc -l) items)" \
    test -n "$(items "$first")" -a "$(items "$first")" = "$(items "$second")"
  [ "$(items "$first")" = "$(items "$second")" ] || diff <(items "$first") <(items "$second") | sed 's/^/e2e:   /' | tee -a "$log"
  WINE_ENV=("${wine_env[@]}")
}

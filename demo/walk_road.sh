# Walks the demo road (demo/road.steps) on a demo server under Wine; shared
# by run.sh and the end-to-end run (sourced, not run).
#   korrin_walk_road PREFIX DRIVER ROAD SHOTS
#     PREFIX  a demo server made by demo/make_demo.sh
#     DRIVER  the driver program (driver.exe of the x86_64 build)
#     ROAD    the file of steps
#     SHOTS   the folder for the screenshots, emptied first
# Uses WINE_ENV (demo/wine_session.sh) for PREFIX and its display, and the
# limits of demo/waits.sh. Starts
# Server.exe in PREFIX's C:\Korrin and walks the road a step at a time. At the
# first step that fails it says which line and step failed and what the driver
# saw, keeps a screenshot of that moment (NN-failed.png), ends the program and
# returns 1; when every step went as expected it says so in one line and
# returns 0. Either way, every program of the prefix is ended.

korrin_walk_road() {
  local prefix=$1 driver=$2 road=$3 shots=$4
  local display line name number=0 shot_count=0 output status failed=
  local -a words
  display=$(printf '%s\n' "${WINE_ENV[@]}" | sed -n 's/^DISPLAY=//p')
  rm -rf "$shots" && mkdir -p "$shots" "$prefix/drive_c/e2e"
  cp "$driver" "$prefix/drive_c/e2e/driver.exe" || return 1
  # The prefix's wineserver first, on no pipe of ours: a wineserver that a
  # step's wine started would hold that step's output open.
  "${WINE_ENV[@]}" wineserver -p </dev/null >/dev/null 2>&1
  (cd "$prefix/drive_c/Korrin" && exec timeout "$KORRIN_LIMIT_PROGRAM" "${WINE_ENV[@]}" wine Server.exe >/dev/null 2>&1) &
  local server=$!
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    line=${line%$'\r'}
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    # The line's words as the shell quotes them, without running anything.
    if ! output=$(printf '%s\n' "$line" | xargs printf '%s\0' 2>&1 >"$shots/.words"); then
      failed="$road:$number: the line cannot be read ($output): $line"
      break
    fi
    mapfile -d '' words <"$shots/.words"
    name=
    case ${words[0]} in
      pause)
        sleep "${words[1]:-1}"
        continue ;;
      shot)
        if [ ${#words[@]} -lt 3 ]; then failed="$road:$number: a shot needs a name and a step: $line"; break; fi
        name=${words[1]}
        words=("${words[@]:2}") ;;
    esac
    timeout "$KORRIN_LIMIT_STEP" "${WINE_ENV[@]}" wine 'C:\e2e\driver.exe' "${words[@]}" </dev/null >"$shots/.out" 2>&1
    status=$?
    output=$(cat "$shots/.out")
    if [ $status -ne 0 ] && [ "${output#usage:}" != "$output" ]; then
      failed="$road:$number: the driver has no step '${words[*]}' ($(printf '%s\n' "$output" | head -1 | tr -d '\r');"
      failed+=" the driver program alone lists its steps)"
      break
    elif [ $status -ne 0 ]; then
      failed="$road:$number: the step '${words[*]}' failed (status $status); the driver saw:"$'\n'$(
        printf '%s\n' "$output" | tr -d '\r' | grep -v '^ok ' | sed 's/^/    /')
      break
    fi
    if [ -n "$name" ]; then
      shot_count=$((shot_count + 1))
      sleep "$KORRIN_SETTLE"
      DISPLAY=$display import -window root "$shots/$(printf %02d "$shot_count")-$name.png"
    fi
  done <"$road"
  rm -f "$shots/.words" "$shots/.out"
  if [ -n "$failed" ]; then
    DISPLAY=$display import -window root "$shots/$(printf %02d $((shot_count + 1)))-failed.png" 2>/dev/null
    echo "road: $failed" >&2
    echo "road: the screenshot of that moment: $shots/$(printf %02d $((shot_count + 1)))-failed.png" >&2
  fi
  "${WINE_ENV[@]}" wineserver -k >/dev/null 2>&1
  wait "$server" 2>/dev/null
  if [ -n "$failed" ]; then return 1; fi
  echo "road: every step of the demo road went as expected ($shot_count screenshots in $shots)"
}

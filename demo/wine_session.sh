# Shared by run.sh and the end-to-end run (sourced, not run): the Chinese
# locale for Wine, a virtual display, and the environment of the wine commands
# with the waits of demo/waits.sh.
#   korrin_locale REPO          -> prints the LOCPATH holding zh_CN.UTF-8 and en_US.UTF-8
#   korrin_start_xvfb           -> sets KORRIN_DISPLAY and KORRIN_XVFB_PID
#   korrin_stop_xvfb            stops that Xvfb by its PID
#   korrin_wine_env PREFIX DISPLAY LOCPATH [LOCALE] -> fills the array WINE_ENV
#                               (LOCALE zh_CN.UTF-8 unless given; the driver's
#                               wait KORRIN_WAIT_MS with it)
#   korrin_wine_session PREFIX LOCPATH -> a virtual display and a running
#                               wineserver for PREFIX (Chinese locale), both
#                               ended when the calling script exits; fills WINE_ENV

. "$(dirname "${BASH_SOURCE[0]}")/waits.sh" || return 1

korrin_locale() {
  local dir=$1/build-wine/locale locale
  # Wine takes code page 936 from the Chinese locale and, with the locale
  # really present, passes Chinese arguments and file names unharmed; the
  # English one (code page 1252) is for the check that the program's own
  # windows show Chinese on any system.
  for locale in zh_CN en_US; do
    if [ ! -d "$dir/$locale.UTF-8" ]; then
      mkdir -p "$dir"
      localedef -i "$locale" -f UTF-8 "$dir/$locale.UTF-8" >/dev/null 2>&1 || true
    fi
    [ -d "$dir/$locale.UTF-8" ] || { echo "cannot make the $locale.UTF-8 locale (package locales)" >&2; return 1; }
  done
  echo "$dir"
}

korrin_start_xvfb() {
  local n
  KORRIN_DISPLAY=
  for n in $(seq 90 140); do
    # A display is free when neither its lock file nor its socket is there,
    # nor its socket of the abstract namespace, which a root of its own
    # (a chroot, a container on the same network) shares with the machine:
    # a client there tries that one first, and would meet another root's
    # display of the same number.
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] &&
       ! grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix 2>/dev/null; then
      KORRIN_DISPLAY=:$n
      break
    fi
  done
  [ -n "$KORRIN_DISPLAY" ] || { echo "no free display number" >&2; return 1; }
  Xvfb "$KORRIN_DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  KORRIN_XVFB_PID=$!
  for n in $(seq 50); do [ -e "/tmp/.X11-unix/X${KORRIN_DISPLAY#:}" ] && return 0; sleep 0.1; done
  echo "Xvfb did not start" >&2
  return 1
}

korrin_stop_xvfb() {
  if [ -n "${KORRIN_XVFB_PID:-}" ]; then
    # Neither the kill nor the display's end status may fail a caller that
    # runs with errexit: this runs from its exit trap.
    kill "$KORRIN_XVFB_PID" 2>/dev/null || true
    wait "$KORRIN_XVFB_PID" 2>/dev/null || true
    KORRIN_XVFB_PID=
  fi
}

korrin_wine_env() {
  local locale=${4:-zh_CN.UTF-8}
  WINE_ENV=(env WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$2"
            LOCPATH="$3" LANG="$locale" LC_ALL="$locale" KORRIN_WAIT_MS="$KORRIN_WAIT_MS")
}

korrin_wine_session() {
  korrin_start_xvfb || return 1
  korrin_wine_env "$1" "$KORRIN_DISPLAY" "$2"
  trap '"${WINE_ENV[@]}" wineserver -k >/dev/null 2>&1 || true; korrin_stop_xvfb' EXIT
  "${WINE_ENV[@]}" wineserver -p >/dev/null 2>&1
}

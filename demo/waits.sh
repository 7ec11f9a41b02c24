# The waits of the demo road and the end-to-end run, all in this one place
# (sourced by demo/wine_session.sh). Each wait for something the program will
# do is the longest it is waited for before the step is called failed: on a
# fast machine none is waited out, and on a loaded one the program may take
# many times as long as usual, so none is shorter than 15 s.
# KORRIN_WAIT_SCALE (a number, 1 or more; default 1) multiplies them all, for
# a slow machine.
#
#   KORRIN_WAIT           s   what the program will show or do: a window or a
#                             message box shown or gone, a control's state, a
#                             file it writes, its end. The driver
#                             (tests/e2e/driver.cpp) takes it as KORRIN_WAIT_MS,
#                             which Wine passes on from WINE_ENV.
#   KORRIN_WAIT_JOB       s   a job the program started in the background to
#                             write its files (the account script's 40-odd net
#                             commands, each a program under Wine)
#   KORRIN_LIMIT_STEP     s   one run of the driver or of Server.exe /check,
#                             ended past it: a hang, not a wait (a driver step
#                             may wait KORRIN_WAIT a few times over)
#   KORRIN_LIMIT_PROGRAM  s   one session of Server.exe, an answer file's whole
#                             run included (the program itself gives the PDK's
#                             installer 10 minutes); ended past it
#   KORRIN_SETTLE         s   before a screenshot, for the screen to be drawn
#
# Nothing in the road or the end-to-end run waits to see that something does
# NOT happen: what must not change is compared once the step that could have
# changed it has ended (its message answered, the program closed).

korrin_scaled() {  # SECONDS [DECIMALS]: SECONDS times the scale
  LC_ALL=C awk -v v="$1" -v s="${KORRIN_WAIT_SCALE:-1}" -v d="${2:-0}" 'BEGIN { printf "%." d "f", v * s }'
}

if ! [[ ${KORRIN_WAIT_SCALE:-1} =~ ^[0-9]+(\.[0-9]+)?$ ]] ||
   ! LC_ALL=C awk -v s="${KORRIN_WAIT_SCALE:-1}" 'BEGIN { exit !(s >= 1) }'; then
  echo "KORRIN_WAIT_SCALE must be a number of 1 or more (it lengthens the waits), not '$KORRIN_WAIT_SCALE'" >&2
  return 1
fi
KORRIN_WAIT=$(korrin_scaled 30)
KORRIN_WAIT_MS=$((KORRIN_WAIT * 1000))
KORRIN_WAIT_JOB=$(korrin_scaled 60)
KORRIN_LIMIT_STEP=$(korrin_scaled 150)
KORRIN_LIMIT_PROGRAM=$(korrin_scaled 900)
KORRIN_SETTLE=$(korrin_scaled 0.3 1)

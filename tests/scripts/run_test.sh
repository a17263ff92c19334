#!/usr/bin/env bash
# Tests scripts/run from outside, as a newcomer without a display runs it: the tour writes
# pictures that show something, taken from the 32-bit programs under Wine 10, an interrupted run leaves none of its processes behind (by
# the PIDs it records) and a second run works, and every shipped scenario installs.
# Prints "ok - ..." or "not ok - ..." a check; exits non-zero when one fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_ROOT=${BUILD_ROOT:-$root/build}
build=$BUILD_ROOT
pids_file=$build/run-pids
mkdir -p "$build"
# Inside the build folder, which Wine 10 sees: the faulty scenario below lives there.
tmp=$(mktemp -d "$build/run-test.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
run=""

bash "$root/scripts/setup" >/dev/null || exit 1
export WINEPREFIX=$build/run-prefix-win32
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine10-env.sh"
use_wine10 "$root" "$build" || exit 1

failures=0
check() {
  local name=$1
  shift
  if "$@"; then echo "ok - $name"; else echo "not ok - $name"; failures=$((failures + 1)); fi
}

# Waits up to $2 seconds for the command after it to succeed.
wait_until() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 2; i++)); do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}

recorded() { grep -q "^$1 " "$pids_file" 2>/dev/null; }
ended() { ! kill -0 "$1" 2>/dev/null; }

# Every PID the run recorded has ended, and no Wine process of its prefix is left.
nothing_left() {
  local name pid left=0
  while read -r name pid; do
    wait_until 10 ended "$pid" || { echo "  $name $pid is still running"; left=1; }
  done <"$pids_file"
  [[ -z $(prefix_pids) ]] || { echo "  Wine processes left in the prefix: $(prefix_pids)"; left=1; }
  ((left == 0))
}

# Starts scripts/run without a display in its own process group, with SIGINT handled as
# a terminal would leave it (a background job would otherwise ignore it); sets $run to its PID.
start_run() {
  local log=$1
  shift
  rm -f "$pids_file"
  setsid env --default-signal=INT -u DISPLAY bash "$root/scripts/run" "$@" >"$log" 2>&1 </dev/null &
  run=$!
}

# Waits up to $1 seconds (default 60) for the run to end and sets $status to its exit
# status; a run still going then is stopped.
run_ended() {
  status=""
  if ! wait_until "${1:-60}" ended "$run"; then
    kill -TERM "$run"
    wait_until 30 ended "$run" || kill -KILL -- "-$run"
    wait "$run"
    return 1
  fi
  wait "$run"
  status=$?
}

# Interrupted itself, it stops the run under way (which stops what it started).
stop() {
  trap '' INT TERM HUP
  [[ -n $run ]] && kill -TERM "$run" 2>/dev/null && wait_until 30 ended "$run"
  wine_down
  exit 130
}
trap stop INT TERM HUP

# Ctrl-C (SIGINT to the whole process group) while it prepares the Wine prefix. The first
# run may build everything, so the wait is long.
start_run "$tmp/ctrl-c.log" --tour "$tmp/ctrl-c"
check "run reaches the Wine step" wait_until 900 recorded xvfb
kill -INT -- "-$run"
check "Ctrl-C ends the run" run_ended
check "Ctrl-C: the run reports the interruption" grep -q "interrupted" "$tmp/ctrl-c.log"
check "Ctrl-C: nothing it started is left" nothing_left

# A kill of the script alone while Skyvane runs; without --tour and without a display it
# takes the tour on its own and says so first.
start_run "$tmp/kill.log" --scenario two-adapters
check "run starts Skyvane with another scenario" wait_until 300 recorded skyvane
check "without a display the run says it takes the tour" \
  grep -q "^run: no display" "$tmp/kill.log"
check "--scenario NAME installs athcfg/scenarios/NAME.txt" \
  grep -qF "from $root/athcfg/scenarios/two-adapters.txt" "$tmp/kill.log"
kill -TERM "$run"
check "a kill ends the run" run_ended
check "a kill: nothing it started is left" nothing_left

# A whole tour after the interrupted runs.
start_run "$tmp/tour.log" --tour "$tmp/tour"
check "the tour finishes with status 0" eval 'run_ended 300 && ((status == 0))'
check "the tour runs the 32-bit programs" grep -q "^run: PE32 executable (GUI) Intel 80386: $build/win32/bin/Skyvane.exe" "$tmp/tour.log"
check "the tour leaves nothing behind" nothing_left
for picture in desktop about tray-menu tray-menu-profiles monitor-0-configuration monitor-1-status monitor-2-ipsettings \
               monitor-3-sitesurvey monitor-3-sitesurvey-scanning monitor-3-sitesurvey-scanned \
               monitor-4-about monitor-4-about-54 new-profile security-none security-wep \
               security-wpa-psk security-wpa-eap security-8021x drivora-help sitesurvey-menu channel-view balloon history \
               preferred-networks; do
  file=$tmp/tour/$picture.png
  # A window that painted nothing is one flat colour.
  check "tour: $picture.png is listed and shows something" eval \
    'grep -qF "tour: $file" "$tmp/tour.log" && (($(identify -format %k "$file") > 8))'
done
# Each state the tour puts a window in shows something of its own: a switch that failed
# would show the state before it again.
distinct() { (($(cd "$tmp/tour" && md5sum "$@" | cut -d' ' -f1 | sort -u | wc -l) == $#)); }
check "tour: the Security views all differ" \
  distinct security-none.png security-wep.png security-wpa-psk.png security-wpa-eap.png security-8021x.png
check "tour: the About pages of the two models differ" distinct monitor-4-about.png monitor-4-about-54.png
[[ $failures == 0 ]] || sed 's/^/  | /' "$tmp/tour.log"

# Every shipped scenario installs; a faulty one is refused (so the check can fail).
printf 'adapter radio=sideways\n' >"$tmp/bad.txt"
installs() { timeout 60 "$WINE" "$build/win32/bin/athsim.exe" install "$1" </dev/null >"$tmp/athsim.log" 2>&1; }
"$WINESERVER" -p >/dev/null 2>&1 </dev/null
for scenario in "$root"/athcfg/scenarios/*.txt; do
  check "scenario $(basename "$scenario") installs" installs "$scenario"
done
check "a faulty scenario is refused" eval '! installs "$tmp/bad.txt"'
wine_down

echo "scripts/run: $failures failed"
((failures == 0))

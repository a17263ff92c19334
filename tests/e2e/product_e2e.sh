#!/usr/bin/env bash
# The end-to-end tests against the product: the test programs of the 64-bit build (build/win)
# drive the 32-bit programs of build/win32 (SKYVANE_PRODUCT_DIR) under Wine 10, which runs
# both, in the prefix build/win32/prefix on a private Xvfb. The unit and Win32 integration
# tests link the code under test into themselves and stay on the 64-bit build and Wine 8.
# Prints "ok - ..." or "not ok - ..." a test program; exits non-zero when one fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_ROOT:-$root/build}
tests="skyvane_e2e drivora_e2e_test setup_e2e_test"

export WINEPREFIX=$build/win32/prefix
source "$root/scripts/wine-env.sh"
source "$root/scripts/wine10-env.sh"
use_wine10 "$root" "$build" || exit 1

job=""
stop() {
  trap '' INT TERM HUP
  [[ -n $job ]] && kill -TERM "$job" 2>/dev/null
  wine_down
  stop_xvfb
}
trap 'stop; exit 130' INT
trap 'stop; exit 143' TERM
trap 'stop; exit 129' HUP

start_xvfb || exit 1
wine_up "$build/win/bin/gui_warmup.exe"
# The setup's shortcuts must not reach the host's desktop menus.
export WINEDLLOVERRIDES="winemenubuilder.exe,$WINEDLLOVERRIDES"
export SKYVANE_PRODUCT_DIR="Z:${build//\//\\}\\win32\\bin"

failures=0
cd "$build/win/bin"
for test in $tests; do
  log=$build/win32/$test.log
  # In the background, so that a signal is handled at once.
  timeout 900 "$WINE" "$test.exe" </dev/null >"$log" 2>&1 &
  job=$!
  wait "$job"
  status=$?
  job=""
  if ((status == 0)) && grep -q '^\[  PASSED  \]' "$log"; then
    echo "ok - 32-bit product: $test ($(grep -Eo '^\[  PASSED  \] [0-9]+' "$log" | grep -Eo '[0-9]+$') tests)"
  else
    echo "not ok - 32-bit product: $test (exit $status)"
    sed 's/^/  | /' "$log"
    failures=$((failures + 1))
  fi
done
stop
trap - INT TERM HUP
echo "32-bit product end-to-end: $failures failed"
((failures == 0))

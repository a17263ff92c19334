# Wine test host helpers; source this file. Uses $WINEPREFIX when set, else the caller's choice.
# The tests run the 64-bit build in a 64-bit prefix (see cmake/mingw-x86_64.cmake) under the
# host's Wine 8; use_wine10 (scripts/wine10-env.sh) switches to Wine 10 for the 32-bit product.
export WINEARCH=win64
export WINE=/usr/lib/wine/wine64
WINESERVER=wineserver
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="

XVFB_PID=""
WINE_ENV_BUILD=$(realpath -m "${BUILD_ROOT:-$(dirname "${BASH_SOURCE[0]}")/../build}")

# True when $1 lies below the project's build folder (symbolic links and ".." resolved).
inside_build_folder() {
  local path
  path=$(realpath -m "$1")
  [[ $path == "$WINE_ENV_BUILD"/?* ]]
}

# Starts Xvfb on the first free display from 90 up and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 130); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.1
    done
    if kill -0 "$XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "could not start Xvfb" >&2
  return 1
}

stop_xvfb() {
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}

# Creates the prefix if needed, starts a persistent wineserver and warms Wine up, so that
# its background services are not started by (and do not hold the pipes of) a test.
# $1: a small GUI program that opens and closes a window (first GUI start in a fresh prefix).
wine_up() {
  # A prefix whose first set-up was interrupted has no marker: Wine cannot start in it
  # ("could not load kernel32.dll"), so it is made anew.
  local ready="$WINEPREFIX/.setup-complete"
  if [[ -d $WINEPREFIX && ! -e $ready ]]; then
    # Only a prefix of ours is made anew, whatever WINEPREFIX names.
    if ! inside_build_folder "$WINEPREFIX"; then
      echo "wine_up: $WINEPREFIX is unfinished but outside $WINE_ENV_BUILD; not deleting it" >&2
      return 1
    fi
    "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  mkdir -p "$WINEPREFIX"
  # wineboot returns before the prefix's set-up has finished (services created meanwhile
  # are lost when it completes): wait until every Wine process of the prefix has ended.
  "$WINE" wineboot -i >/dev/null 2>&1 </dev/null
  "$WINESERVER" -w >/dev/null 2>&1 </dev/null
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 && touch "$ready"
  if [[ -n ${1:-} ]]; then
    timeout 60 "$WINE" "$1" </dev/null >/dev/null 2>&1 || true
  fi
}

# Prints the PIDs of the Wine processes that run in $WINEPREFIX (its wineserver, its
# services and the programs started in it), found by their executable and environment.
prefix_pids() {
  local d
  for d in /proc/[0-9]*; do
    [[ $(readlink "$d/exe" 2>/dev/null) == ${WINE_INSTALL_ROOT:-}/usr/lib/wine/wine* ]] || continue
    tr '\0' '\n' 2>/dev/null <"$d/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "${d#/proc/}"
  done
  return 0
}

wine_down() {
  "$WINESERVER" -k >/dev/null 2>&1 </dev/null || true
  "$WINESERVER" -w >/dev/null 2>&1 </dev/null || true
}

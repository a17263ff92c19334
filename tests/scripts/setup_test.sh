#!/usr/bin/env bash
# The set-up as a fresh machine meets it, on crafted folders and stand-in commands (nothing is
# installed): the mirror comes from either form of apt sources, and a step that fails is named
# with its log, by scripts/setup and by scripts/test and scripts/run, which end non-zero.
# Prints "ok - ..." or "not ok - ..." a check; exits non-zero when one fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$root/scripts/wine10-env.sh"
failures=0
check() {
  [[ $2 == "$3" ]] && echo "ok - $1" && return
  echo "not ok - $1: got \"$2\", want \"$3\""
  failures=$((failures + 1))
}

# The mirror, looked up as scripts/setup does (errexit and pipefail on); security mirrors are
# not Debian's main mirror.
mkdir -p "$work"/{old,deb822,both}/sources.list.d "$work/none"
for dir in old both; do
  printf 'deb [arch=amd64] http://old.example/debian bookworm main\ndeb http://security.debian.org/debian-security bookworm-security main\n' >"$work/$dir/sources.list"
done
for dir in deb822 both; do
  printf 'Types: deb\nURIs: http://security.debian.org/debian-security\n\nTypes: deb\nURIs: http://new.example/debian/\n' \
    >"$work/$dir/sources.list.d/debian.sources"
done
for want in old=http://old.example/debian deb822=http://new.example/debian both=http://old.example/debian \
            none=http://deb.debian.org/debian; do
  check "mirror from ${want%%=*} sources" "$(set -euo pipefail; wine10_mirror "$work/${want%%=*}"; echo "status $?")" \
    "${want#*=}
status 0"
done

# A failing step: every package looks missing and apt-get fails.
mkdir -p "$work/bin" "$work/tmp"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "E: stand-in apt-get cannot reach its mirror" >&2\nexit 100\n' >"$work/bin/apt-get"
chmod +x "$work/bin/dpkg-query" "$work/bin/apt-get"
for command in setup test "run --tour $work/tour"; do
  out=$(PATH="$work/bin:$PATH" TMPDIR="$work/tmp" BUILD_ROOT="$work/build" \
        timeout 120 bash "$root/scripts/"$command </dev/null 2>&1)
  status=$?
  said=no
  [[ $out == *"apt-get update failed (log: $work/tmp/skyvane-setup.log)"* &&
     $out == *"E: stand-in apt-get cannot reach its mirror"* ]] && said=yes
  [[ $command == setup || $out == *"${command%% *}: the set-up failed"* ]] || said="no, not passed on"
  check "scripts/$command: a failing apt-get is named with its log" "$said, status $((status != 0))" "yes, status 1"
done
check "nothing is built after the set-up failed" "$([[ -e $work/build ]] && echo built || echo nothing)" nothing
((failures == 0))

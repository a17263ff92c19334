#!/usr/bin/env bash
# The set-up on crafted apt sources and stand-in commands: the mirror lookup, and a failing
# apt-get named with its log. Prints "ok - ..." or "not ok - ..." a check; fails when one does.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$root/scripts/wine10-env.sh"
failures=0
check() {  # name, got, wanted
  if [[ $2 == "$3" ]]; then echo "ok - $1"; else echo "not ok - $1: got \"$2\", want \"$3\""; ((++failures)); fi
}

# Looked up as scripts/setup does, under errexit; a security mirror is not the main one.
mkdir -p "$work"/{old,deb822,both}/sources.list.d "$work/none" "$work/bin"
tee "$work"/{old,both}/sources.list <<<'deb [arch=amd64] http://old.example/debian bookworm main' >/dev/null
printf 'Types: deb\nURIs: http://security.debian.org/debian-security\n\nURIs: http://new.example/debian/\n' |
  tee "$work"/{deb822,both}/sources.list.d/debian.sources >/dev/null
for case in old=old.example deb822=new.example both=old.example none=deb.debian.org; do
  got=$(set -euo pipefail; url=$(wine10_mirror "$work/${case%=*}"); echo "$url")
  check "mirror from ${case%=*} sources" "$got" "http://${case#*=}/debian"
done

# Every package looks missing and apt-get fails: scripts/test and scripts/run pass it on.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "E: no mirror" >&2\nexit 100\n' >"$work/bin/apt-get"
chmod +x "$work"/bin/*
for command in setup test "run --tour $work/tour"; do
  out=$(PATH="$work/bin:$PATH" TMPDIR=$work BUILD_ROOT=$work/build timeout 120 bash "$root/scripts/"$command 2>&1)
  said="status $?"
  [[ $out == *"apt-get update failed (log: $work/skyvane-setup.log)"*"E: no mirror"* ]] && said+=", named"
  [[ $command == setup || $out == *"${command%% *}: the set-up failed"* ]] && said+=", passed on"
  check "scripts/${command%% *} names a failing apt-get with its log" "$said" "status 1, named, passed on"
done
((failures == 0))

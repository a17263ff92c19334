# Wine 10 of Debian 13, in a root of its own: it runs the 32-bit product (new WoW64: 32-bit
# code inside the 64-bit loader, no 32-bit Linux binary). Source this file.
#   wine10_prepare_root   makes the root once (scripts/setup calls it)
#   wine10_mount DIR...   makes DIR visible inside the root at the same path
#   scripts/wine10, scripts/wineserver10   run Wine 10's wine64 and wineserver64 there
# The root lives in a fixed system folder: removing it while a host folder is bind-mounted
# into it would delete that folder's contents, so nothing here removes it before unmounting.
WINE10_ROOT=${WINE10_ROOT:-/var/lib/skyvane-wine10/root}
wine10_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine10_ready=$WINE10_ROOT.ready
wine10_log=$WINE10_ROOT.log

# The mount points inside the root, deepest first.
wine10_mounts() {
  local dev point rest
  while read -r dev point rest; do
    point=$(printf '%b' "${point//\\/\\0}")  # /proc/mounts writes a space as \040
    [[ $point == "$WINE10_ROOT"/* ]] && echo "$point"
  done </proc/mounts | sort -r
}

wine10_unmount() {
  local point
  while read -r point; do
    umount "$point" 2>/dev/null || umount -l "$point"
  done < <(wine10_mounts)
  [[ -z $(wine10_mounts) ]]
}

wine10_fail() {
  echo "setup: Wine 10: $1 failed (log: $wine10_log)" >&2
  tail -20 "$wine10_log" >&2
  wine10_unmount
  return 1
}

# The Debian mirror the host's apt uses, from DIR/sources.list ("deb URL" lines) or
# DIR/sources.list.d/*.list and *.sources (deb822 "URIs:" lines); either may be missing.
# Prints the default mirror when none is found; never fails.
wine10_mirror() {
  local dir=${1:-/etc/apt} file line url words
  for file in "$dir/sources.list" "$dir"/sources.list.d/*.list "$dir"/sources.list.d/*.sources; do
    [[ -f $file ]] || continue
    while read -r line; do
      case $line in
        deb\ *|URIs:*) ;;
        *) continue ;;
      esac
      read -ra words <<<"$line"  # an option such as [arch=amd64] is no file pattern
      for url in "${words[@]}"; do
        if [[ $url =~ ^https?://.+/debian/?$ ]]; then
          echo "${url%/}"
          return 0
        fi
      done
    done <"$file"
  done
  echo http://deb.debian.org/debian
}

# Runs a command inside the root without the host's preloads.
wine10_chroot() { chroot "$WINE10_ROOT" env -u LD_LIBRARY_PATH -u LD_PRELOAD DEBIAN_FRONTEND=noninteractive "$@"; }

# Debian 13 with Wine 10 and the 32-bit Windows DLLs, made once; a root without the marker
# (an earlier set-up stopped half-way) is made anew. One set-up at a time.
wine10_prepare_root() {
  [[ -e $wine10_ready ]] && return 0
  mkdir -p "$(dirname "$WINE10_ROOT")"
  (
    flock 9
    [[ -e $wine10_ready ]] && exit 0
    wine10_unmount || { echo "setup: Wine 10: cannot unmount what is mounted in $WINE10_ROOT" >&2; exit 1; }
    if [[ -e $WINE10_ROOT ]]; then
      echo "setup: Wine 10: removing the incomplete root $WINE10_ROOT"
      rm -rf --one-file-system "$WINE10_ROOT"
    fi
    : >"$wine10_log"
    local mirror
    mirror=$(wine10_mirror /etc/apt)
    echo "setup: Wine 10: debootstrap of Debian 13 into $WINE10_ROOT (about a minute)"
    debootstrap --variant=minbase trixie "$WINE10_ROOT" $mirror >>"$wine10_log" 2>&1 || wine10_fail debootstrap || exit 1
    { cp /etc/hosts "$WINE10_ROOT/etc/" && { [[ ! -e /etc/resolv.conf ]] || cp /etc/resolv.conf "$WINE10_ROOT/etc/"; }; } \
      >>"$wine10_log" 2>&1 || wine10_fail "copying /etc/hosts and /etc/resolv.conf into the root" || exit 1
    mount -t proc proc "$WINE10_ROOT/proc" >>"$wine10_log" 2>&1 || wine10_fail "mounting proc in the root" || exit 1
    echo "setup: Wine 10: installing wine and wine64 in the root (about a minute)"
    { wine10_chroot dpkg --add-architecture i386 && wine10_chroot apt-get update &&
      wine10_chroot apt-get install -y --no-install-recommends wine wine64 libxrandr2 libxi6 libxcursor1 \
        libxcomposite1 libxinerama1; } >>"$wine10_log" 2>&1 || wine10_fail "apt-get install wine" || exit 1
    # The WoW64 loader looks for the 32-bit PE DLLs beside the 64-bit ones; Debian ships
    # them in libwine:i386, whose Linux half these machines could not run anyway.
    echo "setup: Wine 10: adding the 32-bit Windows DLLs"
    local version dlls=usr/lib/x86_64-linux-gnu/wine/i386-windows
    version=$(wine10_chroot dpkg-query -W -f='${Version}' libwine:amd64 2>>"$wine10_log") ||
      wine10_fail "reading the version of libwine:amd64" || exit 1
    { wine10_chroot sh -c "cd /tmp && apt-get download libwine:i386=$version" &&
      dpkg-deb -x "$WINE10_ROOT"/tmp/libwine_*_i386.deb "$WINE10_ROOT/tmp/libwine-i386" &&
      mkdir -p "$WINE10_ROOT/$dlls" &&
      cp -a "$WINE10_ROOT/tmp/libwine-i386/usr/lib/i386-linux-gnu/wine/i386-windows/." "$WINE10_ROOT/$dlls/"; } \
      >>"$wine10_log" 2>&1 || wine10_fail "libwine:i386 $version" || exit 1
    rm -rf "$WINE10_ROOT"/tmp/libwine*
    # Debug information is most of their size and nothing reads it.
    echo "setup: Wine 10: stripping debug information from the Wine DLLs"
    # Both only save space: a failure is said and the root is used as it is.
    { find "$WINE10_ROOT/usr/lib/x86_64-linux-gnu/wine/x86_64-windows" -type f \
        -exec x86_64-w64-mingw32-strip --strip-debug {} + &&
      find "$WINE10_ROOT/$dlls" -type f -exec i686-w64-mingw32-strip --strip-debug {} +; } >>"$wine10_log" 2>&1 ||
      echo "setup: Wine 10: stripping the DLLs failed; the root works but is larger (log: $wine10_log)"
    wine10_chroot apt-get clean >>"$wine10_log" 2>&1 ||
      echo "setup: Wine 10: apt-get clean failed in the root; it keeps the downloaded packages (log: $wine10_log)"
    [[ -x $WINE10_ROOT/usr/lib/wine/wine64 && -e $WINE10_ROOT/$dlls/kernel32.dll ]] ||
      wine10_fail "the check for wine64 and the 32-bit kernel32.dll" || exit 1
    wine10_unmount || { echo "setup: Wine 10: cannot unmount what is mounted in $WINE10_ROOT" >&2; exit 1; }
    touch "$wine10_ready"
  ) 9>"$WINE10_ROOT.lock"
}

# Inside the root: proc, a read-only sysfs, the host's names and each DIR at its own path.
# Mounts stay for the next run and are reused: one per folder, not one per run.
wine10_mount() {
  local dir
  [[ -e $wine10_ready ]] || { echo "wine10: $WINE10_ROOT is not ready: run scripts/setup" >&2; return 1; }
  mountpoint -q "$WINE10_ROOT/proc" || mount -t proc proc "$WINE10_ROOT/proc" || return 1
  mountpoint -q "$WINE10_ROOT/sys" || mount -t sysfs -o ro sysfs "$WINE10_ROOT/sys" || return 1
  cp /etc/hosts "$WINE10_ROOT/etc/hosts" || return 1
  for dir; do
    dir=$(cd "$dir" && pwd -P) || return 1
    # Already visible there: mounted earlier, or inside a folder that is.
    [[ $(stat -c %d:%i "$dir") == "$(stat -c %d:%i "$WINE10_ROOT$dir" 2>/dev/null)" ]] && continue
    # A mount left from a folder of that name that has since been deleted (a clone made
    # anew) shows nothing and cannot be mounted over: it goes first.
    if mountpoint -q "$WINE10_ROOT$dir" 2>/dev/null || grep -qF " $WINE10_ROOT$dir " /proc/mounts; then
      umount "$WINE10_ROOT$dir" 2>/dev/null || umount -l "$WINE10_ROOT$dir" || return 1
    fi
    mkdir -p "$WINE10_ROOT$dir"
    mount --bind "$dir" "$WINE10_ROOT$dir" || return 1
  done
}

# Makes the helpers of wine-env.sh (source it first) run Wine 10, with each DIR mounted.
use_wine10() {
  wine10_mount "$@" || { echo "wine10: cannot mount $* in $WINE10_ROOT" >&2; return 1; }
  export WINE=$wine10_scripts/wine10
  WINESERVER=$wine10_scripts/wineserver10
  WINE_INSTALL_ROOT=$WINE10_ROOT
}

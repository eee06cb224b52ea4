#!/bin/sh
# Builds classtable.exe and the test suite for 64-bit Windows with MinGW-w64
# (cmake/mingw-w64-x86_64.cmake), runs the suite under Wine, and holds the
# .exe to the Linux build (BUILD_DIR, default build/): `init`, the bundled
# example appended and `convert` in a folder named in Chinese, then a second
# `convert` there, must leave the same files, byte for byte, and print the
# same log and messages; a read-only folder, a read-only ClassType.lua, the
# device NUL as input and a full disk must end with the same exit status and
# message. Run as root on Debian 12 (packages are installed; the read-only
# folder and the full disk need root). GoogleTest comes from the sources
# Debian ships (package googletest), Lua 5.4 for the tests from the sources
# of Debian's lua5.4, fetched once into the build folder through apt with
# source entries of its own (the machine needs no deb-src lines); where they
# cannot be fetched, the suite is skipped with a message and the checks
# against the Linux build still run.
#
#   scripts/windows-build.sh       build-windows/classtable.exe, WINDOWS_BUILD_DIR names another folder
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
./scripts/setup-debian.sh windows

linux_build=${BUILD_DIR:-build}
win_build=${WINDOWS_BUILD_DIR:-build-windows}
mkdir -p "$win_build"
win_build=$(cd "$win_build" && pwd)

# Lua's sources, as Debian ships them (with Debian's patches), through apt's
# ordinary source download: a list of our own, made from the machine's
# Debian entries, leaves the system's apt set-up as it was.
lua_source=$win_build/lua5.4
if [ ! -f "$lua_source/src/lua.h" ]; then
  apt_work=$(mktemp -d /tmp/classtable-lua-source.XXXXXX)
  mkdir -p "$apt_work/parts" "$apt_work/lists/partial" "$apt_work/cache"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types: deb$/Types: deb-src/' "$f" >"$apt_work/parts/$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$apt_work/sources.list"
  else
    : >"$apt_work/sources.list"
  fi
  apt_options="-o Dir::Etc::sourcelist=$apt_work/sources.list -o Dir::Etc::sourceparts=$apt_work/parts
    -o Dir::State::lists=$apt_work/lists -o Dir::Cache=$apt_work/cache -o APT::Sandbox::User=root"
  # shellcheck disable=SC2086
  if apt-get -qq $apt_options update && (cd "$apt_work" && apt-get -qq $apt_options source --download-only lua5.4); then
    rm -rf "$lua_source"
    (cd "$apt_work" && dpkg-source -q -x lua5.4_*.dsc "$lua_source" >/dev/null)
  fi
  rm -rf "$apt_work"
fi
# The test suite loads every script into Lua: without Lua's sources only
# classtable.exe is built, and the checks against the Linux build still run.
tests=ON
if [ ! -f "$lua_source/src/lua.h" ]; then
  tests=OFF lua_source=
  echo "windows: the sources of Debian's lua5.4 cannot be fetched: the test suite is not built nor run under Wine"
fi

start=$(date +%s)
log=$(mktemp /tmp/classtable-windows-configure.XXXXXX)
if ! cmake -S . -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCLASSTABLE_TESTS=$tests -DCLASSTABLE_LUA_SOURCE_DIR="$lua_source" >"$log" 2>&1; then
  cat "$log" >&2
  rm -f "$log"
  exit 1
fi
grep '^-- classtable:' "$log" || true
rm -f "$log"
cmake --build "$win_build" -j "$(nproc)"
built=$(date +%s)
echo "windows: built $win_build/classtable.exe in $((built - start)) s"

# The Linux build to compare with: only the command line is needed.
if [ ! -x "$linux_build/classtable" ]; then
  [ -f "$linux_build/CMakeCache.txt" ] || cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$linux_build" --target classtable -j "$(nproc)" >/dev/null
fi
linux_tool=$(cd "$linux_build" && pwd)/classtable

# Wine in a prefix of its own inside the build folder, its server kept
# running for the whole script rather than started for every test.
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$win_build/wine-prefix" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
"$wineserver" -p
work=$(mktemp -d /tmp/classtable-windows.XXXXXX)
cleanup() {
  for side in linux windows; do
    umount "$work/$side/full" 2>/dev/null || true
    chattr -i "$work/$side/read-only-folder/目录" 2>/dev/null || true
  done
  rm -rf "$work"
  "$wineserver" -k 2>/dev/null || true
}
trap cleanup EXIT
"$wine" "$win_build/classtable.exe" --version >/dev/null

if [ "$tests" = ON ]; then
  ctest --test-dir "$win_build" --output-on-failure -j "$(nproc)"
  echo "windows: the test suite ran under Wine in $(($(date +%s) - built)) s"
fi

# Arguments reach Wine as UTF-8 only under a UTF-8 locale.
export LC_ALL=C.UTF-8
chmod 755 "$work"
failures=0
fail() {
  echo "windows: FAILED: $*" >&2
  failures=$((failures + 1))
}

# Runs the build of SIDE (linux or windows) in the current folder, the
# Linux one behind $as_user when set; its standard output, standard error
# and exit status land in $work/SIDE.NAME.*.
as_user=
run() {
  side=$1 name=$2
  shift 2
  status=0
  if [ "$side" = linux ]; then
    # shellcheck disable=SC2086
    $as_user "$linux_tool" "$@" >"$work/$side.$name.out" 2>"$work/$side.$name.err" || status=$?
  else
    "$wine" "$win_build/classtable.exe" "$@" >"$work/$side.$name.out" 2>"$work/$side.$name.err" || status=$?
  fi
  echo "$status" >"$work/$side.$name.status"
}

# Both sides printed and ended alike.
same_run() {
  name=$1
  for part in status out err; do
    case $part in status) what="exit status" ;; out) what="standard output" ;; *) what="standard error" ;; esac
    cmp -s "$work/linux.$name.$part" "$work/windows.$name.$part" ||
      fail "$name: the $what differs (linux: $(head -c 300 "$work/linux.$name.$part"); windows: $(head -c 300 "$work/windows.$name.$part"))"
  done
}

# Both folders hold the same files, byte for byte, and nothing else.
same_files() {
  name=$1 folder=$2
  diff -r "$work/linux/$folder" "$work/windows/$folder" >/dev/null || fail "$name: the files differ: $(diff -rq "$work/linux/$folder" "$work/windows/$folder" | head -5)"
  if find "$work/windows/$folder" -name '*.tmp-*' | grep -q .; then fail "$name: temporary files left"; fi
}

# The bundled example, in a folder named in Chinese, as a user runs it.
for side in linux windows; do
  mkdir -p "$work/$side/游戏/声明"
  cd "$work/$side"
  [ "$side" = linux ] && folder=游戏/声明 || folder='游戏\声明'
  run "$side" init init "$folder"
  cat "$root/examples/GameHost.pas" >>"$work/$side/游戏/声明/ClassTable.txt"
  run "$side" convert convert "$folder"
  # A second conversion of a changed input replaces every file of the first.
  printf 'type TSecond = record a: Byte; b: Integer; end;\r\n' >>"$work/$side/游戏/声明/ClassTable.txt"
  run "$side" second convert "$folder"
done
cd "$root"
for name in init convert second; do same_run "$name"; done
[ "$(cat "$work/windows.convert.status")" = 0 ] || fail "convert of the example exited $(cat "$work/windows.convert.status")"
same_files example 游戏/声明
cmp -s "$work/windows/游戏/声明/ClassType.lua" "$work/windows/游戏/声明/ClassType.lua.bak" &&
  fail "the second convert did not replace ClassType.lua"
echo "windows: the example in a Chinese folder, converted twice: $(ls "$work/windows/游戏/声明" | wc -l) files byte-identical to Linux's"

# The hostile cases: each side's own way to the same situation.
earlier='-- from an earlier run'
hostile() {
  name=$1
  for side in linux windows; do
    mkdir -p "$work/$side/$name/目录"
    "$linux_tool" prelude >"$work/$side/$name/目录/ClassTable.txt"
    printf '\r\ntype TOne = record a: Integer; end;\r\n' >>"$work/$side/$name/目录/ClassTable.txt"
    printf '%s\r\n' "$earlier" >"$work/$side/$name/目录/ClassType.lua"
  done
}
check_hostile() {
  name=$1
  same_run "$name"
  [ "$(cat "$work/windows.$name.status")" = 3 ] || fail "$name: exit $(cat "$work/windows.$name.status"), not 3"
  for side in linux windows; do
    grep -qF -e "$earlier" "$work/$side/$name/目录/ClassType.lua" || fail "$name: $side lost the earlier ClassType.lua"
  done
  echo "windows: $name: exit $(cat "$work/windows.$name.status") and the same message: $(cat "$work/windows.$name.err")"
}

hostile read-only-script
for side in linux windows; do
  chmod 444 "$work/$side/read-only-script/目录/ClassType.lua"
  (cd "$work/$side/read-only-script" && run "$side" read-only-script convert ./目录)
done
check_hostile read-only-script

# A folder the user may not write in: on Linux one without write permission
# for an ordinary user; under Wine, which runs as root here, an immutable
# one, which Wine reports as Windows reports a read-only folder.
hostile read-only-folder
chmod 555 "$work/linux/read-only-folder/目录"
if command -v setpriv >/dev/null && chattr +i "$work/windows/read-only-folder/目录" 2>/dev/null; then
  chmod -R a+rX "$work/linux"
  as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
  (cd "$work/linux/read-only-folder" && run linux read-only-folder convert ./目录)
  as_user=
  (cd "$work/windows/read-only-folder" && run windows read-only-folder convert ./目录)
  chattr -i "$work/windows/read-only-folder/目录"
  check_hostile read-only-folder
else
  echo "windows: read-only folder: skipped: this file system takes no immutable flag (chattr), or setpriv is missing"
fi

# The device that is no file: NUL on Windows, /dev/null on Linux.
(cd "$work" && run linux device keywords /dev/null && run windows device keywords NUL)
sed -i 's|/dev/null|NUL|' "$work/linux.device.err"
same_run device
[ "$(cat "$work/windows.device.status")" = 3 ] || fail "device: exit $(cat "$work/windows.device.status"), not 3"
echo "windows: device: exit $(cat "$work/windows.device.status") and the same message: $(cat "$work/windows.device.err")"

# A full disk: a file system of 48 KiB, which the example's input and its
# first two files fill.
full_disk=yes
for side in linux windows; do
  mkdir -p "$work/$side/full"
  mount -t tmpfs -o size=48k tmpfs "$work/$side/full" 2>/dev/null || full_disk=no
done
if [ "$full_disk" = yes ]; then
  for side in linux windows; do
    mkdir "$work/$side/full/目录"
    cp "$work/linux/游戏/声明/ClassTable.txt" "$work/$side/full/目录/"
    printf '%s\r\n' "$earlier" >"$work/$side/full/目录/ClassType.lua"
    (cd "$work/$side/full" && run "$side" full-disk convert ./目录)
  done
  same_run full-disk
  [ "$(cat "$work/windows.full-disk.status")" = 3 ] || fail "full disk: exit $(cat "$work/windows.full-disk.status"), not 3"
  for side in linux windows; do
    grep -qF -e "$earlier" "$work/$side/full/目录/ClassType.lua" || fail "full disk: $side lost the earlier ClassType.lua"
  done
  echo "windows: full disk: exit $(cat "$work/windows.full-disk.status") and the same message: $(cat "$work/windows.full-disk.err")"
else
  echo "windows: full disk: skipped: no tmpfs can be mounted here"
fi

finished=$(date +%s)
if [ "$failures" -ne 0 ]; then
  echo "windows: $failures check(s) against the Linux build failed" >&2
  exit 1
fi
echo "windows: every check against the Linux build passed ($((finished - start)) s in all)"

#!/bin/sh
# Converts real header declarations written by others: the interface
# sections of the Win32 records in the Free Pascal sources (base.inc and
# struct.inc), appended to the prelude the way a user appends them. Prints
# how far the run gets: its exit status, how many structures were laid out,
# whether ClassType.lua loads into Lua 5.4 with BindGet and BindSet defined,
# and the member values that stayed unresolved, most frequent first.
#
# Usage: scripts/win32-headers.sh [OUTPUT_DIR]
# The Free Pascal files are read where Debian installs them; set
# FPC_WININC to use another copy. They are never copied into the project.
set -eu
cd "$(dirname "$0")/.."
wininc=${FPC_WININC:-/usr/share/fpcsrc/3.2.2/rtl/win/wininc}
out=${1:-$(mktemp -d /tmp/classtable-win32.XXXXXX)}
tool=./build/classtable
[ -x "$tool" ] || ./scripts/build.sh

mkdir -p "$out"
rm -f "$out"/ClassTable*.txt "$out"/ClassTable_*.lua "$out"/ClassType.lua
"$tool" init "$out" >/dev/null
appended=0
for file in base.inc struct.inc; do
  # The interface section, without the markers themselves; the run input
  # has CR LF line ends like every file the tool reads.
  sed -n '/^{$ifdef read_interface}/,/^{$endif read_interface}/p' "$wininc/$file" | sed '1d;$d' |
    sed 's/$/\r/' >"$out/part.txt"
  appended=$((appended + $(wc -l <"$out/part.txt")))
  cat "$out/part.txt" >>"$out/ClassTable.txt"
done
rm -f "$out/part.txt"

status=0
"$tool" convert "$out" >"$out/log.txt" 2>"$out/messages.txt" || status=$?

# The prelude alone, for comparison: its own structures are counted too.
mkdir -p "$out/prelude"
rm -f "$out/prelude"/ClassTable*.txt
"$tool" init "$out/prelude" >/dev/null
"$tool" convert "$out/prelude" >/dev/null 2>&1 || true

# Structure lines of the layout result: laid out when they carry their size.
structures() { tr -d '\r' <"$1" | grep -a ' { ' | grep -a -v '^ setmetatable' || true; }
count_laid_out() { structures "$1" | grep -a -c ' nWholeSize :' || true; }
total=$(structures "$out/ClassTable_E.lua" | wc -l)
laid_out=$(count_laid_out "$out/ClassTable_E.lua")
prelude_total=$(structures "$out/prelude/ClassTable_E.lua" | wc -l)
prelude_laid_out=$(count_laid_out "$out/prelude/ClassTable_E.lua")

echo "input:      $out/ClassTable.txt ($appended lines appended to the prelude)"
echo "exit:       $status"
echo "laid out:   $laid_out of $total structures (the prelude alone: $prelude_laid_out of $prelude_total)"
tr -d '\r' <"$out/log.txt" | grep -a '失败行号' | sed 's/^-*/failure:    /' | cut -c1-200 || true
if [ -f "$out/ClassType.lua" ]; then
  tables=$(tr -d '\r' <"$out/ClassType.lua" | grep -a -c ' = { $' || true)
  echo "ClassType:  $tables tables"
  if command -v lua5.4 >/dev/null; then
    loads=$(lua5.4 - "$out/ClassType.lua" <<'LUA' || true
BindGet = function() end
BindSet = function() end
local chunk, problem = loadfile(arg[1])
if not chunk then print("does not load: " .. problem) return end
local ok, failure = pcall(chunk)
print(ok and "loads" or ("does not run: " .. tostring(failure)))
LUA
)
    echo "Lua 5.4:    $loads"
  fi
fi

echo "unresolved member values (count, value):"
structures "$out/ClassTable_E.lua" | grep -a -v ' nWholeSize :' |
  awk -F ' ; ' '{
    for (i = 1; i <= NF; i++) {
      field = $i
      sub(/^.*\{ /, "", field)
      colon = index(field, " : ")
      if (colon == 0) continue
      value = substr(field, colon + 3)
      if (value ~ /^-?[0-9]+$/ || value ~ /^[0-9][_A][0-9]+$/) continue
      count[value]++
    }
  }
  END { for (v in count) printf "%6d  %s\n", count[v], v }' | sort -rn | head -n "${TOP:-30}"

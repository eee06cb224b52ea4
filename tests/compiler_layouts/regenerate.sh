#!/bin/sh
# Regenerates expected/<name>.txt for every <name>.pas in this folder from a
# real 32-bit compiler: the Free Pascal harness beside the repository
# (../shared/fpc32 from the repository's folder, or FPC32_HARNESS) compiles
# the declarations in Delphi mode with {$A8}{$H+}{$PACKENUM 1}{$PACKSET 1}
# and prints every structure's size and every field's offset.
#
# A .pas whose first line says "expected: recorded by hand" is left alone:
# the harness cannot answer for it (see README.md).
#
# Usage: tests/compiler_layouts/regenerate.sh [NAME.pas ...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
if [ -n "${FPC32_HARNESS:-}" ]; then
  harness=$FPC32_HARNESS
  shown=$FPC32_HARNESS
else
  harness=$repo/../shared/fpc32
  shown=../shared/fpc32
fi
prefix=${FPC32_PREFIX:-/opt/fpc32}

if [ ! -f "$harness/layout.py" ]; then
  echo "regenerate.sh: no compiler harness at $shown (set FPC32_HARNESS to its folder)" >&2
  exit 1
fi
if [ ! -x "$prefix/bin/ppcross386" ] || [ ! -f "$prefix/units/i386-linux/rtl/system.ppu" ] ||
   ! command -v qemu-i386 >/dev/null 2>&1; then
  echo "regenerate.sh: the 32-bit compiler is not built in $prefix: run $shown/build.sh" >&2
  exit 1
fi

cd "$here"
[ $# -gt 0 ] || set -- *.pas
mkdir -p expected
status=0
for pas in "$@"; do
  name=$(basename "$pas" .pas)
  if head -n 1 "$pas" | grep -q 'expected: recorded by hand'; then
    echo "$name: recorded by hand, left as it is"
    continue
  fi
  if python3 "$harness/layout.py" "$pas" >"expected/$name.txt.new"; then
    mv "expected/$name.txt.new" "expected/$name.txt"
    echo "$name: $(grep -c ' size ' "expected/$name.txt") structures"
  else
    rm -f "expected/$name.txt.new"
    echo "$name: the compiler refused it (above); expected/$name.txt kept" >&2
    status=1
  fi
done
exit $status

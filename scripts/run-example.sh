#!/bin/sh
# Sets up the machine, builds the tool and converts the bundled example the
# way a user would: a fresh folder, the prelude written by `init`, the host's
# declarations appended, then one conversion. Prints the run log and the path
# of the ClassType.lua it made.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup-debian.sh
./scripts/build.sh
out=$(mktemp -d /tmp/classtable-example.XXXXXX)
./build/classtable init "$out" >/dev/null
cat examples/GameHost.pas >> "$out/ClassTable.txt"
status=0
./build/classtable convert "$out" || status=$?
echo
echo "ClassType.lua: $out/ClassType.lua"
exit $status

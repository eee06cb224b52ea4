#!/usr/bin/python3
"""Converts the interface part of every unit of the Free Pascal sources, the
way a user does, and counts how far the conversions get.

    bench/sweep/sweep.py [--tool PATH] [--out DIR] [--units | --files LIST]
    bench/sweep/sweep.py --compare OLD.tsv NEW.tsv

Needs Debian's python3 and lua5.4 (scripts/setup-debian.sh installs it) and
the Free Pascal sources: `apt-get install fpc-source-3.2.2` puts them in
/usr/share/fpcsrc/3.2.2 (--fpcsrc DIR reads another copy). The sources are
read where they are and never copied into the project.

Input. By default every .pp, .pas, .inc and .p file of at most 80 KiB under
rtl/ and packages/ (about 8,000 files; keep this set so that figures of
different builds compare), plus the six named units below. Of each file the
interface part is appended:
  - the lines after the first line that starts with `interface`, up to the
    next line that starts with `implementation` (or the end), both words
    matched in any case at the very start of the line (so a comment line
    that begins with the word counts too: fv/src/memory.pas);
  - else, for include files, every `{$ifdef read_interface}` ...
    `{$endif read_interface}` part, without the two marker lines;
  - else the whole file.
A leading UTF-8 byte order mark is dropped. The bytes are kept as they are
(the tool reads GBK, and these files are ASCII or close to it); every line
end becomes CR LF, as in the file `classtable init` writes.
--files LIST converts only the paths listed in LIST (one a line, relative
to the sources or absolute; `-` is standard input). --units converts only
the six named units: real units of several kinds, whole whatever their
size, each a row `unit:NAME`:
  win32    rtl/win/wininc/base.inc then struct.inc: the Win32 structure header
  xlib     packages/x11/src/xlib.pp: an X11 binding
  xutil    packages/x11/src/xutil.pp: its companion
  png      packages/libpng/src/png.pp: a C-library binding
  pastree  packages/fcl-passrc/src/pastree.pp: a parser's class hierarchy
  dom      packages/fcl-xml/src/dom.pp: a DOM's class hierarchy

Each conversion. In a folder of its own: `classtable init DIR`, the part
appended to DIR/ClassTable.txt, `classtable convert DIR` with a time limit
(--timeout, 20 s), then DIR/ClassType.lua, when written, loaded by load.lua
in Lua 5.4 in an environment holding only BindGet and BindSet. At most
--jobs conversions (2) run at once. --tool names the binary (default: the
repository's build/classtable), so the same sweep measures an old build and
a new one.

What is counted, per file, as a row of OUT/results.tsv:
  path         the file under the sources, or unit:NAME
  part         which part was appended: interface, read_interface, whole
  lines        lines appended
  exit         the exit status of convert; `timeout`, or `signal N` for a
               run killed by a signal
  seconds      wall time of convert
  loads        yes, named-nil (it ran, but read a global it never defines),
               no (Lua refuses to compile or to run it), none (no script)
  declared     records, objects and classes declared in the appended text
  laid_out     how many of them came out laid out
  unresolved   the value named by the log's first "未知数据类型" line (the
               failure report's unresolved value; `""` when it names an
               empty one), else empty
  kinds        declared/laid out per kind, as `record a/b object c/d class e/f`
  lua_error    Lua's message when it refuses the script
  nil_globals  names read and never defined, as name*reads
  untrusted    what the script did besides defining its own globals: calls
               (`call name*n`), globals read and never defined, BindGet or
               BindSet overwritten
Declared structures are found after comments and string literals are
removed, as `Name = [packed|bitpacked] record`, `= [packed] object` and
`= [packed] class` or `= class(...)` (generic parameters after the name
allowed); not `class of`, not a forward `class;`, not record or class
helpers, not interfaces. Each name counts once per file, in any case.
A structure is laid out when its lines in ClassTable_E.lua (its name
compared in any case, since a run may respell it) carry ` nWholeSize :`;
one line without it (the real declaration after a forward `class;`) is
enough for not laid out.
The member values of the structures that are not laid out (anything but a
number) are written to OUT/unresolved.tsv as path, value, count.

The summary (printed, and saved as OUT/summary.txt) gives the figures over
the file set (rows `unit:*` apart), the top 20 unresolved values, the top
nil globals, the untrusted scripts, and one line per named unit. The runs of
the named units are kept in OUT/units/NAME, and with --keep every run's
folder in OUT/runs/PATH. --compare prints the figures of two results.tsv
side by side, the files whose outcome changed, and those that got worse.
"""

import argparse
import collections
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.dirname(os.path.dirname(HERE))
DEFAULT_FPCSRC = "/usr/share/fpcsrc/3.2.2"
SOURCE_SUFFIXES = (".pp", ".pas", ".inc", ".p")
SOURCE_TOPS = ("rtl", "packages")
MAX_SOURCE_BYTES = 80 * 1024
LUA_TIMEOUT = 20

NAMED_UNITS = [
    ("win32", ["rtl/win/wininc/base.inc", "rtl/win/wininc/struct.inc"]),
    ("xlib", ["packages/x11/src/xlib.pp"]),
    ("xutil", ["packages/x11/src/xutil.pp"]),
    ("png", ["packages/libpng/src/png.pp"]),
    ("pastree", ["packages/fcl-passrc/src/pastree.pp"]),
    ("dom", ["packages/fcl-xml/src/dom.pp"]),
]
UNIT_PREFIX = "unit:"

COLUMNS = ["path", "part", "lines", "exit", "seconds", "loads", "declared", "laid_out",
           "unresolved", "kinds", "lua_error", "nil_globals", "untrusted"]
KINDS = ("record", "object", "class")


# ---------------------------------------------------------------- input

def all_sources(root):
    found = []
    for top in SOURCE_TOPS:
        for folder, subfolders, files in os.walk(os.path.join(root, top)):
            subfolders.sort()
            for name in files:
                path = os.path.join(folder, name)
                if (name.lower().endswith(SOURCE_SUFFIXES) and os.path.isfile(path)
                        and os.path.getsize(path) <= MAX_SOURCE_BYTES):
                    found.append(os.path.relpath(path, root))
    return sorted(found)


def listed_sources(list_file, root):
    stream = sys.stdin if list_file == "-" else open(list_file, encoding="utf-8")
    with stream:
        paths = [line.strip() for line in stream if line.strip()]
    return [os.path.relpath(p, root) if os.path.isabs(p) and p.startswith(root + os.sep) else p
            for p in paths]


INTERFACE = re.compile(rb"interface\b", re.I)
IMPLEMENTATION = re.compile(rb"implementation\b", re.I)
READ_INTERFACE = re.compile(rb"\{\$ifdef\s+read_interface\s*\}", re.I)
END_READ_INTERFACE = re.compile(rb"\{\$endif\s+read_interface\s*\}", re.I)


def interface_part(data):
    """Which part of a source file a user appends (interface, read_interface
    or whole; see the header), and its lines."""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.splitlines()
    start = next((i for i, line in enumerate(lines) if INTERFACE.match(line)), None)
    if start is not None:
        end = next((i for i in range(start + 1, len(lines)) if IMPLEMENTATION.match(lines[i])),
                   len(lines))
        return "interface", lines[start + 1:end]
    part, inside, seen = [], False, False
    for line in lines:
        if not inside and READ_INTERFACE.match(line):
            inside = seen = True
        elif inside and END_READ_INTERFACE.match(line):
            inside = False
        elif inside:
            part.append(line)
    return ("read_interface", part) if seen else ("whole", lines)


# ------------------------------------------------- declared structures

COMMENT_OR_STRING = re.compile(r"\{[^}]*\}?|\(\*.*?(?:\*\)|\Z)|//[^\n]*|'[^'\n]*'?", re.S)
STRUCTURE = re.compile(
    r"\b([A-Za-z_]\w*)\s*(?:<[^<>=;]*>\s*)?=\s*(?:(?:bit)?packed\s+)?(record|object|class)\b"
    r"(?!\s*(?:of\b|;|helper\b))", re.I)


def declared_structures(lines):
    """Name (lower case) -> kind, for every structure declared in the lines."""
    text = COMMENT_OR_STRING.sub(" ", b"\n".join(lines).decode("latin-1"))
    found = {}
    for match in STRUCTURE.finditer(text):
        found.setdefault(match.group(1).lower(), match.group(2).lower())
    return found


E_STRUCTURE = re.compile(r"^\s*([^\s=]+)\s*=\s*\{(.*)$")
NUMBER_OR_SIZED = re.compile(r"-?\d+$|\d[_A]\d+$")


def read_layout(e_file):
    """The names laid out in ClassTable_E.lua (lower case), and the member
    values of the structures that are not, with their counts. A name with
    a line that is not laid out is not, whatever its other lines say: an
    empty line for a forward `class;` must not count for the class."""
    laid_out, not_laid_out, unresolved = set(), set(), collections.Counter()
    try:
        with open(e_file, "rb") as stream:
            lines = stream.read().decode("latin-1").splitlines()
    except OSError:
        return laid_out, unresolved
    for line in lines:
        match = E_STRUCTURE.match(line)
        if not match or match.group(1) == "setmetatable":
            continue
        if " nWholeSize :" in line:
            laid_out.add(match.group(1).lower())
            continue
        not_laid_out.add(match.group(1).lower())
        for field in match.group(2).split(" ; "):
            name, colon, value = field.partition(" : ")
            value = value.strip()
            if colon and value and not NUMBER_OR_SIZED.match(value):
                unresolved[value.encode("latin-1").decode("gbk", "replace")] += 1
    return laid_out - not_laid_out, unresolved


# ---------------------------------------------------------- one run

UNRESOLVED_LINE = re.compile(r'未知数据类型: ?"(.*?)" N=|未知数据类型: ?(.*)')


def one_line(text, limit=300):
    text = re.sub(r"[\t\r\n]+", " ", text).strip()
    return text if len(text) <= limit else text[:limit] + "..."


def load_script(script):
    try:
        done = subprocess.run(["lua5.4", os.path.join(HERE, "load.lua"), script],
                              capture_output=True, timeout=LUA_TIMEOUT)
    except subprocess.TimeoutExpired:
        return "no", "load timed out", "", ""
    fields = done.stdout.decode("utf-8", "replace").rstrip("\n").split("\t")
    if done.returncode != 0 or len(fields) != 5:
        return "no", one_line(done.stderr.decode("utf-8", "replace") or "loader failed"), "", ""
    verdict, detail, nils, calls, overwritten = fields
    untrusted = []
    if calls:
        untrusted.append("call " + calls)
    if nils:
        untrusted.append("read " + nils)
    if overwritten:
        untrusted.append("overwrite " + overwritten)
    loads = {"yes": "yes", "named-nil": "named-nil"}.get(verdict, "no")
    return loads, one_line(detail), nils, "; ".join(untrusted)


def convert(label, sources, root, tool, timeout, work, keep_in=None):
    """One conversion of the sources' interface parts; returns the row and
    the unresolved member values."""
    folder = tempfile.mkdtemp(dir=work)
    try:
        lines, parts = [], []
        for source in sources:
            with open(os.path.join(root, source), "rb") as stream:
                part, part_lines = interface_part(stream.read())
            lines += part_lines
            parts.append(part)
        subprocess.run([tool, "init", folder], capture_output=True, timeout=timeout, check=True)
        with open(os.path.join(folder, "ClassTable.txt"), "ab") as stream:
            stream.write(b"".join(line + b"\r\n" for line in lines))

        started = time.monotonic()
        try:
            done = subprocess.run([tool, "convert", folder], capture_output=True, timeout=timeout)
            status = str(done.returncode) if done.returncode >= 0 else "signal %d" % -done.returncode
            log = done.stdout.decode("utf-8", "replace")
        except subprocess.TimeoutExpired:
            status, log = "timeout", ""
        seconds = time.monotonic() - started
        with open(os.path.join(folder, "log.txt"), "w", encoding="utf-8") as stream:
            stream.write(log)

        unresolved = ""
        for line in log.splitlines():
            match = UNRESOLVED_LINE.search(line)
            if match:
                value = match.group(1) if match.group(1) is not None else match.group(2)
                unresolved = one_line(value, 120) or '""'
                break

        script = os.path.join(folder, "ClassType.lua")
        loads, lua_error, nils, untrusted = "none", "", "", ""
        if os.path.isfile(script) and status != "timeout":
            loads, lua_error, nils, untrusted = load_script(script)

        declared = declared_structures(lines)
        laid_out, members = read_layout(os.path.join(folder, "ClassTable_E.lua"))
        done_names = [name for name in declared if name in laid_out]
        kinds = " ".join("%s %d/%d" % (kind, sum(1 for k in declared.values() if k == kind),
                                        sum(1 for n in done_names if declared[n] == kind))
                         for kind in KINDS)
        row = {"path": label, "part": "+".join(sorted(set(parts))), "lines": str(len(lines)), "exit": status, "seconds": "%.2f" % seconds,
               "loads": loads, "declared": str(len(declared)), "laid_out": str(len(done_names)),
               "unresolved": unresolved, "kinds": kinds, "lua_error": lua_error,
               "nil_globals": nils, "untrusted": untrusted}
        if keep_in:
            shutil.rmtree(keep_in, ignore_errors=True)
            shutil.copytree(folder, keep_in)
        return row, members
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# ---------------------------------------------------------- results

def write_tsv(path, rows):
    with open(path, "w", encoding="utf-8") as stream:
        stream.write("\t".join(COLUMNS) + "\n")
        for row in rows:
            stream.write("\t".join(row[c] for c in COLUMNS) + "\n")


def read_tsv(path):
    with open(path, encoding="utf-8") as stream:
        header = stream.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in stream if line.strip()]


def read_unresolved(results_tsv):
    path = os.path.join(os.path.dirname(results_tsv), "unresolved.tsv")
    counts = collections.Counter()
    if os.path.isfile(path):
        for row in read_tsv(path):
            if not row["path"].startswith(UNIT_PREFIX):
                counts[row["value"]] += int(row["count"])
    return counts


def exit_class(status):
    return status if status in ("0", "1", "2") else "other"


def figures(rows):
    """The summary figures of a file set, as ordered (label, value) pairs,
    and the rows behind the lists."""
    files = [r for r in rows if not r["path"].startswith(UNIT_PREFIX)]
    count = collections.Counter
    exits = count(exit_class(r["exit"]) for r in files)
    loads = count(r["loads"] for r in files)
    declared = sum(int(r["declared"]) for r in files)
    laid = sum(int(r["laid_out"]) for r in files)
    per_kind = {kind: [0, 0] for kind in KINDS}
    for r in files:
        parts = r["kinds"].split()
        for kind, numbers in zip(parts[0::2], parts[1::2]):
            d, l = numbers.split("/")
            per_kind[kind][0] += int(d)
            per_kind[kind][1] += int(l)
    refused_at_0 = [r for r in files if r["exit"] == "0" and r["loads"] in ("no", "none")]
    nil_at_0 = [r for r in files if r["exit"] == "0" and r["loads"] == "named-nil"]
    untrusted = [r for r in files if r["untrusted"]]
    calling = [r for r in files if "call " in r["untrusted"] or "overwrite " in r["untrusted"]]

    def pct(part, whole):
        return "%d of %d (%.1f%%)" % (part, whole, 100.0 * part / whole) if whole else "0 of 0"

    pairs = [
        ("files", len(files)),
        ("exit 0 (success)", exits["0"]),
        ("exit 1 (failure)", exits["1"]),
        ("exit 2 (nesting)", exits["2"]),
        ("other exits, crashes, timeouts", exits["other"]),
        ("scripts that load", loads["yes"]),
        ("scripts that load, naming nil globals", loads["named-nil"]),
        ("scripts Lua refuses", loads["no"]),
        ("runs without a script", loads["none"]),
        ("exit 0 with a script Lua refuses", len(refused_at_0)),
        ("exit 0 with a script naming nil globals", len(nil_at_0)),
        ("scripts touching globals or calling", len(untrusted)),
        ("scripts calling or overwriting", len(calling)),
        ("structures laid out", pct(laid, declared)),
    ] + [("  %s laid out" % {"class": "classes"}.get(kind, kind + "s"), pct(per_kind[kind][1], per_kind[kind][0])) for kind in KINDS]
    other = [r for r in files if exit_class(r["exit"]) == "other"]
    nesting = [r for r in files if r["exit"] == "2"]
    return pairs, {"files": files, "other": other, "nesting": nesting, "refused_at_0": refused_at_0, "nil_at_0": nil_at_0,
                   "calling": calling, "untrusted": untrusted}


def by_part(rows):
    """The main figures per part appended: a whole file is mostly code (an
    include file of routines, a program), where a unit's interface is
    declarations."""
    files = [r for r in rows if not r["path"].startswith(UNIT_PREFIX)]
    out = ["%-16s %6s %7s %7s %7s %6s %6s %9s %s" % (
        "part appended", "files", "exit 0", "exit 1", "exit 2", "other", "loads", "named-nil",
        "laid out")]
    for part in sorted(set(r.get("part", "?") for r in files)):
        rs = [r for r in files if r.get("part", "?") == part]
        exits = collections.Counter(exit_class(r["exit"]) for r in rs)
        loads = collections.Counter(r["loads"] for r in rs)
        out.append("%-16s %6d %7d %7d %7d %6d %6d %9d %d of %d" % (
            part, len(rs), exits["0"], exits["1"], exits["2"], exits["other"], loads["yes"],
            loads["named-nil"], sum(int(r["laid_out"]) for r in rs), sum(int(r["declared"]) for r in rs)))
    return out


def top_unresolved(rows):
    return collections.Counter(r["unresolved"] for r in rows
                               if r["unresolved"] and not r["path"].startswith(UNIT_PREFIX))


def top_nil_globals(rows):
    scripts, reads = collections.Counter(), collections.Counter()
    for r in rows:
        if r["path"].startswith(UNIT_PREFIX) or not r["nil_globals"]:
            continue
        for item in r["nil_globals"].split(","):
            name, _, n = item.rpartition("*")
            scripts[name] += 1
            reads[name] += int(n) if n.isdigit() else 1
    return scripts, reads


def unit_line(r):
    return "%-8s %6s lines  exit %-7s %6ss  loads %-9s laid out %4s of %-4s  %s" % (
        r["path"][len(UNIT_PREFIX):], r["lines"], r["exit"], r["seconds"], r["loads"],
        r["laid_out"], r["declared"], ("unresolved: " + r["unresolved"]) if r["unresolved"] else "")


def listing(title, rows, field, limit=30):
    if not rows:
        return []
    out = ["%s (%d):" % (title, len(rows))]
    out += ["  %s  %s" % (r["path"], r[field]) for r in rows[:limit]]
    if len(rows) > limit:
        out.append("  ... and %d more (results.tsv)" % (len(rows) - limit))
    return out


def summary(rows, members, wall=None):
    pairs, lists = figures(rows)
    out = []
    if lists["files"]:
        out += ["%-42s %s" % (label + ":", value) for label, value in pairs]
        out.append("")
        out += by_part(rows)
        out.append("")
    out.append("top 20 unresolved values of the failure reports (runs, value):")
    out += ["%7d  %s" % (n, v) for v, n in top_unresolved(rows).most_common(20)]
    if members:
        out.append("top 20 member values of structures not laid out (members, value):")
        out += ["%7d  %s" % (n, v) for v, n in members.most_common(20)]
    scripts, reads = top_nil_globals(rows)
    if scripts:
        out.append("top 20 nil globals named by scripts (scripts, entries, name):")
        out += ["%7d %7d  %s" % (n, reads[name], name) for name, n in scripts.most_common(20)]
    out.append("")
    out += listing("other exits, crashes, timeouts", lists["other"], "exit")
    out += listing("stopped at nesting (exit 2)", lists["nesting"], "lines", 10)
    out += listing("exit 0 with a script Lua refuses", lists["refused_at_0"], "lua_error")
    out += listing("exit 0 with a script naming nil globals", lists["nil_at_0"], "nil_globals", 10)
    out += listing("scripts calling or overwriting", lists["calling"], "untrusted")
    units = [r for r in rows if r["path"].startswith(UNIT_PREFIX)]
    if units:
        out.append("")
        out.append("named units:")
        out += ["  " + unit_line(r) for r in units]
    if wall is not None:
        out.append("")
        out.append("wall time: %.1f s" % wall)
    return "\n".join(out) + "\n"


def compare(old_path, new_path):
    old_rows, new_rows = read_tsv(old_path), read_tsv(new_path)
    old_pairs, _ = figures(old_rows)
    new_pairs, _ = figures(new_rows)
    out = ["%-42s %-22s %s" % ("", "before", "after")]
    out += ["%-42s %-22s %s" % (label + ":", a, b)
            for (label, a), (_, b) in zip(old_pairs, new_pairs)]
    out += ["", "before:"] + by_part(old_rows) + ["after:"] + by_part(new_rows)

    out.append("")
    out.append("top unresolved values of the failure reports (runs before, after, value):")
    before, after = top_unresolved(old_rows), top_unresolved(new_rows)
    keys = [v for v, _ in before.most_common(20)]
    keys += [v for v, _ in after.most_common(20) if v not in keys]
    out += ["%7d %7d  %s" % (before[v], after[v], v) for v in keys]
    old_members, new_members = read_unresolved(old_path), read_unresolved(new_path)
    if old_members or new_members:
        out.append("top member values of structures not laid out (before, after, value):")
        keys = [v for v, _ in old_members.most_common(15)]
        keys += [v for v, _ in new_members.most_common(15) if v not in keys]
        out += ["%7d %7d  %s" % (old_members[v], new_members[v], v) for v in keys]

    old_by_path = {r["path"]: r for r in old_rows}
    changes = collections.Counter()
    worse = []
    for r in new_rows:
        o = old_by_path.get(r["path"])
        if o is None or r["path"].startswith(UNIT_PREFIX):
            continue
        changes["exit %s -> %s" % (exit_class(o["exit"]), exit_class(r["exit"]))] += 1
        changes["loads %s -> %s" % (o["loads"], r["loads"])] += 1
        if (int(r["laid_out"]) < int(o["laid_out"]) or (o["exit"] == "0" and r["exit"] != "0")
                or (o["loads"] == "yes" and r["loads"] != "yes")):
            worse.append("  %s  exit %s -> %s, loads %s -> %s, laid out %s -> %s of %s" % (
                r["path"], o["exit"], r["exit"], o["loads"], r["loads"], o["laid_out"],
                r["laid_out"], r["declared"]))
    out.append("")
    out.append("files by outcome, before -> after:")
    moved = [(k, n) for k, n in sorted(changes.items()) if k.split(" ")[1] != k.split(" ")[3]]
    out += ["%7d  %s" % (n, k) for k, n in moved] or ["        none"]
    if worse:
        out.append("files that got worse (%d):" % len(worse))
        out += worse[:40]
        if len(worse) > 40:
            out.append("  ... and %d more" % (len(worse) - 40))

    old_units = {r["path"]: r for r in old_rows if r["path"].startswith(UNIT_PREFIX)}
    units = [r for r in new_rows if r["path"].startswith(UNIT_PREFIX)]
    if units:
        out.append("")
        out.append("named units, before / after:")
        for r in units:
            if r["path"] in old_units:
                out.append("  before " + unit_line(old_units[r["path"]]))
            out.append("  after  " + unit_line(r))
    return "\n".join(out) + "\n"


# ---------------------------------------------------------- main

def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tool", default=os.path.join(REPOSITORY, "build", "classtable"),
                        help="the classtable binary (default: %(default)s)")
    parser.add_argument("--fpcsrc", default=DEFAULT_FPCSRC,
                        help="the Free Pascal sources (default: %(default)s)")
    parser.add_argument("--out", default=os.path.join(REPOSITORY, "build", "sweep"),
                        help="the results folder (default: %(default)s)")
    parser.add_argument("--jobs", type=int, default=2, help="conversions at once (default: 2)")
    parser.add_argument("--timeout", type=float, default=20.0,
                        help="seconds one conversion may take (default: 20)")
    parser.add_argument("--keep", action="store_true", help="keep every run's folder in OUT/runs")
    chosen = parser.add_mutually_exclusive_group()
    chosen.add_argument("--files", metavar="LIST", help="convert the files listed in LIST")
    chosen.add_argument("--units", action="store_true", help="only the six named units")
    chosen.add_argument("--compare", nargs=2, metavar=("OLD.tsv", "NEW.tsv"),
                        help="print two results side by side")
    args = parser.parse_args()

    if args.compare:
        sys.stdout.write(compare(*args.compare))
        return 0
    root = os.path.abspath(args.fpcsrc)
    if not os.path.isdir(os.path.join(root, "rtl")):
        sys.exit("sweep: no Free Pascal sources in %s; install them with "
                 "`apt-get install fpc-source-3.2.2` (as root) or name a copy with --fpcsrc" % root)
    tool = os.path.abspath(args.tool)
    if not os.access(tool, os.X_OK):
        sys.exit("sweep: %s is not an executable; build it (scripts/build.sh) or name one with --tool" % tool)
    if not shutil.which("lua5.4"):
        sys.exit("sweep: lua5.4 is missing; scripts/setup-debian.sh installs it")

    if args.files:
        files = listed_sources(args.files, root)
    elif args.units:
        files = []
    else:
        files = all_sources(root)
    jobs = [(path, [path], os.path.join(args.out, "runs", path) if args.keep else None)
            for path in files]
    os.makedirs(args.out, exist_ok=True)
    for name, sources in NAMED_UNITS:
        if not args.files:
            jobs.append((UNIT_PREFIX + name, sources, os.path.join(args.out, "units", name)))

    print("sweep: %d conversions with %s, %d at a time; results in %s" % (
        len(jobs), tool, args.jobs, args.out), file=sys.stderr, flush=True)
    started = time.monotonic()
    rows, unresolved = [], []
    work = tempfile.mkdtemp(prefix="classtable-sweep-")
    try:
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            pending = {pool.submit(convert, label, sources, root, tool, args.timeout, work, keep): label
                       for label, sources, keep in jobs}
            for done_count, future in enumerate(concurrent.futures.as_completed(pending), 1):
                row, members = future.result()
                rows.append(row)
                unresolved += [(row["path"], value, n) for value, n in members.items()]
                if done_count % 500 == 0:
                    print("sweep: %d of %d done, %.0f s" % (done_count, len(jobs), time.monotonic() - started),
                          file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    wall = time.monotonic() - started

    rows.sort(key=lambda r: (r["path"].startswith(UNIT_PREFIX), r["path"]))
    write_tsv(os.path.join(args.out, "results.tsv"), rows)
    with open(os.path.join(args.out, "unresolved.tsv"), "w", encoding="utf-8") as stream:
        stream.write("path\tvalue\tcount\n")
        for path, value, n in sorted(unresolved):
            stream.write("%s\t%s\t%d\n" % (path, one_line(value), n))
    members = collections.Counter()
    for path, value, n in unresolved:
        if not path.startswith(UNIT_PREFIX):
            members[value] += n
    text = "tool: %s\nsources: %s\n\n" % (tool, root) + summary(rows, members, wall)
    with open(os.path.join(args.out, "summary.txt"), "w", encoding="utf-8") as stream:
        stream.write(text)
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Compares the layouts classtable writes with a real 32-bit compiler's.

For every NAME.pas in this folder (or the files given), the declarations are
appended below the prelude in a fresh folder, `classtable convert` runs, and
the offsets and sizes it wrote are read back and compared with
expected/NAME.txt (the compiler harness's output, see regenerate.sh), after
delphi_rules.txt has replaced the compiler's answer where Delphi's rule or
the project's record padding differs from it.

What is read back from a run:
  * a field's offset: the first number of the field's entry in its
    structure's table in ClassType.lua (a class's table holds its inherited
    fields too; only the fields the compiler lists for the structure itself
    are compared, by their exact spelling, since Lua keys are
    case-sensitive);
  * a structure's size: its nWholeSize in ClassTable_E.lua (a derived
    class's fields are laid out there from the end of its parent's
    instance, so this is the end of the whole instance).
A structure agrees when its size and all its fields agree.

--win32 compares the records of the Win32 structure header of the Free
Pascal sources (the interface parts of base.inc and struct.inc, as
scripts/win32-headers.sh appends them, with their conditionals decided for a
32-bit ANSI target and their directives taken out) the same way, with the
compiler's answers computed on the spot (layout.py --drop-failing);
delphi_rules.txt is not applied there.

Usage:
  compare.py [--tool BUILD/classtable] [--record-padding 4|largest] [-q] [NAME.pas ...]
  compare.py --win32 [--tool ...] [--wininc DIR] [-q]
Exit status: 0 when everything agrees, 1 when something differs, 2 on a
usage or setup error.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
SIZE_KEYS = ('nWholeSize', 'nAddSize', 'nMaxSize')


class SetupError(Exception):
    pass


# ------------------------------------------------------------ expectations ---

def read_expected(path):
    """{structure: {'size': N, 'fields': {field: offset}, 'order': [field]}} in
    file order, from the harness's text output."""
    structs = {}
    with open(path, encoding='latin-1') as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line:
                continue
            m = re.match(r'^(\S+) size (\d+)$', line)
            if m:
                structs.setdefault(m.group(1), {'size': None, 'fields': {}, 'order': []})
                structs[m.group(1)]['size'] = int(m.group(2))
                continue
            m = re.match(r'^([^.\s]+)\.(\S+) (\d+)$', line)
            if not m or m.group(1) not in structs:
                raise SetupError('%s:%d: not a harness line: %s' % (path, number, line))
            s = structs[m.group(1)]
            s['fields'][m.group(2)] = int(m.group(3))
            s['order'].append(m.group(2))
    return structs


RULE = re.compile(r'^(\S+?)(?:\.(\S+)| size) (\d+)\s*#\s*([a-z0-9,]+):\s*(.*)$')


def read_rules(path):
    """[(structure, field or None for the size, value, tags, reason)]."""
    rules = []
    with open(path, encoding='latin-1') as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith('#'):
                continue
            m = RULE.match(line)
            if not m:
                raise SetupError('%s:%d: not a rule: %s' % (path, number, line))
            tags = set(m.group(4).split(','))
            if not tags <= {'delphi', 'padding4', 'largest'}:
                raise SetupError('%s:%d: unknown tag in %s' % (path, number, m.group(4)))
            rules.append((m.group(1), m.group(2), int(m.group(3)), tags, m.group(5)))
    return rules


def rule_holds(tags, padding):
    """A rule tagged padding4 or largest holds only under that record padding;
    one tagged delphi alone holds under both."""
    mode = 'padding4' if padding == '4' else 'largest'
    return mode in tags or not tags & {'padding4', 'largest'}


def apply_rules(expected, rules, padding):
    """The compiler's answers with the rules that hold under this padding put in
    their place; returns {(structure, field or None): (value, tags)} of the
    replaced answers. Every rule must name a known structure and field."""
    replaced = {}
    for name, field, value, tags, _ in rules:
        s = expected.get(name)
        if s is None:
            continue                    # a structure of another file
        if field is not None and field not in s['fields']:
            raise SetupError('delphi_rules.txt: %s has no field %s' % (name, field))
        if not rule_holds(tags, padding):
            continue
        if field is None:
            s['size'] = value
        else:
            s['fields'][field] = value
        replaced[(name, field)] = (value, ','.join(sorted(tags)))
    return replaced


# -------------------------------------------------------------- a run ---

def run_tool(tool, text, workdir, tool_args):
    """Converts the prelude plus text in workdir; returns (exit status, log)."""
    os.makedirs(workdir, exist_ok=True)
    p = subprocess.run([tool, 'init', workdir], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if p.returncode != 0:
        raise SetupError('%s init failed: %s' % (tool, p.stdout.decode('latin-1')))
    body = text.replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
    if not body.endswith(b'\r\n'):
        body += b'\r\n'
    with open(os.path.join(workdir, 'ClassTable.txt'), 'ab') as f:
        f.write(body)
    p = subprocess.run([tool, 'convert'] + tool_args + [workdir],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if p.returncode == 64:              # wrong usage: an option this build does not know
        raise SetupError('%s convert %s refused: %s' % (
            tool, ' '.join(tool_args), p.stdout.decode('gbk', 'replace').strip()))
    return p.returncode, p.stdout.decode('gbk', 'replace')


TABLE_START = re.compile(r'^\s*([A-Za-z_]\w*)\s*=\s*\{\s*$')
ENTRY = re.compile(r'^\s*(?:([A-Za-z_]\w*)|\[\s*"([^"]*)"\s*\])\s*=\s*\{(.*)\}\s*,?\s*$')


def read_class_type(path):
    """{table: {field: first value of its entry (int, or the text when it is not a number)}}."""
    tables = {}
    current = None
    if not os.path.exists(path):
        return tables
    with open(path, 'rb') as f:
        for raw in f:
            line = raw.decode('latin-1').rstrip('\r\n')
            m = TABLE_START.match(line)
            if m:
                current = tables.setdefault(m.group(1), {})
                continue
            if current is None:
                continue
            if line.strip() == '}':
                current = None
                continue
            m = ENTRY.match(line)
            if m:
                first = m.group(3).split(',')[0].strip()
                current[m.group(1) or m.group(2)] = int(first) if re.match(r'^-?\d+$', first) else first
    return tables


E_LINE = re.compile(r'^\s*([A-Za-z_]\w*)\s*=\s*(?:packed\s*)?\{(.*)\}\s*;\s*$')


def read_layouts(path):
    """{structure: {'laid_out': bool, 'size': W or None, 'fields': {field: value}}}
    from ClassTable_E.lua; values are ints where they are numbers. Of several
    lines of one name (forward declarations) the one with members wins."""
    result = {}
    if not os.path.exists(path):
        return result
    with open(path, 'rb') as f:
        for raw in f:
            line = raw.decode('latin-1').rstrip('\r\n')
            m = E_LINE.match(line)
            if not m:
                continue
            fields, size = {}, None
            for part in m.group(2).split(' ; '):
                key, colon, value = part.partition(' : ')
                key, value = key.strip(), value.strip().rstrip(';').strip()
                if not colon or not key:
                    continue
                number = int(value) if re.match(r'^-?\d+$', value) else value
                if key == 'nWholeSize':
                    size = number
                elif key not in SIZE_KEYS:
                    fields[key] = number
            entry = {'laid_out': isinstance(size, int), 'size': size, 'fields': fields}
            old = result.get(m.group(1))
            if old is None or (fields and not old['fields']):
                result[m.group(1)] = entry
    return result


def first_unresolved(layout, layouts):
    """The first member value that is neither a number, nor a sized form (an
    array's or a string's element size and total, like 2A8 or 1_256), nor the
    name of a structure laid out."""
    for field, value in layout['fields'].items():
        if isinstance(value, int) or re.match(r'^\d+[_A]\d+$', value):
            continue
        if value in layouts and layouts[value]['laid_out'] and layouts[value]['size']:
            continue                    # (one of size 0 is empty only at the end of layout)
        return '%s : %s' % (field, value)
    return '?'


# ------------------------------------------------------------ comparison ---

class Tally:
    def __init__(self):
        self.structs = self.structs_ok = self.fields = self.fields_ok = 0
        self.problems = {}              # kind of difference -> count of structures

    def lines(self):
        laid_out = self.structs - self.problems.get('missing', 0) - self.problems.get('not laid out', 0)
        out = []
        if self.problems:
            out.append('differences by kind: ' + ', '.join(
                '%d %s' % (n, k) for k, n in sorted(self.problems.items(), key=lambda kv: -kv[1])))
        out.append('of the %d structures laid out, %d agree' % (laid_out, self.structs_ok))
        out.append('agrees on %d of %d structures, %d of %d fields' % (
            self.structs_ok, self.structs, self.fields_ok, self.fields))
        padded = self.problems.get('size (padding to 4)', 0)
        if padded:
            out.append('and on %d of %d structures counting the %d whose size differs only by '
                       'the padding to 4' % (self.structs_ok + padded, self.structs, padded))
        return out


def padded_to_4(size, expected):
    """Whether size is what padding to 4 makes of a record the compiler padded
    to its largest alignment: the compiler's size rounded up to 4, or 4 less
    when the compiler rounded up to 8."""
    return size == (expected + 3) // 4 * 4 or (expected % 8 == 0 and size == expected - 4)


def compare_struct(name, exp, tables, layouts, replaced, padding_known):
    """(agrees, fields agreeing, differences as texts, kind of difference).
    padding_known: the expectations already hold the project's record padding
    (delphi_rules.txt); otherwise a size that differs only by the padding to 4
    is told apart from other sizes."""
    def source(field):
        rule = replaced.get((name, field))
        return ' [%s]' % rule[1] if rule else ''

    diffs, kinds = [], set()
    spelt = name
    if name not in tables and name not in layouts:
        spelt = next((t for t in list(tables) + list(layouts) if t.lower() == name.lower()), name)
        if spelt != name:
            diffs.append('table respelled %s' % spelt)
            kinds.add('respelled')
    table = tables.get(spelt)
    layout = layouts.get(spelt)
    if table is None and layout is None:
        return False, 0, ['missing from ClassType.lua'], 'missing'
    if layout is None:
        return False, 0, ['not in ClassTable_E.lua'], 'missing'
    if not layout['laid_out']:
        return False, 0, ['not laid out (%s)' % first_unresolved(layout, layouts)], 'not laid out'
    table = table or {}
    ok_fields = 0
    lower = {k.lower(): k for k in table}
    for field in exp['order']:
        want = exp['fields'][field]
        if field in table:
            got = table[field]
            if got == want:
                ok_fields += 1
            else:
                diffs.append('%s %s, expected %d%s' % (field, got, want, source(field)))
                kinds.add('offsets')
        elif field.lower() in lower:
            diffs.append('%s respelled %s' % (field, lower[field.lower()]))
            kinds.add('respelled')
        else:
            diffs.append('%s missing, expected %d%s' % (field, want, source(field)))
            kinds.add('fields missing')
    size = layout['size']
    if exp['size'] is not None and size != exp['size']:
        diffs.insert(0, 'size %d, expected %d%s' % (size, exp['size'], source(None)))
        kinds.add('size (padding to 4)' if not padding_known and padded_to_4(size, exp['size'])
                  else 'size')
    kind = next((k for k in ('fields missing', 'offsets', 'respelled', 'size',
                             'size (padding to 4)') if k in kinds), None)
    return not diffs, ok_fields, diffs, kind


def compare_file(tool, pas, expected, rules, padding, tool_args, keep, tally, quiet):
    name = os.path.splitext(os.path.basename(pas))[0]
    replaced = apply_rules(expected, rules, padding)
    workdir = os.path.join(keep, name) if keep else tempfile.mkdtemp(prefix='classtable-layouts-')
    try:
        with open(pas, 'rb') as f:
            status, _ = run_tool(tool, f.read(), workdir, tool_args)
        tables = read_class_type(os.path.join(workdir, 'ClassType.lua'))
        layouts = read_layouts(os.path.join(workdir, 'ClassTable_E.lua'))
    finally:
        if not keep:
            shutil.rmtree(workdir, ignore_errors=True)
    print('== %s (classtable exit %d)' % (os.path.basename(pas), status))
    report(expected, tables, layouts, replaced, True, tally, quiet)


def report(expected, tables, layouts, replaced, padding_known, tally, quiet):
    for sname, exp in expected.items():
        agrees, ok_fields, diffs, kind = compare_struct(sname, exp, tables, layouts, replaced,
                                                        padding_known)
        tally.structs += 1
        tally.fields += len(exp['order'])
        tally.fields_ok += ok_fields
        if agrees:
            tally.structs_ok += 1
            if not quiet:
                print('  agrees   %s' % sname)
        else:
            tally.problems[kind] = tally.problems.get(kind, 0) + 1
            note = ''
            if exp.get('variant') and kind != 'not laid out':
                note = " (a variant part: the compiler's {$A8} rule, see README.md)"
            print('  DIFFERS  %s: %s%s' % (sname, '; '.join(diffs), note))


# ---------------------------------------------------------------- Win32 ---

def harness_dir():
    path = os.environ.get('FPC32_HARNESS') or os.path.join(os.path.dirname(REPO), 'shared', 'fpc32')
    if not os.path.isfile(os.path.join(path, 'layout.py')):
        raise SetupError('no compiler harness at %s (set FPC32_HARNESS); '
                         'build its compiler with its build.sh' % path)
    return path


def interface_part(path):
    """The lines between '{$ifdef read_interface}' and '{$endif read_interface}'."""
    out, inside = [], False
    with open(path, 'rb') as f:
        for raw in f:
            line = raw.rstrip(b'\r\n')
            if line.startswith(b'{$ifdef read_interface}'):
                inside = True
            elif line.startswith(b'{$endif read_interface}'):
                inside = False
            elif inside:
                out.append(line)
    return b'\n'.join(out) + b'\n'


# What the header's conditionals see: a 32-bit x86 Windows target, ANSI names.
WIN32_DEFINES = {b'cpui386', b'cpu32', b'fpc', b'win32', b'windows', b'mswindows'}
DIRECTIVE = re.compile(rb'\{\$(\w+)\s*([^}]*)\}')


def preprocess(text, defines):
    """text with its conditionals decided and every compiler directive taken
    out: the includes (the project reads them as comments, and the compiler
    would not find the files) and the packing switches, so that the compiler
    lays every record out under the harness's {$A8}, as the project does."""
    defines = set(defines)
    active = [True]                       # one entry per open $ifdef
    out = []
    pos = 0
    for m in DIRECTIVE.finditer(text):
        if active[-1]:
            out.append(text[pos:m.start()])
        pos = m.end()
        word = m.group(1).lower()
        arg = m.group(2).split()[0].lower() if m.group(2).split() else b''
        if word in (b'ifdef', b'ifndef'):
            holds = (arg in defines) == (word == b'ifdef')
            active.append(active[-1] and holds)
        elif word == b'else':
            active[-1] = not active[-1] and active[-2]
        elif word == b'endif':
            active.pop()
        elif word == b'define' and active[-1]:
            defines.add(arg)
        elif word == b'undef' and active[-1]:
            defines.discard(arg)
    if active[-1]:
        out.append(text[pos:])
    return b''.join(out)


def users_of_dropped(text, dropped):
    """The names (upper case) of the declarations the harness dropped and of
    every declaration that uses one of them, directly or through others: the
    harness compiled those against an Integer in the dropped one's place."""
    sys.path.insert(0, harness_dir())
    sys.dont_write_bytecode = True      # leave the harness's folder as it is
    import layout                       # the harness's own reading of the declarations
    source = text.decode('latin-1')
    uses = {}
    for name, start, end, _, _ in layout.parse(source).typedecls:
        body = source[start:end]
        # words in type positions: field names (followed by ':' or ',') are not uses
        words = {w.upper() for w in re.findall(r'([A-Za-z_]\w*)(?!\s*[:,\w])', body)}
        uses.setdefault(name.upper(), set()).update(words - {name.upper()})
    bad = {name.upper() for name, _ in dropped}
    grew = True
    while grew:
        grew = False
        for name, words in uses.items():
            if name not in bad and words & bad:
                bad.add(name)
                grew = True
    return bad


def compare_win32(tool, wininc, tool_args, keep, tally, quiet):
    text = preprocess(b''.join(interface_part(os.path.join(wininc, f))
                               for f in ('base.inc', 'struct.inc')), WIN32_DEFINES)
    workdir = keep or tempfile.mkdtemp(prefix='classtable-win32-')
    try:
        os.makedirs(workdir, exist_ok=True)
        decls = os.path.join(workdir, 'win32.pas')
        with open(decls, 'wb') as f:
            f.write(text)
        p = subprocess.run([sys.executable, os.path.join(harness_dir(), 'layout.py'), decls,
                            '--drop-failing', '--json'],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if p.returncode != 0:
            raise SetupError('the compiler harness failed:\n' + p.stderr.decode('latin-1')[-3000:])
        harness = json.loads(p.stdout.decode('latin-1'))
        status, _ = run_tool(tool, text, os.path.join(workdir, 'run'), tool_args)
        tables = read_class_type(os.path.join(workdir, 'run', 'ClassType.lua'))
        layouts = read_layouts(os.path.join(workdir, 'run', 'ClassTable_E.lua'))
    finally:
        if not keep:
            shutil.rmtree(workdir, ignore_errors=True)
    dropped = users_of_dropped(text, harness['dropped'])
    expected = {}
    for name, s in harness['structs'].items():
        if s['kind'] != 'record' or name.upper() in dropped or s['size'] is None:
            continue
        expected[name] = {'size': s['size'], 'fields': s['fields'], 'order': s['order'],
                          'variant': s['variant']}
    print('== Win32 records (%s; classtable exit %d; the compiler dropped %d declarations, '
          'and %d records are left out that use them)'
          % (wininc, status, len(harness['dropped']),
             sum(1 for n, s in harness['structs'].items()
                 if s['kind'] == 'record' and n.upper() in dropped)))
    report(expected, tables, layouts, {}, False, tally, quiet)


# ---------------------------------------------------------------- main ---

def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('files', nargs='*', help='the .pas files to compare (default: all in this folder)')
    ap.add_argument('--tool', default=os.path.join(REPO, 'build', 'classtable'),
                    help='the classtable binary (default: build/classtable)')
    ap.add_argument('--record-padding', choices=('4', 'largest'), default='4',
                    help="the project's record padding: 4 (default) applies the padding4 rules; "
                         'largest passes --record-padding=largest to the tool and expects the '
                         "compiler's sizes")
    ap.add_argument('--win32', action='store_true', help='compare the Win32 structure header instead')
    ap.add_argument('--wininc', default=os.environ.get('FPC_WININC',
                                                       '/usr/share/fpcsrc/3.2.2/rtl/win/wininc'),
                    help='the Free Pascal wininc folder (default: FPC_WININC or Debian\'s)')
    ap.add_argument('--keep', help='keep the work folders under this folder')
    ap.add_argument('-q', '--quiet', action='store_true', help='print only the differences and totals')
    a = ap.parse_args(argv)
    tool_args = ['--record-padding=largest'] if a.record_padding == 'largest' else []
    tally = Tally()
    try:
        if not os.access(a.tool, os.X_OK):
            raise SetupError('no classtable binary at %s (build it first)' % a.tool)
        if a.win32:
            compare_win32(a.tool, a.wininc, tool_args, a.keep, tally, a.quiet)
        else:
            rules = read_rules(os.path.join(HERE, 'delphi_rules.txt'))
            files = a.files or sorted(os.path.join(HERE, f) for f in os.listdir(HERE)
                                      if f.endswith('.pas'))
            known = set()
            for pas in files:
                name = os.path.splitext(os.path.basename(pas))[0]
                expected = read_expected(os.path.join(HERE, 'expected', name + '.txt'))
                known.update(expected)
                compare_file(a.tool, pas, expected, rules, a.record_padding, tool_args,
                             a.keep, tally, a.quiet)
            if not a.files:
                unknown = sorted({r[0] for r in rules} - known)
                if unknown:
                    raise SetupError('delphi_rules.txt names unknown structures: %s'
                                     % ', '.join(unknown))
    except SetupError as e:
        print('compare.py: %s' % e, file=sys.stderr)
        return 2
    for line in tally.lines():
        print(line)
    return 0 if tally.structs_ok == tally.structs else 1


if __name__ == '__main__':
    sys.exit(main())

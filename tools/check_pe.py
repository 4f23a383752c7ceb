#!/usr/bin/env python3
"""Checks a built Windows binary: PE32 or PE32+, subsystem, that every import comes from a
Windows system DLL, and the resources or exports it must carry. Prints one line per check
and ends with "N passed, N failed".

Usage: check_pe.py FILE --bits 32|64 [--gui] [--resources] [--export NAME ...] [--max-kib N]
                   [--contains NAME=HEX ...]
"""
import argparse
import struct
import sys

SYSTEM_DLLS = {
    'kernel32.dll', 'user32.dll', 'gdi32.dll', 'comctl32.dll', 'ole32.dll', 'oleaut32.dll', 'advapi32.dll',
    'shell32.dll', 'msvcrt.dll', 'uxtheme.dll', 'ntdll.dll',
}


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b'MZ':
            raise ValueError('no MZ header')
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('no PE signature')
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from('<HHIIIHH', data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from('<H', data, opt)[0]
        self.subsystem = struct.unpack_from('<H', data, opt + 68)[0]
        directories = opt + (96 if self.magic == 0x10B else 112)
        self.dirs = [struct.unpack_from('<II', data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, va, rsize, raw = struct.unpack_from('<8sIIII', data, table + 40 * i)
            self.sections.append((name.rstrip(b'\0').decode(), va, max(vsize, rsize), raw))

    def offset(self, rva):
        for _, va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError('rva %#x outside every section' % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b'\0', start)].decode('latin-1')

    def imports(self):
        rva, size = self.dirs[1]
        names, at = [], self.offset(rva) if size else None
        while at is not None:
            entry = struct.unpack_from('<IIIII', self.data, at)
            if entry == (0, 0, 0, 0, 0):
                break
            names.append(self.cstring(entry[3]).lower())
            at += 20
        return names

    def exports(self):
        rva, size = self.dirs[0]
        if not size:
            return []
        at = self.offset(rva)
        count, names_rva = struct.unpack_from('<I', self.data, at + 24)[0], struct.unpack_from('<I', self.data, at + 32)[0]
        return [self.cstring(struct.unpack_from('<I', self.data, self.offset(names_rva) + 4 * i)[0]) for i in range(count)]

    def resources(self):
        """{type id: [data bytes of each resource of that type]}"""
        rva, size = self.dirs[2]
        if not size:
            return {}
        base = self.offset(rva)

        def entries(at):
            named, ids = struct.unpack_from('<HH', self.data, at + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from('<II', self.data, at + 16 + 8 * i)
                yield name, target

        found = {}
        for type_id, type_dir in entries(base):
            for _, name_dir in entries(base + (type_dir & 0x7FFFFFFF)):
                for _, leaf in entries(base + (name_dir & 0x7FFFFFFF)):
                    data_rva, data_size = struct.unpack_from('<II', self.data, base + leaf)
                    start = self.offset(data_rva)
                    found.setdefault(type_id, []).append(self.data[start:start + data_size])
        return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('file')
    parser.add_argument('--bits', type=int, choices=(32, 64), required=True)
    parser.add_argument('--gui', action='store_true')
    parser.add_argument('--resources', action='store_true')
    parser.add_argument('--export', action='append', default=[])
    parser.add_argument('--max-kib', type=int)
    parser.add_argument('--contains', action='append', default=[], metavar='NAME=HEX',
                        help='machine code that must be linked in, e.g. a hand-written thunk')
    args = parser.parse_args()
    results = []

    def check(what, ok, detail=''):
        results.append(ok)
        print('%s %s%s' % ('ok  ' if ok else 'FAIL', what, (': ' + detail) if detail else ''))

    data = open(args.file, 'rb').read()
    pe = Pe(data)
    want_magic, want_machine = (0x10B, 0x14C) if args.bits == 32 else (0x20B, 0x8664)
    check('PE32%s for %s' % ('' if args.bits == 32 else '+', 'i386' if args.bits == 32 else 'x86-64'),
          pe.magic == want_magic and pe.machine == want_machine, 'magic %#x machine %#x' % (pe.magic, pe.machine))
    if args.gui:
        check('Windows GUI subsystem', pe.subsystem == 2, 'subsystem %d' % pe.subsystem)
    imports = pe.imports()
    foreign = [name for name in imports if name not in SYSTEM_DLLS]
    check('imports only from Windows system DLLs', not foreign, ', '.join(foreign or imports))
    if args.max_kib:
        check('at most %d KiB' % args.max_kib, len(data) <= args.max_kib * 1024, '%d bytes' % len(data))
    if args.resources:
        resources = pe.resources()
        check('18 icon images', len(resources.get(3, [])) == 18, '%d' % len(resources.get(3, [])))
        check('one icon group', len(resources.get(14, [])) == 1)
        version = b''.join(resources.get(16, []))
        strings = ['Comments', 'CompanyName', 'FileDescription', 'LegalCopyright', 'ProductName']
        utf16 = lambda s: s.encode('utf-16-le')
        check('version record 1.0.0.0 with every name "Quillory"',
              struct.pack('<HHHH', 0, 1, 0, 0) in version and utf16('1.0.0.0') in version and
              all(utf16(s) + b'\0\0' in version or utf16(s) + b'\0\0\0\0' in version for s in strings) and
              version.count(utf16('Quillory')) >= len(strings) and utf16('080403A8') in version)
        manifest = b''.join(resources.get(24, []))
        check('manifest asks for asInvoker', b'level="asInvoker"' in manifest)
    for item in args.contains:
        name, _, code = item.partition('=')
        check('links %s' % name, bytes.fromhex(code) in data)
    exports = pe.exports() if args.export else []
    for name in args.export:
        check('exports %s undecorated' % name, name in exports, ', '.join(exports))

    failed = results.count(False)
    print('%d passed, %d failed' % (len(results) - failed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())

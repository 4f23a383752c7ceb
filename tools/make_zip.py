#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on its contents: entries in the order given, every
time stamp SOURCE_DATE_EPOCH, fixed permissions, no extra fields.
Usage: make_zip.py OUTPUT.zip NAME=FILE ...
"""
import os
import sys
import time
import zipfile


def main(output, items):
    epoch = int(os.environ.get('SOURCE_DATE_EPOCH', '315532800'))
    stamp = time.gmtime(max(epoch, 315532800))[:6]  # zip cannot go before 1980
    with zipfile.ZipFile(output, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for item in items:
            name, _, path = item.partition('=')
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = (0o755 if name.endswith('.exe') else 0o644) << 16
            info.create_system = 3
            with open(path, 'rb') as f:
                archive.writestr(info, f.read(), compresslevel=9)


if __name__ == '__main__':
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2:])

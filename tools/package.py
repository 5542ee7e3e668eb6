#!/usr/bin/env python3
"""Builds the parts of the release packages that need no Windows tool.

  package.py text <source> <output> [NAME=value]...
      Writes a text file for Windows (the read-me, demo.cmd): the UTF-8 source
      with every @NAME@ replaced by its value, in code page 932 with CRLF line
      ends. A character that code page 932 cannot hold, or an @NAME@ given no
      value, is an error, not a question mark or a placeholder in the package.
  package.py zip <output.zip> <folder> <stage> <file>...
      Writes a zip holding the files, given relative to the folder <stage> (in
      subfolders too, separated by /), under <folder>/, in the order given.
      Every entry carries the same time stamp (SOURCE_DATE_EPOCH, else
      1980-01-01), so the same files always give the same zip.
"""
import os
import re
import sys
import time
import zipfile

ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
LAST_ZIP_SECOND = 4354819199  # 2107-12-31 23:59:59, the last time a zip entry holds


PLACEHOLDER = re.compile(r'@([A-Z][A-Z0-9_]*)@')


def substituted(text, values):
    def value(match):
        name = match.group(1)
        if name not in values:
            raise SystemExit('package: no value given for @%s@' % name)
        return values[name]
    return PLACEHOLDER.sub(value, text)


def windows_text(text, values):
    body = substituted(text.replace('\r\n', '\n'), values)
    lines = body.split('\n')
    if lines and lines[-1] == '':
        lines.pop()
    try:
        return ''.join(line + '\r\n' for line in lines).encode('cp932')
    except UnicodeEncodeError as error:
        raise SystemExit('package: %r is not in code page 932' % error.object[error.start:error.end])


def parse_values(assignments):
    values = {}
    for assignment in assignments:
        name, sep, value = assignment.partition('=')
        if not sep or not PLACEHOLDER.fullmatch('@' + name + '@'):
            raise SystemExit('package: %r is no NAME=value' % assignment)
        values[name] = value
    return values


def write_text(source, output, assignments):
    values = parse_values(assignments)
    with open(source, encoding='utf-8') as f:
        text = f.read()
    data = windows_text(text, values)
    with open(output, 'wb') as f:
        f.write(data)


def entry_time():
    epoch = os.environ.get('SOURCE_DATE_EPOCH', '')
    if not epoch:
        return ZIP_EPOCH
    if not epoch.isdigit() or int(epoch) > LAST_ZIP_SECOND:
        raise SystemExit('package: SOURCE_DATE_EPOCH is not a time a zip can hold: %r' % epoch)
    stamp = time.gmtime(int(epoch))
    if stamp.tm_year < 1980:
        return ZIP_EPOCH
    return stamp[:6]


def entry_names(folder, files):
    names = []
    for path in files:
        parts = path.split('/')
        if path.startswith('/') or '' in parts or '.' in parts or '..' in parts or '\\' in path:
            raise SystemExit('package: %r is no plain path inside the stage folder' % path)
        names.append(folder + '/' + path)
    for name in names:
        if names.count(name) > 1:
            raise SystemExit('package: %s is given twice' % name)
    return names


def write_zip(output, folder, stage, files):
    stamp = entry_time()
    names = entry_names(folder, files)
    partial = output + '.part'
    try:
        with zipfile.ZipFile(partial, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
            for name, path in zip(names, files):
                info = zipfile.ZipInfo(name, date_time=stamp)
                info.compress_type = zipfile.ZIP_DEFLATED
                info.create_system = 0
                info.external_attr = 0x20  # the archive attribute, as Windows tools write it
                with open(os.path.join(stage, *path.split('/')), 'rb') as f:
                    archive.writestr(info, f.read())
        os.replace(partial, output)
    finally:
        if os.path.exists(partial):
            os.remove(partial)


def main(argv):
    if len(argv) >= 4 and argv[1] == 'text':
        write_text(argv[2], argv[3], argv[4:])
    elif len(argv) >= 6 and argv[1] == 'zip':
        write_zip(argv[2], argv[3], argv[4], argv[5:])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)

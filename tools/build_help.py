#!/usr/bin/env python3
"""Compiles the help file qx_front.chm from the UTF-8 sources in help/.

The help viewer reads the contents file and the pages of a Japanese project in
code page 932, so each source is converted before chmcmd compiles the project.
Usage: tools/build_help.py <help-source-dir> <work-dir> <output.chm>
"""
import os
import shutil
import subprocess
import sys


def main():
    source_dir, work_dir, output = sys.argv[1:4]
    os.makedirs(work_dir, exist_ok=True)
    for name in sorted(os.listdir(source_dir)):
        if not name.endswith(('.htm', '.hhc', '.hhp')):
            continue
        with open(os.path.join(source_dir, name), encoding='utf-8') as f:
            text = f.read()
        with open(os.path.join(work_dir, name), 'w', encoding='cp932', newline='\r\n') as f:
            f.write(text)
    result = subprocess.run(['chmcmd', '--no-html-scan', 'qx_front.hhp'], cwd=work_dir,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            encoding='utf-8', errors='replace')
    built = os.path.join(work_dir, 'qx_front.chm')
    if result.returncode != 0 or not os.path.exists(built):
        sys.stderr.write(result.stdout)
        sys.exit('build_help: chmcmd failed')
    shutil.copyfile(built, output)


if __name__ == '__main__':
    main()

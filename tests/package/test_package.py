"""The text and zip writer of the release packages (tools/package.py), run as
the build runs it, and the packaged sources it converts."""
import ast
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

ROOT = os.path.join(os.path.dirname(__file__), '..', '..')
TOOL = os.path.join(ROOT, 'tools', 'package.py')
LOCALWEB = os.path.join(ROOT, 'localweb')
# The modules of the local web service that stay out of the packages.
LOCALWEB_UNPACKAGED = {'testing.py'}


def run_tool(*args, epoch=None):
    env = dict(os.environ)
    env.pop('SOURCE_DATE_EPOCH', None)
    if epoch is not None:
        env['SOURCE_DATE_EPOCH'] = epoch
    return subprocess.run([sys.executable, TOOL] + list(args), env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)


class PackageTestCase(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)

    def path(self, name):
        return os.path.join(self.work.name, name)

    def write(self, name, data):
        with open(self.path(name), 'wb') as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), 'rb') as f:
            return f.read()


class TextTest(PackageTestCase):
    def convert(self, source_text, values=('VERSION=1.2.3', 'PORT=48231')):
        source = self.write('source.txt', source_text.encode('utf-8'))
        return run_tool('text', source, self.path('readme.txt'), *values)

    def test_written_in_code_page_932_with_crlf_line_ends(self):
        cases = [
            # (source, expected text before encoding)
            ('版 @VERSION@\n一時フォルダー\n', '版 1.2.3\r\n一時フォルダー\r\n'),
            ('no final line end', 'no final line end\r\n'),
            ('crlf kept single\r\nnext\r\n', 'crlf kept single\r\nnext\r\n'),
            ('@VERSION@ twice @VERSION@ port @PORT@\n\n', '1.2.3 twice 1.2.3 port 48231\r\n\r\n'),
            ('@echo off, a@b.jp, @lower@\n', '@echo off, a@b.jp, @lower@\r\n'),
            ('波線～と■・\n', '波線～と■・\r\n'),
        ]
        for source, expected in cases:
            with self.subTest(source=source):
                result = self.convert(source)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(self.read('readme.txt'), expected.encode('cp932'))

    def test_character_outside_code_page_932_fails_without_output(self):
        for source in ('snowman \u2603\n', 'emoji \U0001F600\n', 'accent \u00e9\n'):
            with self.subTest(source=source):
                result = self.convert(source)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn('code page 932', result.stderr)
                self.assertFalse(os.path.exists(self.path('readme.txt')))

    def test_placeholder_without_value_or_malformed_value_fails_without_output(self):
        cases = [
            ('@HOST@ has no value', ('VERSION=1',), '@HOST@'),
            ('@VERSION@', ('VERSION',), 'NAME=value'),
            ('@VERSION@', ('version=1',), 'NAME=value'),
        ]
        for source, values, message in cases:
            with self.subTest(values=values):
                result = self.convert(source, values)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(message, result.stderr)
                self.assertFalse(os.path.exists(self.path('readme.txt')))

    def convert_project_file(self, name):
        result = run_tool('text', os.path.join(ROOT, 'package', name), self.path(name),
                          'VERSION=0.0.1', 'PORT=48231')
        self.assertEqual(result.returncode, 0, result.stderr)
        data = self.read(name)
        self.assertEqual(data.count(b'\n'), data.count(b'\r\n'))
        return data

    def test_project_read_me_converts(self):
        data = self.convert_project_file('readme.txt')
        self.assertIn(b'0.0.1', data)
        self.assertIn(b'48231', data)

    def test_demo_script_reads_as_ascii_until_it_switches_to_code_page_932(self):
        # cmd decodes each line of a script in the console's code page, which
        # is only known to be 932 after the script's own chcp.
        lines = self.convert_project_file('demo.cmd').split(b'\r\n')
        switch = lines.index(b'chcp 932 >nul 2>&1')
        for line in lines[:switch]:
            self.assertTrue(line.isascii(), line)
        self.assertTrue(any(not line.isascii() for line in lines[switch:]))
        self.assertIn(b'set "QX_PORT=48231"', lines)


class PackagedServiceTest(unittest.TestCase):
    def test_imports_only_the_standard_library_and_its_own_modules(self):
        names = [n for n in os.listdir(LOCALWEB) if n.endswith('.py') and n not in LOCALWEB_UNPACKAGED]
        own = {n[:-3] for n in names}
        for name in names:
            with open(os.path.join(LOCALWEB, name), encoding='utf-8') as f:
                tree = ast.parse(f.read(), name)
            for node in ast.walk(tree):
                if isinstance(node, ast.Import):
                    modules = [alias.name for alias in node.names]
                elif isinstance(node, ast.ImportFrom):
                    modules = [node.module or '']
                else:
                    continue
                for module in modules:
                    top = module.split('.')[0]
                    with self.subTest(file=name, module=module):
                        self.assertTrue(top in sys.stdlib_module_names or top in own, module)


class ZipTest(PackageTestCase):
    def make_zip(self, name, files, epoch=None):
        return run_tool('zip', self.path(name), 'pkg-1.2.3', self.path('stage'), *files, epoch=epoch)

    def inputs(self):
        os.makedirs(self.path(os.path.join('stage', 'service')), exist_ok=True)
        files = [('b.exe', b'MZ' + bytes(range(256)) * 8),
                 ('a.chm', b'ITSF'),
                 ('service/a.chm', b'# same name, other folder\n'),
                 ('readme.txt', b'\x83e\x83X\x83g\r\n')]
        for name, data in files:
            self.write(os.path.join('stage', *name.split('/')), data)
        return [name for name, _ in files]

    def test_entries_in_given_order_under_the_folder_with_their_bytes(self):
        files = self.inputs()
        result = self.make_zip('out.zip', files)
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(self.path('out.zip')) as archive:
            self.assertIsNone(archive.testzip())
            infos = archive.infolist()
            self.assertEqual([i.filename for i in infos],
                             ['pkg-1.2.3/b.exe', 'pkg-1.2.3/a.chm', 'pkg-1.2.3/service/a.chm',
                              'pkg-1.2.3/readme.txt'])
            for info, name in zip(infos, files):
                with open(self.path(os.path.join('stage', *name.split('/'))), 'rb') as f:
                    self.assertEqual(archive.read(info), f.read())
                self.assertEqual(info.create_system, 0)
                self.assertEqual(info.compress_type, zipfile.ZIP_DEFLATED)

    def test_time_stamps_fixed_and_from_source_date_epoch(self):
        cases = [
            (None, (1980, 1, 1, 0, 0, 0)),
            ('1700000000', (2023, 11, 14, 22, 13, 20)),
            ('0', (1980, 1, 1, 0, 0, 0)),  # before the first time a zip can hold
        ]
        for epoch, expected in cases:
            with self.subTest(epoch=epoch):
                result = self.make_zip('out.zip', self.inputs(), epoch=epoch)
                self.assertEqual(result.returncode, 0, result.stderr)
                with zipfile.ZipFile(self.path('out.zip')) as archive:
                    self.assertEqual({i.date_time for i in archive.infolist()}, {expected})

    def test_same_files_give_the_same_bytes(self):
        files = self.inputs()
        self.assertEqual(self.make_zip('first.zip', files).returncode, 0)
        os.utime(self.path(os.path.join('stage', files[0])), (1, 1))
        self.assertEqual(self.make_zip('second.zip', files).returncode, 0)
        self.assertEqual(self.read('first.zip'), self.read('second.zip'))

    def test_refused_inputs_leave_no_zip(self):
        files = self.inputs()
        cases = [
            ('a name given twice', files + ['a.chm'], None),
            ('a missing file', files + ['missing.txt'], None),
            ('a path leaving the stage', files + ['../a.chm'], None),
            ('an absolute path', files + [self.path('stage/a.chm')], None),
            ('a backslash', files + ['service\\a.chm'], None),
            ('an epoch that is no number', files, '12abc'),
            ('an epoch past what a zip holds', files, '99999999999'),
        ]
        for label, inputs, epoch in cases:
            with self.subTest(label):
                result = self.make_zip('out.zip', inputs, epoch=epoch)
                self.assertNotEqual(result.returncode, 0)
                self.assertFalse(os.path.exists(self.path('out.zip')))
                self.assertFalse(os.path.exists(self.path('out.zip.part')))

    def test_wrong_arguments_print_the_usage(self):
        for args in ([], ['zip', 'out.zip', 'folder', 'stage'], ['text', 'a'], ['unknown', 'a', 'b', 'c']):
            with self.subTest(args=args):
                result = run_tool(*args)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn('package.py', result.stderr)


if __name__ == '__main__':
    unittest.main()

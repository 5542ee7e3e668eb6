"""The read-me and zip writer of the release packages (tools/package.py), run as
the build runs it."""
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

TOOL = os.path.join(os.path.dirname(__file__), '..', '..', 'tools', 'package.py')


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


class ReadmeTest(PackageTestCase):
    def convert(self, source_text):
        source = self.write('source.txt', source_text.encode('utf-8'))
        return run_tool('readme', source, '1.2.3', self.path('readme.txt'))

    def test_written_in_code_page_932_with_crlf_line_ends(self):
        cases = [
            # (source, expected text before encoding)
            ('版 @VERSION@\n一時フォルダー\n', '版 1.2.3\r\n一時フォルダー\r\n'),
            ('no final line end', 'no final line end\r\n'),
            ('crlf kept single\r\nnext\r\n', 'crlf kept single\r\nnext\r\n'),
            ('@VERSION@ twice @VERSION@\n\n', '1.2.3 twice 1.2.3\r\n\r\n'),
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

    def test_project_read_me_converts(self):
        source = os.path.join(os.path.dirname(TOOL), '..', 'package', 'readme.txt')
        result = run_tool('readme', source, '0.0.1', self.path('readme.txt'))
        self.assertEqual(result.returncode, 0, result.stderr)
        data = self.read('readme.txt')
        self.assertNotIn(b'@VERSION@', data)
        self.assertEqual(data.count(b'\n'), data.count(b'\r\n'))
        self.assertIn('0.0.1'.encode('cp932'), data)


class ZipTest(PackageTestCase):
    def make_zip(self, name, files, epoch=None):
        return run_tool('zip', self.path(name), 'pkg-1.2.3', *files, epoch=epoch)

    def inputs(self):
        return [self.write('b.exe', b'MZ' + bytes(range(256)) * 8),
                self.write('a.chm', b'ITSF'),
                self.write('readme.txt', b'\x83e\x83X\x83g\r\n')]

    def test_entries_in_given_order_under_the_folder_with_their_bytes(self):
        files = self.inputs()
        result = self.make_zip('out.zip', files)
        self.assertEqual(result.returncode, 0, result.stderr)
        with zipfile.ZipFile(self.path('out.zip')) as archive:
            self.assertIsNone(archive.testzip())
            infos = archive.infolist()
            self.assertEqual([i.filename for i in infos],
                             ['pkg-1.2.3/b.exe', 'pkg-1.2.3/a.chm', 'pkg-1.2.3/readme.txt'])
            for info, path in zip(infos, files):
                with open(path, 'rb') as f:
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
        os.utime(files[0], (1, 1))
        self.assertEqual(self.make_zip('second.zip', files).returncode, 0)
        self.assertEqual(self.read('first.zip'), self.read('second.zip'))

    def test_refused_inputs_leave_no_zip(self):
        files = self.inputs()
        os.makedirs(self.path('other'))
        twice = self.write(os.path.join('other', 'a.chm'), b'other')
        cases = [
            ('a name given twice', files + [twice], None),
            ('a missing file', files + [self.path('missing.txt')], None),
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
        for args in ([], ['zip', 'out.zip', 'folder'], ['readme', 'a', 'b'], ['unknown', 'a', 'b', 'c']):
            with self.subTest(args=args):
                result = run_tool(*args)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn('package.py', result.stderr)


if __name__ == '__main__':
    unittest.main()

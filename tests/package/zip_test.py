#!/usr/bin/env python3
"""Checks the release zip as a user gets it: its files in order, the program as built
and small, the checksums, and the texts as Windows-1252 with CR LF holding the sources'
texts.

usage: zip_test.py ZIP EXE SOURCE_DIR [unittest arguments]
"""
import hashlib
import re
import sys
import unittest
import zipfile
from pathlib import Path

ZIP, EXE, ROOT = (Path(a) for a in sys.argv[1:4])
del sys.argv[1:4]
TEXTS = {"DEFAULT.ini": "app/DEFAULT.ini", "LIESMICH.txt": "package/LIESMICH.txt",
         "Gleisora.en.lng": "package/Gleisora.en.lng"}


class ReleaseZip(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with zipfile.ZipFile(ZIP) as archive:
            cls.names = archive.namelist()
            cls.files = {n: archive.read(n) for n in cls.names}

    def test_files(self):
        self.assertEqual(["Gleisora.exe", "DEFAULT.ini", "LIESMICH.txt", "Gleisora.en.lng",
                          "SHA256SUMS"], self.names)

    def test_program_is_the_build_and_under_one_megabyte(self):
        program = self.files["Gleisora.exe"]
        self.assertEqual(EXE.read_bytes(), program)
        self.assertEqual(b"MZ", program[:2])
        self.assertLess(len(program), 1_000_000)

    def test_checksums(self):
        lines = self.files["SHA256SUMS"].decode("ascii").splitlines()
        sums = dict(reversed(re.fullmatch(r"([0-9a-f]{64})  (\S+)", l).groups()) for l in lines)
        self.assertEqual(set(self.names) - {"SHA256SUMS"}, set(sums))
        for name, digest in sums.items():
            with self.subTest(file=name):
                self.assertEqual(hashlib.sha256(self.files[name]).hexdigest(), digest)

    def test_texts_are_windows_1252_with_cr_lf(self):
        for name, source in TEXTS.items():
            with self.subTest(file=name):
                data = self.files[name]
                crlf = data.count(b"\r\n")
                self.assertEqual((crlf, crlf), (data.count(b"\r"), data.count(b"\n")), "CR, LF")
                self.assertEqual((ROOT / source).read_text(encoding="utf-8"),
                                 data.decode("cp1252").replace("\r\n", "\n"))


if __name__ == "__main__":
    unittest.main()

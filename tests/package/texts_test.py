#!/usr/bin/env python3
"""The texts a user meets, checked against the sources: package/'s text files are
UTF-8, the English language file translates every key the program looks up, and the
fixed design texts are in the code unchanged, byte for byte.

usage: texts_test.py SOURCE_DIR [unittest arguments]
"""
import configparser
import re
import sys
import unittest
from pathlib import Path

ROOT = Path(sys.argv.pop(1) if len(sys.argv) > 1 else Path(__file__).parents[2])
CODE = ("app", "switching", "snapshots", "catalogue", "support", "platform")
ENGLISH = ROOT / "package" / "Gleisora.en.lng"

# Keys the code builds at run time from a control's name, by window.
BUILT_KEYS = {
    "frmMain": [f"{c}.{p}" for c in ("cmdStartEEP", "cmdReset", "cmdDefault", "cmdInfo",
                                     "cmdDetails") for p in ("Caption", "ToolTipText")]
    + [f"lvwVersions.{i}.Text" for i in (1, 2, 3)]
    + [f"{m}.Caption" for m in ("mnuShortcut", "mnuOpenFolder", "mnuRemove", "mnuAdd",
                                "mnuRestore")]
    + [f"mnuRestore.{a}.Caption" for a in ("Switch", "Default", "Reset", "Repair", "Undo")],
    "frmAbout": ["Caption"]
    + [f"{l}.{p}" for l in ("lblTitle", "lblDisclaimer", "lblDescription")
       for p in ("Caption", "ToolTipText")]
    + [f"tbsAbout.{i}.{p}" for i in (1, 2) for p in ("Caption", "ToolTipText")],
}

# Default texts of language-file keys, as the language file holds them ("\n" is the
# two characters backslash and n).
KEYED = {
    ("frmMain", "cmdDetails.Show.Caption"): "Details  >>",
    ("frmMain", "cmdDetails.Show.ToolTipText"): "Details einblenden",
    ("frmMain", "cmdDetails.Hide.Caption"): "Details  <<",
    ("frmMain", "cmdDetails.Hide.ToolTipText"): "Details ausblenden",
    ("Messages", "ALREADY_RUNNING"):
        "Achtung EEP läuft bereits! Wollen Sie wirklich EEP ein weiteres Mal starten?",
    ("Messages", "CANNOT_QUIT"):
        "Gleisora kann im Moment nicht beendet werden!\\nBitte warten Sie einen Moment!",
    ("Messages", "CANNOT_START_EEP"): "EEP konnte nicht gestartet werden!\\nPfad:",
    ("Messages", "CANNOT_SWITCH"): "EEP läuft bereits! Umschalten ist derzeit nicht möglich!",
    ("Messages", "ENTRY_NOT_FOUND1"): "wurde nicht gefunden!\\nVerzeichnis:\\n",
    ("Messages", "ENTRY_NOT_FOUND2"): "\\nSoll der zugehörige Eintrag gelöscht werden?",
    ("Messages", "FEATURE_TEMPORARLY_NOT_AVAILABLE"):
        "EEP läuft bereits! Diese Funktion ist derzeit nicht möglich!",
}

# Design texts (the defaults of the built keys) and texts that never go through the
# language file: each must be one whole string in the code.
FIXED = [
    "EEP starten", "Wiederherstellen", "Letzte Einstellungen wiederherstellen",
    "Standardeinstellungen", "Standardeinstellungen laden", "Info", "Info über...",
    "Details  <<", "Details ein-/ausblenden", "Bezeichnung", "Typ", "Pfad",
    "Es wurde keine geeignete ini-Datei für diese Version gefunden!", "Version: ",
    "Es wird die Standard ini-Datei verwendet!", "\r\n(Runtime-Error: ",
    "Info über ", "Version ", "Anwendung", "Autor", "Anwendungstitel",
    "Anwendungsbeschreibung", "Warnung: ...", "OK", "&System-Info...", "telefon",
    "telefax", "e-mail", "Systeminformationsprogramm zur Zeit nicht verfügbar.",
    "Start-Programm für EEP", "Gleisora",
]

TOKEN = re.compile(r'''//[^\n]*|/\*.*?\*/|'(?:\\.|[^'\\])*'|"((?:\\.|[^"\\\n])*)"|'''
                   r'''([A-Za-z_]\w*)|(\S)''', re.S)
ESCAPE = re.compile(r'\\(x[0-9A-Fa-f]+|[0-7]{1,3}|.)', re.S)
SIMPLE_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "0": "\0"}


def unescape(body):
    def one(m):
        e = m.group(1)
        if e[0] == "x" and len(e) > 1:
            return bytes([int(e[1:], 16) & 0xFF]).decode("cp1252")
        if e[0] in "01234567" and e != "0":
            return bytes([int(e, 8) & 0xFF]).decode("cp1252")
        return SIMPLE_ESCAPES.get(e, e)
    return ESCAPE.sub(one, body)


def tokens(text):
    """('s', text) for a string literal (adjacent ones joined), ('i', name), ('p', c)."""
    out = []
    for m in TOKEN.finditer(text):
        body, name, punct = m.groups()
        if body is not None:
            if out and out[-1][0] == "s":
                out[-1] = ("s", out[-1][1] + unescape(body))
            else:
                out.append(("s", unescape(body)))
        elif name or punct:
            out.append(("i", name) if name else ("p", punct))
    return out


def scan():
    """Every string in the code, the language-file keys it names by section, and the
    default each literal key is passed with."""
    strings, keys, defaults = set(), {}, {}
    for path in sorted(p for d in CODE for p in (ROOT / d).rglob("*")
                       if p.suffix in (".cpp", ".h", ".rc")):
        toks = tokens(path.read_text(encoding="utf-8"))
        consts = {toks[i][1]: toks[i + 4][1] for i in range(len(toks) - 4)
                  if toks[i][0] == "i" and toks[i + 1:i + 4] == [("p", "["), ("p", "]"), ("p", "=")]
                  and toks[i + 4][0] == "s"}
        window = "frmAbout" if "About" in path.name else "frmMain"
        for i, (kind, value) in enumerate(toks):
            if kind != "s":
                continue
            strings.add(value)
            before = toks[max(i - 2, 0):i]
            if not (before[-1:] == [("p", "(")] or before[-1:] == [("p", ",")] and
                    (before[0] == ("s", "Messages") or before[0][0] == "i")):
                continue  # a language-file key is a call's first argument or follows "Messages"
            if re.fullmatch(r"[A-Z][A-Z0-9_]*", value):
                section = "Messages"
            elif re.fullmatch(r"[a-z]{3}[A-Z]\w*(\.\w+)+", value):
                section = window
            else:
                continue
            following = toks[i + 1:i + 3] + [("p", "")] * 2
            deflt = following[1][1] if following[1][0] == "s" else consts.get(following[1][1])
            if following[0] != ("p", ",") or deflt is None and section == "Messages":
                continue  # a message key always comes with its default text
            keys.setdefault(section, set()).add(value)
            if deflt is not None:
                defaults.setdefault((section, value), set()).add(deflt)
    for section, built in BUILT_KEYS.items():
        keys.setdefault(section, set()).update(built)
    return strings, keys, defaults


class PackageEncoding(unittest.TestCase):
    def test_text_sources_are_utf8_with_lf(self):
        """package/ holds its texts as UTF-8 with LF; the zip gets them as
        Windows-1252 with CR LF."""
        files = sorted(p for p in (ROOT / "package").iterdir() if p.is_file())
        self.assertTrue(files)
        for path in files:
            with self.subTest(file=path.name):
                data = path.read_bytes()
                try:
                    text = data.decode("utf-8")
                except UnicodeDecodeError as e:
                    self.fail(f"not UTF-8: byte 0x{data[e.start]:02x} at offset {e.start}")
                self.assertFalse(text.startswith("\ufeff"), "byte order mark")
                self.assertNotIn("\r", text, "CR in the stored text")
                text.encode("cp1252")  # every character has a Windows-1252 byte


class EnglishFile(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.strings, cls.keys, cls.defaults = scan()
        parser = configparser.RawConfigParser(delimiters=("=",), comment_prefixes=(";",),
                                              interpolation=None, strict=True)
        parser.read_string(ENGLISH.read_text(encoding="utf-8"))
        cls.english = {s.lower(): {k.lower() for k in parser[s]} for s in parser.sections()}

    def test_every_key_the_program_looks_up_is_translated(self):
        self.assertGreater(len(self.keys.get("Messages", ())), 10)
        for section, keys in self.keys.items():
            for key in sorted(keys):
                with self.subTest(section=section, key=key):
                    self.assertIn(key.lower(), self.english.get(section.lower(), set()))

    def test_every_translated_key_is_looked_up(self):
        used = {(s.lower(), k.lower()) for s, keys in self.keys.items() for k in keys}
        for section, keys in self.english.items():
            for key in sorted(keys):
                with self.subTest(section=section, key=key):
                    self.assertIn((section, key), used)


class FixedTexts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.strings, cls.keys, cls.defaults = scan()

    def test_keyed_defaults(self):
        for (section, key), text in KEYED.items():
            with self.subTest(key=key):
                self.assertEqual({text}, self.defaults.get((section, key)))

    def test_fixed_texts_are_whole_strings_of_the_code(self):
        for text in FIXED:
            with self.subTest(text=text):
                self.assertIn(text, self.strings)


if __name__ == "__main__":
    unittest.main()

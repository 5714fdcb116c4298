"""Checks that pdftk, the tool the program runs, reads the generated PDFs as their
manifests say: the same information entries and page count, and no output for the
broken ones."""

import sys
import unittest
from concurrent.futures import ThreadPoolExecutor

sys.dont_write_bytecode = True
import generated_files  # noqa: E402
import pdftk_reader  # noqa: E402

# pdftk-java 3.3 cannot open revision 6 (AES-256) files: "unknown.encryption.type.r".
NOT_READ_BY_PDFTK = {"AES-256"}


def _dump_all(files):
    """pdftk starts a Java machine per file; two at a time halves the wait."""
    def dump(item):
        password = item.entry["user_password"] if item.needs_password else None
        return pdftk_reader.dump(item.path, password)
    with ThreadPoolExecutor(max_workers=2) as pool:
        return list(zip(files, pool.map(dump, files)))


def _expected_entries(entry):
    """pdftk leaves out empty values and reads a UTF-8 string as PDFDocEncoding, which for
    our values' bytes equals Latin-1."""
    expected = {}
    for key, text in entry["info"].items():
        if text == "":
            continue
        if entry["encodings"].get(key) == "utf8bom":
            text = (b"\xef\xbb\xbf" + text.encode("utf-8")).decode("latin-1")
        expected[key] = text
    return expected


class PdftkAgrees(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        files = [f for f in generated_files.everything()
                 if f.entry["encryption"] not in NOT_READ_BY_PDFTK]
        cls.dumps = _dump_all(files)

    def test_entries_and_page_count(self):
        for item, (code, text) in self.dumps:
            if item.broken:
                continue
            with self.subTest(file=str(item)):
                self.assertEqual(code, 0)
                info, pages = pdftk_reader.parse(text)
                self.assertEqual(pages, item.entry["pages"])
                self.assertEqual(info, _expected_entries(item.entry))

    def test_broken_files_give_no_output(self):
        broken = [(item, result) for item, result in self.dumps if item.broken]
        self.assertTrue(broken)
        for item, (code, text) in broken:
            with self.subTest(file=str(item)):
                self.assertNotEqual(code, 0)
                self.assertNotIn("NumberOfPages", text)


if __name__ == "__main__":
    generated_files.require_program("pdftk", "pdftk-java")
    unittest.main(verbosity=2)

"""CP1251 and KOI8-R documents along every path: a CP1251 thesis compiled with real latex,
its LOG read in its code page; a KOI8-R chapter edited with find and replace, killed before
saving, given back by the recovery journal in its encoding and with its LF line ends, and
found again in the recent list; a UTF-8 file declaring itself twice saved in CP1251 and read
back so; a bibliography of megabytes opened, typed into and saved whole."""
import glob
import os
import re
import subprocess
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main

THESIS = ("\\documentclass{article}\r\n\\usepackage[T2A]{fontenc}\r\n"
          "\\usepackage[cp1251]{inputenc}\r\n\\usepackage[russian]{babel}\r\n"
          "\\begin{document}\r\nТекст «диссертации» — №~1.\r\n"
          "\\oops Привет, мир\r\n\\end{document}\r\n")
CHAPTER = "\\chapter{Обзор}\nЁлки зелёные растут в лесу.\nЁлки растут.\n"


class Encodings(unittest.TestCase):
    def copy(self, s, text):
        """Puts text on the clipboard, as another program would."""
        subprocess.Popen(["xclip", "-selection", "clipboard"], env=s.env,
                         stdin=subprocess.PIPE).communicate(text.encode("utf-8"))
        time.sleep(0.3)

    def test_a_cp1251_thesis_compiles_and_its_log_reads(self):
        with Session(self) as s:
            s.write_doc("thesis.tex", THESIS.encode("cp1251"))
            s.write_doc("thesis.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start(cwd=s.docs)
            s.open_document(wid, "thesis.tex")
            s.wait_window(re.escape(TITLE + ": thesis [CP1251]"))
            s.compile(wid, "thesis.log")
            self.assertIn("Привет, мир".encode("cp1251"), s.doc_file("thesis.log"))
            shown = s.log_viewer_text(wid)
            self.assertIn("Undefined control sequence", shown)
            self.assertIn("l.7 \\oops\n          Привет, мир", shown)
            s.key("alt+F4")
            s.activate(wid)
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.doc_file("thesis.tex"), THESIS.encode("cp1251"))

    def test_a_koi8r_chapter_is_edited_journaled_and_given_back(self):
        original = CHAPTER.encode("koi8_r")
        with Session(self) as s:
            s.env["XDG_STATE_HOME"] = os.path.join(s.root, "state")
            s.write_doc("chapter.tex", original)
            s.write_doc("chapter.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start()
            s.open_document(wid, "chapter.tex")
            s.wait_window(re.escape(TITLE + ": chapter [KOI8-R]"))
            # Replace All through the real dialog: "Ёлки" becomes "Сосны", both pasted into
            # its fields.
            s.key("ctrl+F7")
            replace = s.wait_window("^Заменить$")
            s.activate(replace)
            for text in ("Ёлки", "Сосны"):
                self.copy(s, text)
                s.key("ctrl+a", "ctrl+v", "Tab")
            s.key(*(["Tab"] * 4))  # match case, find next, replace, replace all
            s.key("space")
            s.activate(replace)  # replacing gave the editor the focus
            s.key("Escape")
            s.activate(wid)
            time.sleep(2.8)  # the journal is at most two seconds behind
            s.proc.kill()
            s.proc.wait()
            self.assertEqual(s.doc_file("chapter.tex"), original)

            wid = s.start()
            question = s.wait_window("^Восстановление$")
            s.activate(question)
            s.key("Return")
            s.wait_window(re.escape(TITLE + ": chapter [KOI8-R]"))
            s.activate(wid)
            s.file_menu(wid, 3)  # Сохранить
            expected = CHAPTER.replace("Ёлки", "Сосны").encode("koi8_r")
            self.assertEqual(s.wait_doc_bytes("chapter.tex", expected), expected)
            self.assertEqual(glob.glob(os.path.join(s.root, "state", "kolbax", "*.journal")), [])
            self.assertEqual(s.quit(), 0)
            self.assertTrue(s.app_file("filelist.ini").startswith(
                s.doc_path("chapter.tex").encode() + b"\r\n"))

    def test_save_in_cp1251_rewrites_the_magic_comment_and_a_large_bibliography_saves_whole(self):
        magic = "% !TeX encoding = UTF-8\n\\usepackage[utf8]{inputenc}\nЁлки\n"
        entry = ("@book{b%d,\n  author = {Иванов, Пётр},\n  title = {Ряды Фурье, том %d},\n"
                 "  year = {1999},\n}\n")
        bib = "".join(entry % (i, i) for i in range(40000)).encode("utf-8")  # 3.5 MB
        with Session(self) as s:
            s.write_doc("magic.tex", magic.encode("utf-8"))
            s.write_doc("magic.sts", b"*\r\n0\r\n0\r\n")
            s.write_doc("refs.bib", bib)
            s.write_doc("refs.bib.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start(cwd=s.docs)
            s.open_document(wid, "magic.tex")
            s.wait_window(re.escape(TITLE + ": magic [UTF-8]"))
            s.file_menu(wid, 6)  # Сохранить в кодировке...
            dialog = s.wait_window("^Сохранить файл в кодировке$")
            s.activate(dialog)
            s.key("alt+1", "Return")  # CP1251
            expected = magic.replace("UTF-8", "windows-1251").replace("utf8", "cp1251")
            self.assertEqual(s.wait_doc_bytes("magic.tex", expected.encode("cp1251")),
                             expected.encode("cp1251"))
            # Read back in CP1251, without a notice of a contradicted declaration.
            s.activate(wid)
            s.open_document(wid, "magic.tex")
            s.wait_window(re.escape(TITLE + ": magic [CP1251]"))
            s.screenshot("magic-reopened")

            # 3.5 MB, 200,000 lines: opened, typed into, saved byte for byte.
            s.open_document(wid, "refs.bib")
            s.wait_window(re.escape(TITLE + ": refs.bib [UTF-8]"))
            s.key("ctrl+Home", "1", "2")
            s.file_menu(wid, 3)  # Сохранить
            self.assertEqual(s.wait_doc_bytes("refs.bib", b"12" + bib, timeout=20), b"12" + bib)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

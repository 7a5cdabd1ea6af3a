"""CP1251 and KOI8-R documents along every path: a CP1251 thesis compiled with real latex,
its LOG read in its code page; a KOI8-R chapter edited with find and replace, killed before
saving, given back by the recovery journal in its encoding and with its LF line ends, and
found again in the recent list."""
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


if __name__ == "__main__":
    e2e_main()

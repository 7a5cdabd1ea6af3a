"""UTF-8 documents under a real X server: a new document made UTF-8 in the new-file dialog
(keys only), the Smart Keyboard's
sentence typed on a US desktop and saved as UTF-8 bytes; the standard template in UTF-8
compiled by the real latex, its LOG shown readably."""
import os
import re
import time
import unittest

from e2e_lib import LOG_WINDOW, TITLE, Session, e2e_main
from test_smart_keyboard import KEYSTROKES, SENTENCE, X11

NEW_DIALOG = "Задай параметры создаваемого файла"
UNTITLED_UTF8 = re.escape(TITLE + ": (без имени) [UTF-8]")


class Utf8Documents(unittest.TestCase):
    def new_document(self, s, wid, keys):
        s.file_menu(wid, 1)  # Создать
        dialog = s.wait_window(NEW_DIALOG)
        s.activate(dialog)
        s.key(*keys)
        s.wait_no_window(NEW_DIALOG)
        s.wait_window(UNTITLED_UTF8)
        s.activate(wid)

    def test_the_smart_keyboard_sentence_in_a_new_utf8_document(self):
        with Session(self) as s:
            wid = s.start()
            # Main file; "Без шаблона" above the standard template, taken with Space; Alt+U
            # for "UTF-8".
            self.new_document(s, wid, ["Tab", "Up", "space", "alt+u", "Return"])
            x11 = X11(s.display)
            try:
                for stroke in KEYSTROKES:
                    x11.stroke(stroke)
            finally:
                x11.close()
            time.sleep(0.3)
            s.screenshot("typed")
            s.save_as(wid, "sentence.tex")
            # A new UTF-8 document ends its lines with LF.
            expected = (SENTENCE + "\n").encode("utf-8")
            s.wait_doc_bytes("sentence.tex", expected)
            self.assertEqual(s.doc_file("sentence.tex"), expected)
            s.wait_window(re.escape(TITLE + ": sentence [UTF-8]"))
            self.assertEqual(s.quit(), 0)

    def test_the_utf8_template_compiles_and_its_log_reads(self):
        with Session(self) as s:
            wid = s.start(cwd=s.docs)
            # Main file, the standard template, "UTF-8" (Alt+U).
            self.new_document(s, wid, ["alt+u", "Return"])
            # An undefined command before \end{document}, so that the LOG quotes the line,
            # and Russian text after the user's own switch (Ctrl+Shift alone).
            s.key("ctrl+End", "Up", "Home")
            s.type("\\oops ")
            s.keys_down_up(("down", "ctrl"), ("down", "shift"), ("up", "shift"), ("up", "ctrl"))
            s.type("Ghbdtn vbh")  # "Привет мир"
            s.key("Return")
            s.save_as(wid, "thesis.tex")
            s.wait_window(re.escape(TITLE + ": thesis [UTF-8]"))
            saved = s.doc_file("thesis.tex")
            self.assertIn(b"\\usepackage[utf8]{inputenc}\n", saved)
            self.assertIn("\\oops Привет мир\n\\end{document}".encode("utf-8"), saved)
            self.assertIn("{Теорема}".encode("utf-8"), saved)

            s.compile(wid, "thesis.log")
            self.assertTrue(os.path.exists(s.doc_path("thesis.dvi")))
            self.assertIn("Привет мир".encode("utf-8"), s.doc_file("thesis.log"))

            shown = s.log_viewer_text(wid)
            self.assertIn("Undefined control sequence", shown)
            self.assertIn("l.33 \\oops", shown)
            self.assertIn("Привет мир", shown)
            s.key("alt+F4")
            s.wait_no_window(LOG_WINDOW)
            s.activate(wid)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

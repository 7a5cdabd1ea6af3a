"""The recovery journal under a real X server: the editor is killed (SIGKILL) two seconds
after typing; the next start asks about the unsaved text and gives it back as a modified
document, the file on disk untouched until the user saves. A named document, an untitled
one, and a journal declined and then deleted. The journals live in $XDG_STATE_HOME/kolbax."""
import glob
import os
import re
import time
import unittest

from e2e_lib import TITLE, Session, cp866, e2e_main

QUESTION = "^Восстановление$"


class RecoveryJournal(unittest.TestCase):
    def start_session(self, s):
        s.env["XDG_STATE_HOME"] = os.path.join(s.root, "state")

    def journals(self, s):
        return glob.glob(os.path.join(s.root, "state", "kolbax", "*.journal"))

    def type_and_kill(self, s, text):
        s.type(text)
        time.sleep(2.8)  # the journal is at most two seconds behind
        s.screenshot("before-kill")
        s.proc.kill()
        s.proc.wait()
        self.assertEqual(len(self.journals(s)), 1)

    def answer(self, s, key):
        question = s.wait_window(QUESTION)
        s.activate(question)
        s.key(key)  # Return: Yes, Escape: No
        time.sleep(0.5)

    def test_a_killed_editor_gives_the_typed_text_back(self):
        original = cp866("Hello, мир! $x$\r\n")
        with Session(self) as s:
            self.start_session(s)
            s.write_doc("a.tex", original)
            s.write_doc("a.sts", b"*\r\n0\r\n0\r\n")  # Smart Keyboard off, caret at the start
            wid = s.start()
            s.open_document(wid, "a.tex")
            self.type_and_kill(s, "abc ")
            self.assertEqual(s.doc_file("a.tex"), original)
            # A save cut short between writing and renaming leaves its temporary file beside
            # the document; the document itself is the old one.
            s.write_doc(".~a.tex.AbCdEfGh", b"abc Hel")

            wid = s.start()
            self.answer(s, "Return")
            s.wait_window(re.escape(TITLE + ": a"))
            self.assertEqual(s.doc_file("a.tex"), original)
            s.activate(wid)
            s.file_menu(wid, 3)  # Сохранить
            self.assertEqual(s.wait_doc_bytes("a.tex", b"abc " + original), b"abc " + original)
            self.assertEqual(self.journals(s), [])
            self.assertEqual(s.quit(), 0)

    def test_an_untitled_document_declined_once_then_restored(self):
        with Session(self) as s:
            self.start_session(s)
            wid = s.start()
            s.file_menu(wid, 1)  # Создать
            dialog = s.wait_window("Задай параметры создаваемого файла")
            s.activate(dialog)
            width, height = s.window_size(dialog)
            s.click(dialog, width - 57, height - 25)  # "Отменить": an empty document
            s.wait_window(re.escape(TITLE + ": (без имени)"))
            s.activate(wid)
            self.type_and_kill(s, "12345")

            # No, and No to deleting it: it is kept for the next start.
            s.start()
            self.answer(s, "Escape")
            self.answer(s, "Escape")
            self.assertEqual(s.quit(), 0)
            self.assertEqual(len(self.journals(s)), 1)

            wid = s.start()
            self.answer(s, "Return")
            s.wait_window(re.escape(TITLE + ": (без имени)"))
            s.activate(wid)
            s.file_menu(wid, 4)  # Сохранить как...
            dialog = s.wait_window("Сохранить как")
            s.activate(dialog)
            s.type(s.doc_path("draft.tex"))
            s.key("Return")
            self.assertEqual(s.wait_doc_bytes("draft.tex", b"12345\r\n"), b"12345\r\n")
            s.activate(wid)
            self.assertEqual(s.quit(), 0)
            self.assertEqual(self.journals(s), [])

    def test_no_then_delete_removes_the_journal(self):
        with Session(self) as s:
            self.start_session(s)
            s.write_doc("a.tex", b"old\r\n")
            s.write_doc("a.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start()
            s.open_document(wid, "a.tex")
            self.type_and_kill(s, "new ")
            s.start()
            self.answer(s, "Escape")
            self.answer(s, "Return")  # delete it
            self.assertEqual(self.journals(s), [])
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.doc_file("a.tex"), b"old\r\n")


if __name__ == "__main__":
    e2e_main()

"""Documents under a real X server: a CP866 file opened through the File menu and the
real file dialog, edited with real keys, saved through the menu and compared byte for
byte; then the program is started again and the recent-file item reopens it. A file
with LF line ends keeps its lines and is saved with CR LF. A file the user may not write
is refused on saving and stays as it was. A file that would lose bytes, or a FIFO, is
refused with a message and the current document stays. A save goes where the caption
says: folders that cannot be entered are refused, a folder named outside CP1251 works."""
import os
import re
import unittest

from e2e_lib import TITLE, Session, cp866, e2e_main



class Documents(unittest.TestCase):
    def test_open_type_save_and_reopen_from_the_recent_list(self):
        original = cp866("Hello, $x$\r\nПривет, мир!\r\n\\section{Введение}\r\n")
        with Session(self) as s:
            s.write_doc("e2e.tex", original)
            # Smart Keyboard off, caret at the start (in Latin text): keys type US letters.
            s.write_doc("e2e.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start()
            s.open_document(wid, "e2e.tex")
            s.screenshot("opened")
            s.type("abc ")
            s.file_menu(wid, 3)  # Сохранить
            expected = b"abc " + original
            s.wait_doc_bytes("e2e.tex", expected)
            s.screenshot("saved")
            self.assertEqual(s.doc_file("e2e.tex"), expected)
            self.assertEqual(s.doc_file("e2e.sts"), b"*\r\n0\r\n4\r\n")
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.app_file("filelist.ini"),
                             s.doc_path("e2e.tex").encode() + b"\r\n" + b"\r\n" * 3)

            # Again: the first recent-file item (below Выход) reopens the document.
            wid = s.start()
            s.file_menu(wid, 8)  # below Выход
            s.wait_window(re.escape(TITLE + ": e2e"))
            s.activate(wid)
            s.key("End")
            s.type("!")
            s.file_menu(wid, 3)
            expected = b"abc Hello, $x$!" + original[len(b"Hello, $x$"):]
            s.wait_doc_bytes("e2e.tex", expected)
            s.screenshot("reopened-and-saved")
            self.assertEqual(s.doc_file("e2e.tex"), expected)
            self.assertEqual(s.quit(), 0)

    def test_a_file_with_lf_line_ends_keeps_its_lines(self):
        lines = ["% Комментарий", "\\section{Введение}", "", "Текст $x$."]
        with Session(self) as s:
            s.write_doc("unix.tex", cp866("\n".join(lines) + "\n"))
            s.write_doc("unix.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start()
            s.open_document(wid, "unix.tex")
            s.type("%")
            s.file_menu(wid, 3)  # Сохранить
            expected = cp866("%" + "\n".join(lines) + "\n")
            s.wait_doc_bytes("unix.tex", expected)
            s.screenshot("lf-file-saved")
            self.assertEqual(s.doc_file("unix.tex"), expected)
            self.assertEqual(s.quit(), 0)

    def test_a_read_only_file_is_refused_and_kept(self):
        original = cp866("Только для чтения\r\n")
        with Session(self, user="nobody") as s:
            s.write_doc("ro.tex", original)
            s.write_doc("ro.sts", b"*\r\n0\r\n0\r\n")
            os.chmod(s.doc_path("ro.tex"), 0o444)
            wid = s.start()
            s.open_document(wid, "ro.tex")
            s.type("abc ")
            s.file_menu(wid, 3)  # Сохранить
            # The guard's error box, captioned with the program's title alone (its text,
            # "File access denied", is in the screenshot; X does not expose it).
            box = s.wait_window("^Kolbax$")
            s.screenshot("refused")
            s.activate(box)
            s.key("Return")
            s.wait_no_window("^Kolbax$")
            self.assertEqual(s.doc_file("ro.tex"), original)
            self.assertEqual(os.stat(s.doc_path("ro.tex")).st_mode & 0o7777, 0o444)
            self.assertEqual([n for n in os.listdir(s.docs) if n.startswith(".~")], [])

    def test_files_that_would_lose_bytes_and_a_fifo_are_refused(self):
        binary = bytes(i * 7 % 256 for i in range(65536))
        with_nul = b"abc\x00def\r\n"
        with Session(self) as s:
            s.write_doc("e2e.tex", b"Hello\r\n")
            s.write_doc("e2e.sts", b"*\r\n0\r\n0\r\n")
            s.write_doc("binary.tex", binary)
            s.write_doc("nul.tex", with_nul)
            os.mkfifo(s.doc_path("pipe.tex"))
            wid = s.start()
            s.open_document(wid, "e2e.tex")
            for name in ("binary.tex", "nul.tex", "pipe.tex"):
                s.file_menu(wid, 2)  # Открыть
                dialog = s.wait_window("Открытие файла для редактирования")
                s.activate(dialog)
                s.type(s.doc_path(name))
                s.key("Return")
                box = s.wait_window("^Kolbax$")  # the error box, captioned with the program
                s.screenshot("refused-" + name)
                s.activate(box)
                s.key("Return")
                s.wait_no_window("^Kolbax$")
                self.assertEqual(s.window_title(wid), TITLE + ": e2e")
            # The window still answers and holds the document: it is edited and saved.
            s.activate(wid)
            s.type("!")
            s.file_menu(wid, 3)  # Сохранить
            self.assertEqual(s.wait_doc_bytes("e2e.tex", b"!Hello\r\n"), b"!Hello\r\n")
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.doc_file("binary.tex"), binary)
            self.assertEqual(s.doc_file("nul.tex"), with_nul)

    def test_a_save_goes_where_the_caption_says(self):
        """Documents named "thesis" in four folders: papers/ opens; gone/ (no such folder)
        and locked/ (no search permission, the program running as an ordinary user) are
        refused with a message, the papers document kept; café/ opens and saves in café/."""
        papers = cp866("\\section{Papers}\r\n")
        cafe = cp866("\\section{Cafe}\r\n")
        with Session(self, user="nobody") as s:
            for folder, text in (("papers", papers), ("café", cafe), ("locked", papers)):
                s.write_doc(folder + "/thesis.tex", text)
                s.write_doc(folder + "/thesis.sts", b"*\r\n0\r\n0\r\n")
            # Attached to a main file, so that its caption tells it from the others.
            s.write_doc("café/thesis.sts", b"main\r\n0\r\n0\r\n")
            os.chmod(s.doc_path("locked"), 0o600)
            s.bind_keysyms("eacute")
            wid = s.start()
            s.open_document(wid, "papers/thesis.tex")

            for folder in ("gone", "locked"):
                s.file_menu(wid, 2)  # Открыть
                dialog = s.wait_window("Открытие файла для редактирования")
                s.activate(dialog)
                s.type(s.doc_path(folder + "/thesis.tex"))
                s.key("Return")
                error = s.wait_window("^Kolbax$")
                s.screenshot("refused-" + folder)
                s.activate(error)
                s.key("Return")
                s.wait_no_window("^Kolbax$")
                self.assertEqual(s.window_title(wid), TITLE + ": thesis")
                s.activate(wid)
                if folder == "gone":
                    # The document kept is papers' own: the save goes there, with its text.
                    s.key("ctrl+Home")
                    s.type("x")
                    s.file_menu(wid, 3)  # Сохранить
                    papers = b"x" + papers
                    self.assertEqual(s.wait_doc_bytes("papers/thesis.tex", papers), papers)
            self.assertFalse(os.path.exists(s.doc_path("gone")))

            s.open_document(wid, "café/thesis.tex")
            s.wait_window(re.escape(TITLE + ": thesis к main"))
            s.key("ctrl+Home")
            s.type("y")
            s.file_menu(wid, 3)  # Сохранить
            s.wait_doc_bytes("café/thesis.tex", b"y" + cafe)
            self.assertEqual(s.doc_file("café/thesis.tex"), b"y" + cafe)
            self.assertEqual(s.doc_file("café/thesis.sts"), b"main\r\n0\r\n1\r\n")
            self.assertEqual(s.doc_file("papers/thesis.tex"), papers)
            os.chmod(s.doc_path("locked"), 0o700)
            self.assertEqual(s.doc_file("locked/thesis.tex"), cp866("\\section{Papers}\r\n"))
            self.assertEqual(s.quit(), 0)
            # The recent list holds the café path as marked UTF-8, the papers one as before.
            self.assertEqual(s.app_file("filelist.ini"),
                             b"\xEF\xBB\xBF" + s.doc_path("café/thesis.tex").encode() + b"\r\n" +
                             s.doc_path("papers/thesis.tex").encode() + b"\r\n\r\n\r\n")

if __name__ == "__main__":
    e2e_main()

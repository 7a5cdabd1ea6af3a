"""TeX processing under a real X server with TeX Live: a new document from the standard
template with Russian text typed into it, saved as a main file, compiled with F9 through
the shipped command lines; Alt+F9 shows its LOG with the Russian letters readable; an
attached file compiles its main file; Ctrl+F9 starts the DVI viewer, and a second Ctrl+F9
waits with a message until that viewer has been closed. A status file cannot slip an
option to latex: the target is one argument, never read as an option."""
import os
import re
import time
import unittest

from e2e_lib import LOG_WINDOW, TITLE, Session, e2e_main, wait_for

NEW_DIALOG = "Задай параметры создаваемого файла"
WAIT_MESSAGE = "Сначала надо закрыть окно просмотра файда DVI"


class Processing(unittest.TestCase):
    def test_compile_read_the_log_and_view(self):
        with Session(self) as s:
            self.assertEqual(s.app_file("commands.set"),
                             b"latex -interaction=nonstopmode\r\nxdvi\r\ndvips\r\n")
            wid = s.start(cwd=s.docs)

            # A new main file from the standard template (the dialog's defaults).
            s.file_menu(wid, 1)
            dialog = s.wait_window(NEW_DIALOG)
            s.activate(dialog)
            s.key("Return")
            s.wait_no_window(NEW_DIALOG)
            s.activate(wid)
            # Before \end{document}: an undefined command, so that the LOG quotes the line,
            # and Russian text, typed on the Russian layout after the user's own switch
            # (Ctrl+Shift alone) from the Latin of the line's start.
            s.key("ctrl+End", "Up", "Home")
            s.type("\\oops ")
            s.keys_down_up(("down", "ctrl"), ("down", "shift"), ("up", "shift"), ("up", "ctrl"))
            s.type("Ghbdtn vbh")  # "Привет мир"
            s.key("Return")
            s.screenshot("typed")
            s.save_as(wid, "thesis.tex")
            s.wait_window(re.escape(TITLE + ": thesis"))
            self.assertIn("\\oops Привет мир\r\n\\end{document}".encode("cp866"),
                          s.doc_file("thesis.tex"))

            # F9: latex leaves the DVI and LOG files beside the document.
            s.compile(wid, "thesis.log")
            self.assertTrue(os.path.exists(s.doc_path("thesis.dvi")))
            log = s.doc_file("thesis.log")
            self.assertIn("Привет мир".encode("cp866"), log)

            # Alt+F9: the LOG with its Russian letters readable.
            shown = s.log_viewer_text(wid)
            self.assertIn("Undefined control sequence", shown)
            self.assertIn("Привет мир", shown)

            # A compile closes the LOG viewer.
            s.activate(wid)
            s.key("F9")
            s.wait_no_window(LOG_WINDOW)

            # Ctrl+F9 starts xdvi on thesis.dvi; a second Ctrl+F9 waits for it.
            time.sleep(2)
            s.activate(wid)
            s.key("ctrl+F9")
            xdvi = s.wait_window("xdvi", timeout=60)
            s.screenshot("xdvi")
            s.activate(wid)
            s.key("ctrl+F9")
            message = s.wait_window("^Information$")
            s.screenshot("wait-message")
            s.activate(message)
            s.key("Return")
            # Still open: the message comes back.
            message = s.wait_window("^Information$")
            s.activate(xdvi)
            s.key("q")  # xdvi's own quit key
            s.wait_no_window("xdvi", timeout=20)
            s.activate(message)
            s.key("Return")
            # Now a new viewer starts.
            s.wait_window("xdvi", timeout=60)
            self.assertFalse(s.windows("^Information$"))
            for w in s.windows("xdvi"):
                s.activate(w)
                s.key("q")
            s.wait_no_window("xdvi", timeout=20)

            # An attached file compiles its main file.
            os.remove(s.doc_path("thesis.log"))
            os.remove(s.doc_path("thesis.dvi"))
            s.file_menu(wid, 1)
            dialog = s.wait_window(NEW_DIALOG)
            s.activate(dialog)
            s.screenshot("new-attached")
            # "Присоединяемый файл": the second item of the status group.
            s.key("Down")
            s.key("Return")
            picker = s.wait_window("Выбери главный файл")
            s.activate(picker)
            s.type(s.doc_path("thesis.tex"))
            s.key("Return")
            s.wait_no_window(NEW_DIALOG)
            s.wait_window(re.escape(TITLE + ": (без имени) к thesis"))
            s.activate(wid)
            s.type("Ukfdf")  # "Глава"
            s.save_as(wid, "chapter1.tex")
            s.wait_window(re.escape(TITLE + ": chapter1 к thesis"))
            s.activate(wid)
            s.key("F9")
            wait_for(lambda: os.path.exists(s.doc_path("thesis.dvi")), "thesis.dvi")
            self.assertFalse(os.path.exists(s.doc_path("chapter1.log")))

            s.activate(wid)
            self.assertEqual(s.quit(), 0)

    def test_the_target_reaches_latex_as_one_file_never_as_an_option(self):
        """A status file whose main-file line is "-shell-escape x", beside an x.tex whose
        \\write18 would leave a file behind: F9 with the shipped commands compiles the file
        "-shell-escape x.tex" and runs no shell command. "my thesis.tex" compiles as one
        file too."""
        body = (b"\\documentclass{article}\n\\begin{document}\n"
                b"\\immediate\\write18{touch pwned}\nx\n\\end{document}\n")
        with Session(self) as s:
            s.write_doc("x.tex", body)
            s.write_doc("-shell-escape x.tex", body)
            s.write_doc("chapter.tex", b"chapter\r\n")
            s.write_doc("chapter.sts", b"-shell-escape x\r\n0\r\n0\r\n")
            s.write_doc("my thesis.tex", body.replace(b"\\immediate\\write18{touch pwned}\n", b""))
            s.write_doc("my thesis.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start(cwd=s.docs)
            s.open_document(wid, "chapter.tex")
            s.key("F9")
            log = "-shell-escape x.log"
            wait_for(lambda: os.path.exists(s.doc_path(log))
                          and b"Output written" in s.doc_file(log), log)
            self.assertTrue(os.path.exists(s.doc_path("-shell-escape x.dvi")))
            self.assertFalse(os.path.exists(s.doc_path("x.log")))
            self.assertFalse(os.path.exists(s.doc_path("pwned")))

            s.open_document(wid, "my thesis.tex")
            s.key("F9")
            wait_for(lambda: os.path.exists(s.doc_path("my thesis.dvi")), "my thesis.dvi")
            self.assertFalse(os.path.exists(s.doc_path("pwned")))
            self.assertEqual(s.quit(), 0)

if __name__ == "__main__":
    e2e_main()

"""LOG error navigation with TeX Live's latex: a main file with an attached file whose line 7
holds an undefined command; F9, then "Следующая ошибка" (F8) opens the attached file with the
caret at the start of line 7, which the user sees by typing there and saving."""
import re
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main

MAIN = (b"\\documentclass{article}\r\n\\begin{document}\r\nThe main file.\r\n"
        b"\\input{chapter1}\r\n\\end{document}\r\n")
CHAPTER = b"".join(b"Line %d of the chapter.\r\n" % n for n in range(1, 7)) + \
    b"The \\foo command is not defined.\r\nThe last line.\r\n"


class LogNavigation(unittest.TestCase):
    def test_next_error_opens_the_attached_file_at_the_line(self):
        with Session(self, user="nobody") as s:
            s.write_doc("thesis.tex", MAIN)
            s.write_doc("thesis.sts", b"*\r\n0\r\n0\r\n")
            s.write_doc("chapter1.tex", CHAPTER)
            s.write_doc("chapter1.sts", b"thesis\r\n0\r\n0\r\n")
            wid = s.start(cwd=s.docs)
            s.open_document(wid, "thesis.tex")

            s.compile(wid, "thesis.log")
            time.sleep(1)  # the counts come when the editor has seen latex end
            s.screenshot("compiled")

            s.activate(wid)
            s.key("F8")
            s.wait_window(re.escape(TITLE + ": chapter1 к thesis"))
            s.activate(wid)
            s.type("777")
            s.file_menu(wid, 3)  # Создать, Открыть, Сохранить
            s.screenshot("at-the-error")
            lines = s.wait_doc_bytes("chapter1.tex", CHAPTER.replace(b"The \\foo", b"777The \\foo"))
            self.assertEqual(lines.split(b"\r\n")[6], b"777The \\foo command is not defined.")

            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

"""The typography checks and "Исправить раскладку" under a real X server, as a user would:
"Следующая типографская ошибка" (Ctrl+Shift+F8) steps to each mark, and the Menu key fixes
it from its menu: straight quotes, a Latin look-alike in a Russian word, a number range, a
spaced hyphen, initials without ties; one rule (the hyphen particles) is fixed everywhere
with "Исправить все". Pause retypes a word typed in the wrong layout. The saved file holds
exactly those fixes."""
import re
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main

TEXT = ("Он сказал \"привет\" cлово.\r\n"
        "Годы 1941-1945 прошли - кто то знает.\r\n"
        "Это А. С. Пушкин, из за него.\r\n"
        "Слово ghbdtn\r\n")
FIXED = ("Он сказал <<привет>> слово.\r\n"
         "Годы 1941--1945 прошли~--- кто-то знает.\r\n"
         "Это А.~С.~Пушкин, из-за него.\r\n"
         "Слово привет\r\n")


class Typography(unittest.TestCase):
    def test_marks_are_fixed_from_their_menu_and_a_word_is_retyped(self):
        with Session(self, user="nobody") as s:
            s.write_doc("essay.tex", TEXT.encode("cp866"))
            s.write_doc("essay.sts", b"*\r\n1\r\n0\r\n")
            wid = s.start(cwd=s.docs, args=["essay.tex"])
            s.wait_window(re.escape(TITLE + ": essay"))
            time.sleep(1.0)  # the text in view is checked

            def fix_next(*items):
                s.key("ctrl+shift+F8")
                time.sleep(0.3)
                s.key("Menu")
                time.sleep(0.6)
                s.key(*items)
                time.sleep(0.5)

            s.key("ctrl+Home")
            for _ in range(5):  # the quotes, "cлово", the range, the hyphen
                fix_next("Down", "Return")
            fix_next("Down", "Down", "Return")  # "кто то", and with it "из за"
            fix_next("Down", "Return")  # "А. С. "
            s.key("ctrl+End", "Left", "Pause")  # "ghbdtn"
            time.sleep(0.3)
            s.screenshot("typography")

            s.file_menu(wid, 3)  # Сохранить
            expected = FIXED.encode("cp866")
            self.assertEqual(s.wait_doc_bytes("essay.tex", expected), expected)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

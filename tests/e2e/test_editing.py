"""The Edit menu's aids under a real X server: find with the real dialog, find again,
replace all, remember the place, go to line and go back, each driven by its key; the saved
file shows that each one worked."""
import unittest

from e2e_lib import Session, cp866, e2e_main


class Editing(unittest.TestCase):
    def test_find_replace_place_mark_and_go_to_line(self):
        with Session(self) as s:
            s.write_doc("edit.tex", b"alpha beta alpha\r\ngamma alpha\r\ndelta\r\nomega\r\n")
            # Smart Keyboard off, caret at the start: the keys type what they say.
            s.write_doc("edit.sts", b"*\r\n0\r\n0\r\n")
            wid = s.start()
            s.open_document(wid, "edit.tex")

            # F7: the Find dialog; Enter finds the first "alpha", Shift+F7 the second,
            # which the typed X then replaces.
            s.key("F7")
            find = s.wait_window("^Найти$")
            s.activate(find)
            s.type("alpha")
            s.key("Return")
            s.screenshot("found")
            s.activate(wid)
            s.key("shift+F7")
            s.type("X")

            # Ctrl+F7: the Replace dialog takes the Find dialog's text; "Z" replaces all.
            s.key("ctrl+F7")
            replace = s.wait_window("^Заменить$")
            s.activate(replace)
            s.key("Tab")
            s.type("Z")
            s.key(*(["Tab"] * 5))  # whole word, match case, find next, replace, replace all
            s.key("space")
            s.screenshot("replaced")
            s.activate(replace)  # replacing gave the editor the focus
            s.key("Escape")
            s.wait_no_window("^Заменить$")

            # F4 at the start of line 3, F5 to line 4, F6 back to line 3.
            s.activate(wid)
            s.key("ctrl+Home", "Down", "Down", "F4")
            s.key("F5")
            goto = s.wait_window("^Переход$")
            s.activate(goto)
            s.type("4")
            s.key("Return")
            s.wait_no_window("^Переход$")
            s.activate(wid)
            s.type("Q")
            s.key("F6")
            s.type("W")

            # The Find dialog still covers the menu bar: close it, then save.
            s.activate(find)
            s.key("Escape")
            s.wait_no_window("^Найти$")
            s.file_menu(wid, 3)  # Сохранить
            expected = b"Z beta X\r\ngamma Z\r\nWdelta\r\nQomega\r\n"
            s.wait_doc_bytes("edit.tex", expected)
            s.screenshot("saved")
            self.assertEqual(s.doc_file("edit.tex"), expected)
            self.assertEqual(s.quit(), 0)

    def test_find_field_types_the_editors_layout_on_a_us_desktop(self):
        with Session(self) as s:
            s.write_doc("ru.tex", cp866("ой привет\r\n"))
            s.write_doc("ru.sts", b"*\r\n0\r\n0\r\n")  # Smart Keyboard off
            wid = s.start()
            s.open_document(wid, "ru.tex")  # the caret in Cyrillic text: the Russian layout
            s.key("F7")
            find = s.wait_window("^Найти$")
            s.activate(find)
            s.type("ghbdtn")  # the keys of "привет"
            s.key("Return")
            s.screenshot("found")
            s.activate(find)
            s.key("Escape")
            s.wait_no_window("^Найти$")
            s.activate(wid)
            s.type("x")  # "ч" over the found word
            s.file_menu(wid, 3)  # Сохранить
            expected = cp866("ой ч\r\n")
            self.assertEqual(s.wait_doc_bytes("ru.tex", expected), expected)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

"""Spell checking under a real X server, as an ordinary user: the unknown Russian words of a
document are underlined in red, and markup is not; "Следующая ошибка орфографии" (Ctrl+F8)
and the Menu key fix one word from its suggestions, add one to the personal dictionary
and skip one for the session (past the Cut, Copy and Paste below them), until nothing red
is left; the saved file holds the fix."""
import os
import re
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main

TEXT = ("Превет, мир! Это ошыбка.\r\n"
        "$x$ \\label{ошыбка} кукарямба % ашибка\r\n")


def red_pixels(s, wid):
    """The red pixels of the editing area: the underline's (the layout indicator below it,
    red for Cyrillic, is left out)."""
    info = dict(line.strip().split(":", 1) for line in
                s.run(["xwininfo", "-id", wid]).splitlines() if ":" in line)
    left = int(info["Absolute upper-left X"])
    top = int(info["Absolute upper-left Y"]) + s.menu_bar_height(wid) + 28
    width = int(info["Width"]) - 20
    shot = s.screenshot("underline")
    out = s.run(["convert", shot, "-crop", "%dx390+%d+%d" % (width, left, top), "-format", "%c",
                 "histogram:info:-"])
    count = 0
    for line in out.splitlines():
        match = re.match(r"\s*(\d+):\s*\(\s*(\d+),\s*(\d+),\s*(\d+)", line)
        if match:
            n, r, g, b = (int(v) for v in match.groups())
            if r > 180 and g < 100 and b < 100:
                count += n
    return count


def wait_for(condition, what, timeout=15):
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.3)


class Spelling(unittest.TestCase):
    def test_underlined_words_are_fixed_taken_and_skipped_from_their_menu(self):
        with Session(self, user="nobody") as s:
            s.write_doc("essay.tex", TEXT.encode("cp866"))
            s.write_doc("essay.sts", b"*\r\n1\r\n0\r\n")
            wid = s.start(cwd=s.docs, args=["essay.tex"])
            s.wait_window(re.escape(TITLE + ": essay"))
            wait_for(lambda: red_pixels(s, wid) > 0, "the underline")
            underlined = red_pixels(s, wid)

            def menu_key(*keys):
                s.key("Menu")
                time.sleep(0.6)
                s.key(*keys)
                time.sleep(0.4)

            s.key("ctrl+F8", "ctrl+F8")  # "Превет", then "ошыбка"
            menu_key("Down", "Return")  # its first suggestion, "ошибка"
            # "кукарямба": the label and the comment are skipped. Copied, so that the edit
            # items below the word's own, Cut, Copy and Paste, are all there to pass.
            s.key("ctrl+F8", "ctrl+c")
            menu_key("Up", "Up", "Up", "Up", "Return")  # "Добавить в словарь"
            s.key("ctrl+Home", "ctrl+F8")  # "Превет"
            menu_key("Up", "Up", "Up", "Up", "Up", "Return")  # "Пропустить все"
            wait_for(lambda: red_pixels(s, wid) == 0, "the underline to go")
            self.assertGreater(underlined, 0)

            s.file_menu(wid, 3)  # Сохранить
            expected = TEXT.replace("Это ошыбка", "Это ошибка").encode("cp866")
            self.assertEqual(s.wait_doc_bytes("essay.tex", expected), expected)
            personal = os.path.join(s.home, ".local/share/kolbax/dictionary.txt")
            with open(personal, "rb") as f:
                self.assertEqual(f.read(), "кукарямба\n".encode("utf-8"))
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

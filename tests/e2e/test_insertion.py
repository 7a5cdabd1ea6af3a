"""Insertion aids in the real program: an environment chosen with the keyboard, a symbol
clicked on its picture and a command template, in a new document that is then saved."""
import time
import unittest

from e2e_lib import Session, e2e_main

FORMULAS = b"gather\r\nEquation\r\nalign\r\n"  # shown as align, Equation, gather
COMMANDS = b"\\sqrt\r\n\\frac{}{}\r\n"         # shown as \frac{}{}, \sqrt


class Insertion(unittest.TestCase):
    def test_environment_symbol_and_template_are_saved(self):
        with Session(self) as s:
            s.write_app_file("env1.dat", FORMULAS)
            s.write_app_file("comm.dat", COMMANDS)
            s.write_app_file("default.tex", b"")
            s.start()

            # File / New, standard (here empty) template, main file, Smart Keyboard on.
            s.key("alt", "Down", "Return")
            s.wait_window("Задай параметры создаваемого файла")
            s.key("Return")
            s.wait_no_window("Задай параметры создаваемого файла")

            # Ctrl+E: the second entry, chosen with the arrow keys, accepted with Enter.
            s.key("ctrl+e")
            chooser = s.wait_window("Выбери окружение для формулы")
            s.key("Down", "Down")
            s.screenshot("formula-chooser")
            s.key("Return")
            s.wait_no_window("Выбери окружение для формулы")

            # The caret is in the label: a click on the cell of <= (first column, first
            # row of the relations) inserts \leq there.
            s.key("ctrl+y")
            picture = s.wait_window("Выбери символ операции")
            s.screenshot("symbols")
            s.click(picture, 20, 95)
            s.wait_no_window("Выбери символ операции")

            # Ctrl+D: the template \frac{}{} (first in the list), caret in its first braces.
            s.key("ctrl+d")
            s.wait_window("Выбери команду из списка")
            s.key("Down", "Return")
            s.wait_no_window("Выбери команду из списка")
            s.type("a")

            # File / Save: the save dialog takes the full name.
            target = s.doc_path("formula.tex")
            s.key("alt", "Down", "Down", "Down", "Return")
            s.wait_window("Сохранить как")
            time.sleep(0.5)
            s.type(target)
            s.key("Return")
            s.wait_file(target)
            s.screenshot("saved")
            time.sleep(0.5)
            self.assertEqual(
                s.doc_file("formula.tex"),
                b"\\begin{Equation}\\label{\\leq\\frac{a}{}}\r\n"
                b"\r\n"
                b"\\end{Equation}\r\n")
            del chooser


if __name__ == "__main__":
    e2e_main()

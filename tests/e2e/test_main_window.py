"""The main window under a real X server: it starts from a copy of the program folder,
shows its toolbar and labels, and writes filelist.ini back when it closes. Closing it again
while the exit asks to save does not end the program under the question."""
import time
import unittest

from e2e_lib import Session, e2e_main


class MainWindow(unittest.TestCase):
    def test_first_run_writes_four_empty_lines(self):
        with Session(self) as s:
            wid = s.start()
            self.assertEqual(s.window_title(wid), "KolBAX (ver.0.3beta)")
            s.screenshot("started")
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.app_file("filelist.ini"), b"\r\n" * 4)

    def test_two_line_filelist_comes_back_as_four_lines(self):
        entries = b"/home/user/texts/article.tex\r\n/home/user/b&w.tex\r\n"
        with Session(self, with_filelist=entries) as s:
            s.start()
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.app_file("filelist.ini"), entries + b"\r\n\r\n")

    def test_exit_button_of_the_toolbar_ends_the_program(self):
        listed = b"\r\n/home/user/x.tex\r\n\r\n\r\n"
        with Session(self, with_filelist=listed) as s:
            wid = s.start()
            # The fifth button of the toolbar (under the menu bar) is "Завершить работу".
            s.click(wid, 4 * 23 + 11, s.menu_bar_height(wid) + 13)
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.app_file("filelist.ini"), listed)
    def test_closes_under_the_save_question_leave_it_to_the_answer(self):
        with Session(self) as s:
            wid = s.start()
            s.file_menu(wid, 1)  # Создать
            parameters = s.wait_window("Задай параметры создаваемого файла")
            s.activate(parameters)
            s.key("Return")
            s.wait_no_window("Задай параметры создаваемого файла")
            s.activate(wid)
            s.type("abc")
            s.click(wid, 4 * 23 + 11, s.menu_bar_height(wid) + 13)  # "Завершить работу"
            question = s.wait_window("^Warning$")
            # The main window's title bar, then the question's own: the question stays.
            s.close_window(wid)
            s.close_window(question)
            time.sleep(1)
            s.screenshot("closed-under-the-question")
            self.assertIsNone(s.proc.poll(), "the program ended under the question")
            self.assertTrue(s.windows("^Warning$"))
            s.activate(question)
            s.key("Return")  # Yes
            dialog = s.wait_window("Сохранить как")
            s.close_window(wid)
            time.sleep(1)
            self.assertIsNone(s.proc.poll(), "the program ended under the save dialog")
            s.activate(dialog)
            s.type(s.doc_path("saved.tex"))
            s.key("Return")
            self.assertEqual(s.wait_exit(), 0)
            # The standard template with the typed text in front of it.
            self.assertTrue(s.doc_file("saved.tex").startswith(b"abc\\documentclass"))


if __name__ == "__main__":
    e2e_main()

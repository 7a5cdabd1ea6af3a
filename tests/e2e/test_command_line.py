"""The command line: --help and --version answer without a window, and a file named on it
is opened at start-up as the open command opens it."""
import os
import re
import subprocess
import time
import unittest

import e2e_lib
from e2e_lib import TITLE, Session, cp866, e2e_main


def run_without_display(*args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env["QT_QPA_PLATFORM"] = "xcb"  # a window would need a display: there is none
    return subprocess.run([os.path.join(e2e_lib.BUILD_DIR, "kolbax"), *args], env=env,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)


class CommandLine(unittest.TestCase):
    def test_help_and_version_answer_before_any_window(self):
        version = run_without_display("--version")
        self.assertEqual((version.returncode, version.stdout), (0, b"KolBAX 0.3beta\n"))
        for option in ("--help", "-h"):
            usage = run_without_display("doc.tex", option)
            self.assertEqual(usage.returncode, 0)
            self.assertTrue(usage.stdout.decode().startswith("Использование: kolbax [--line N] [ФАЙЛ]\n"))

    def test_unknown_option_is_refused_before_the_window(self):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        run = subprocess.run([os.path.join(e2e_lib.BUILD_DIR, "kolbax"), "--frobnicate"],
                             env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
        self.assertEqual(run.returncode, 2)
        self.assertIn("«--frobnicate»", run.stderr.decode())

    def test_first_file_named_is_opened_and_listed(self):
        with Session(self) as s:
            s.write_doc("first.tex", cp866("Текст\r\n"))
            s.write_doc("first.sts", b"*\r\n1\r\n0\r\n")
            s.write_doc("second.tex", b"x\r\n")
            s.start(cwd=s.docs, args=["first.tex", "second.tex"])
            wid = s.wait_window(re.escape(TITLE + ": first"))
            s.screenshot("opened")
            time.sleep(0.5)
            s.activate(wid)
            self.assertEqual(s.quit(), 0)
            self.assertEqual(s.app_file("filelist.ini"),
                             s.doc_path("first.tex").encode() + b"\r\n" + b"\r\n" * 3)

    def test_missing_file_folder_or_fifo_gives_a_message_and_the_usual_empty_start(self):
        with Session(self) as s:
            os.mkfifo(s.doc_path("fifo.tex"))
            for name in ("missing.tex", "", "fifo.tex"):  # "" names the folder itself
                s.start(args=[s.doc_path(name)])
                box = s.wait_window("^Kolbax$")  # the error box, captioned with the program
                s.screenshot("message")
                s.activate(box)
                s.key("Return")
                s.wait_no_window("^Kolbax$")
                # The usual empty start: no document named in the caption.
                wid = s.wait_window("^" + re.escape(TITLE) + "$")
                s.activate(wid)
                self.assertEqual(s.quit(), 0)
                self.assertEqual(s.app_file("filelist.ini"), b"\r\n" * 4)

if __name__ == "__main__":
    e2e_main()

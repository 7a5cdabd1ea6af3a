"""Several documents at once on a real project: the UTF-8 examples of the gost bibliography
styles (their .tex and .bib files) beside a small CP866 thesis whose main file inputs two
chapters, forty files in all. Ten documents are opened (each in a tab of its own), three are
edited and left unsaved; Ctrl+click in the PDF opens the second chapter in a new tab; after a
compile that fails in the first chapter, F8 switches back to that chapter's tab at its line;
two tabs are closed with Ctrl+W (a modified one answered No); then the editor is killed. The
next start offers the two unsaved texts back from their journals, the rest of the session
returns, and every file on disk is byte for byte what the user saved."""
import glob
import os
import re
import subprocess
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main, wait_for
from test_pdf_pane import PDF_SET, PREAMBLE, ctrl_click_page_two

GOST = "/usr/share/doc/texlive-doc/bibtex/gost/examples/utf8"
MAIN = "\r\n".join(PREAMBLE + [
    r"\input{chapter1}",
    r"\newpage",
    r"\input{chapter2}",
    r"\end{document}",
    ""]).encode("cp866")
CHAPTER1 = "\r\n".join([r"Chapter one: " + "первая глава.", r"Ещё строка.", ""]).encode("cp866")
CHAPTER2 = "\r\n".join([r"\noindent\rule{5cm}{5mm} Вторая глава.", r"Ещё строка.",
                        ""]).encode("cp866")
QUESTION = "^Warning$"
RESTORE = "^Восстановление$"


def project(s):
    """The gost examples' .tex files and enough of their .bib files for forty files with the
    thesis; returns the names below the documents folder."""
    names = ["gost/" + os.path.basename(p) for p in sorted(glob.glob(GOST + "/*.tex"))]
    bibs = sorted(glob.glob(GOST + "/bib/*.bib"))
    names += ["gost/bib/" + os.path.basename(p) for p in bibs[:37 - len(names)]]
    for name in names:
        with open(os.path.join(GOST, name[len("gost/"):]), "rb") as f:
            s.write_doc(name, f.read())
        root, extension = os.path.splitext(name)
        s.write_doc(root + ".sts" if extension == ".tex" else name + ".sts", b"*\r\n0\r\n0\r\n")
    s.write_doc("thesis.tex", MAIN)
    s.write_doc("thesis.sts", b"*\r\n0\r\n0\r\n")
    for name, text in (("chapter1", CHAPTER1), ("chapter2", CHAPTER2)):
        s.write_doc(name + ".tex", text)
        s.write_doc(name + ".sts", b"thesis\r\n0\r\n0\r\n")
    assert len(names) + 3 == 40
    return names


def caption(name):
    root, extension = os.path.splitext(os.path.basename(name))
    return root if extension == ".tex" else root + extension


class Tabs(unittest.TestCase):
    def show(self, s, wid, name, line=1):
        """Hands a file and a line to the running window (kolbax --line) and waits until its
        document is the one shown."""
        hand = subprocess.run([os.path.join(s.app_dir, "kolbax"), "--line", str(line),
                               s.doc_path(name)], env=s.env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=30)
        self.assertEqual(hand.returncode, 0, hand.stdout)
        pattern = re.compile(re.escape(TITLE + ": " + caption(name)) + "( |$)")
        wait_for(lambda: pattern.match(s.window_title(wid)), name + " shown", timeout=20)
        s.activate(wid)

    def test_ten_chapters_edited_closed_killed_and_back(self):
        with Session(self) as s:
            s.env["XDG_STATE_HOME"] = os.path.join(s.root, "state")
            s.write_app_file("pdf.set", PDF_SET)
            gost = project(s)
            originals = {name: s.doc_file(name)
                         for name in gost + ["thesis.tex", "chapter1.tex", "chapter2.tex"]}
            opened = ["thesis.tex", "chapter1.tex"] + gost[:8]
            edited = [gost[0], gost[3], gost[7]]  # two .tex files and a .bib file
            wid = s.start(cwd=s.docs)
            for name in opened:
                self.show(s, wid, name)
            for name in edited:
                self.show(s, wid, name)
                s.type("abc ")

            # The thesis compiled to PDF; Ctrl+click on page 2 opens chapter2 in a new tab.
            self.show(s, wid, "thesis.tex")
            s.key("F9")
            wait_for(lambda: os.path.exists(s.doc_path("thesis.synctex.gz")), "the SyncTeX file")
            wait_for(lambda: not re.search("компиляция PDF", s.window_title(wid)),
                     "the end of the compile", timeout=60)
            time.sleep(1.5)
            ctrl_click_page_two(self, s, wid)
            wait_for(lambda: s.window_title(wid).startswith(TITLE + ": chapter2 к thesis"),
                     "chapter2 from the PDF", timeout=20)

            # An error typed into chapter1 and saved; after the compile F8 from the thesis
            # switches to chapter1's tab, on the error's line.
            self.show(s, wid, "chapter1.tex")
            s.type("\\foo ")
            s.file_menu(wid, 3)  # Сохранить
            chapter1 = b"\\foo " + CHAPTER1
            s.wait_doc_bytes("chapter1.tex", chapter1)
            self.show(s, wid, "thesis.tex")
            log_before = os.stat(s.doc_path("thesis.log")).st_mtime_ns
            s.key("F9")
            wait_for(lambda: os.stat(s.doc_path("thesis.log")).st_mtime_ns != log_before,
                     "the second LOG", timeout=60)
            wait_for(lambda: not re.search("компиляция PDF", s.window_title(wid)),
                     "the end of the second compile", timeout=60)
            time.sleep(1)
            s.activate(wid)
            s.key("F8")
            wait_for(lambda: s.window_title(wid).startswith(TITLE + ": chapter1 к thesis"),
                     "chapter1 from the LOG", timeout=20)
            s.screenshot("at-the-error")

            # Two tabs closed: chapter1 (saved, no question) and the edited .bib (No).
            s.activate(wid)
            s.key("ctrl+w")
            self.show(s, wid, edited[2])
            s.key("ctrl+w")
            question = s.wait_window(QUESTION)
            s.screenshot("close-question")
            s.activate(question)
            s.key("Tab", "Return")  # Да, Нет, Отмена: No
            s.wait_no_window(QUESTION)
            time.sleep(3)  # the journals and the session file follow within two seconds
            s.proc.kill()
            s.proc.wait()
            for name in gost + ["thesis.tex", "chapter2.tex"]:
                self.assertEqual(s.doc_file(name), originals[name], name + " was written")

            # The next start: the two unsaved texts are offered back, the session returns.
            wid = s.start(cwd=s.docs)
            for _ in range(2):  # one question after the other, under the same title
                question = s.wait_window(RESTORE)
                s.activate(question)
                s.key("Return")
                time.sleep(1.5)
            s.wait_no_window(RESTORE)
            s.activate(wid)
            s.screenshot("restored")
            for name in edited[:2]:
                self.show(s, wid, name)
                s.file_menu(wid, 3)  # Сохранить
                s.wait_doc_bytes(name, b"abc " + originals[name])
            self.assertEqual(s.quit(), 0)

            session = s.app_file("session.set").decode("utf-8").splitlines()
            kept = [name for name in opened + ["chapter2.tex"]
                    if name not in ("chapter1.tex", edited[2])]
            self.assertEqual(sorted(line.split(" ", 1)[1] for line in session[1:]),
                             sorted(s.doc_path(name) for name in kept))
            self.assertEqual(s.doc_file("chapter1.tex"), chapter1)
            for name in gost + ["thesis.tex", "chapter2.tex"]:
                expected = b"abc " + originals[name] if name in edited[:2] else originals[name]
                self.assertEqual(s.doc_file(name), expected, name)


if __name__ == "__main__":
    e2e_main()

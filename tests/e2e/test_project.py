"""The project's knowledge of itself on a real multi-file project: the English chapters of the
KOMA-Script guide as TeX Live ships them (with its .bib file), included by a small Russian
thesis whose three chapters (CP866) refer to one another, fifty-odd files in all. The
structure pane ("Структура", Ctrl+F12) lists the files in the order TeX reads them; a
Ctrl+click on a \\ref in the first chapter lands on its \\label in the second; "\\cite{"
completes a key of the guide's .bib; a misspelt \\ref is marked; a label renamed in one place
is renamed in every file, which hold exactly that change once saved."""
import glob
import os
import re
import subprocess
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main, wait_for

KOMA = "/usr/share/texlive/texmf-dist/source/latex/koma-script/doc"
# The guide's chapters in the order its body includes them.
CHAPTERS = ["preface", "introduction", "authorpart", "typearea", "scrbookreportarticle",
            "scrlttr2", "scrlayer-scrpage", "scrdate", "scrtime", "scraddr", "scrextend",
            "scrjura", "scrlogo", "expertpart", "scrbase", "scrlfile", "scrwfile", "tocbasic",
            "scrhack", "scrlayer", "scrlayer-scrpage-experts", "scrlayer-notecolumn",
            "typearea-experts", "scrbookreportarticle-experts", "scrlttr2-experts"]
LABEL = "ris:shema-eksperimentalnoj-ustanovki-i-izmeritelnogo-stenda"
RENAMED = "ris:shema-stenda"
REF_LINE = "\\ref{%s} -- схема установки." % LABEL
GLAVA1 = "\r\n".join([REF_LINE, REF_LINE, REF_LINE,
                      "\\chapter{Введение}\\label{ch:vvedenie}",
                      "Схема на рис.~\\ref{%s}, обзор в~\\cite{latex:usrguide}." % LABEL,
                      ""])
GLAVA2 = "\r\n".join(["\\chapter{Эксперимент}\\label{ch:eksperiment}",
                      "\\section{Установка}",
                      "\\begin{figure}",
                      "\\centering",
                      "\\caption{Схема установки}\\label{%s}" % LABEL,
                      "\\end{figure}",
                      ""])
GLAVA3 = "\r\n".join(["\\chapter{Заключение}",
                      "Как видно из рис.~\\ref{%s}, всё работает." % LABEL,
                      ""])
REFERENCE_ORANGE = (0xe0, 0x78, 0x00)


def thesis():
    body = ["\\documentclass[a4paper,12pt]{report}",
            "\\usepackage[cp866]{inputenc}",
            "\\usepackage[russian]{babel}",
            "\\usepackage{graphicx}",
            "\\begin{document}",
            "\\include{glava1}"]
    body += ["\\include{koma/%s-en}" % name for name in CHAPTERS[:2]]
    body += ["\\include{glava2}"]
    body += ["\\include{koma/%s-en}" % name for name in CHAPTERS[2:]]
    body += ["\\include{glava3}", "\\appendix"]
    commons = sorted(os.path.basename(p)[:-len(".tex")]
                     for p in glob.glob(KOMA + "/common-*-en.tex"))
    body += ["\\input{koma/%s}" % name for name in commons]
    body += ["\\bibliography{koma/scrguide}", "\\end{document}", ""]
    return "\r\n".join(body), commons


def orange_pixels(s, wid):
    """The pixels of the reference marks' colour in the window."""
    info = dict(line.strip().split(":", 1) for line in
                s.run(["xwininfo", "-id", wid]).splitlines() if ":" in line)
    left = int(info["Absolute upper-left X"])
    top = int(info["Absolute upper-left Y"])
    shot = s.screenshot("marks")
    out = s.run(["convert", shot, "-crop", "%sx%s+%d+%d" % (info["Width"].strip(),
                                                             info["Height"].strip(), left, top),
                 "-format", "%c", "histogram:info:-"])
    count = 0
    for line in out.splitlines():
        match = re.match(r"\s*(\d+):\s*\(\s*(\d+),\s*(\d+),\s*(\d+)", line)
        if match:
            n, r, g, b = (int(v) for v in match.groups())
            if abs(r - REFERENCE_ORANGE[0]) < 30 and abs(g - REFERENCE_ORANGE[1]) < 30 and b < 60:
                count += n
    return count


class Project(unittest.TestCase):
    def show(self, s, wid, name, line=1):
        """Hands a file and a line to the running window (kolbax --line) and waits until its
        document is the one shown."""
        hand = subprocess.run([os.path.join(s.app_dir, "kolbax"), "--line", str(line),
                               s.doc_path(name)], env=s.env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=30)
        self.assertEqual(hand.returncode, 0, hand.stdout)
        self.wait_shown(s, wid, name)
        s.activate(wid)

    def wait_shown(self, s, wid, name):
        caption = os.path.splitext(os.path.basename(name))[0]
        pattern = re.compile(re.escape(TITLE + ": " + caption) + "( |$)")
        wait_for(lambda: pattern.match(s.window_title(wid)), name + " shown", timeout=10)

    def test_structure_jumps_completion_marks_and_rename(self):
        with Session(self) as s:
            main, commons = thesis()
            s.write_doc("thesis/thesis.tex", main.encode("cp866"))
            s.write_doc("thesis/thesis.sts", b"*\r\n1\r\n0\r\n")
            for name, text in (("glava1", GLAVA1), ("glava2", GLAVA2), ("glava3", GLAVA3)):
                s.write_doc("thesis/%s.tex" % name, text.encode("cp866"))
                s.write_doc("thesis/%s.sts" % name, b"thesis\r\n1\r\n0\r\n")
            for path in glob.glob(KOMA + "/*-en.tex") + [KOMA + "/scrguide.bib"]:
                name = "thesis/koma/" + os.path.basename(path)
                with open(path, "rb") as f:
                    s.write_doc(name, f.read())
                if name.endswith(".tex"):  # attached to the thesis, as its chapters are
                    s.write_doc(name[:-len(".tex")] + ".sts", b"../thesis\r\n1\r\n0\r\n")
            files = [p for p in glob.glob(s.doc_path("thesis") + "/**", recursive=True)
                     if os.path.isfile(p) and not p.endswith(".sts")]
            self.assertGreaterEqual(len(files), 40)
            originals = {}
            for path in files:
                with open(path, "rb") as f:
                    originals[path] = f.read()

            wid = s.start(cwd=s.doc_path("thesis"), args=["thesis.tex"])
            self.wait_shown(s, wid, "thesis.tex")
            time.sleep(1.0)  # the index reads the project in the background

            # The structure pane: its top-level rows are the files in the order TeX reads
            # them. Each round clicks the first row twice (the second click leaves the keys
            # with the tree), walks down to the n-th file, closing each file on the way,
            # and opens it with Enter.
            s.key("ctrl+F12")
            time.sleep(0.5)
            first_row = (60, s.menu_bar_height(wid) + 26 + 10)
            order = ["thesis", "glava1", "preface-en",
                     "introduction-en", "glava2", "authorpart-en"]
            for n, caption in enumerate(order):
                s.click(wid, *first_row)
                time.sleep(0.6)
                s.click(wid, *first_row)
                for _ in range(n):
                    s.key("Down", "Left")
                s.key("Return")
                self.wait_shown(s, wid, caption)
            s.screenshot("structure")
            s.key("ctrl+F12")  # the pane goes; the text takes its place

            # Ctrl+click on the \ref of the first chapter's first lines: the second chapter,
            # its label selected.
            self.show(s, wid, "thesis/glava1.tex")
            time.sleep(0.3)
            s.run(["xdotool", "mousemove", "--window", wid, "200",
                   str(s.menu_bar_height(wid) + 26 + 40)])
            s.keys_down_up(("down", "ctrl"))
            s.run(["xdotool", "click", "1"])
            s.keys_down_up(("up", "ctrl"))
            self.wait_shown(s, wid, "glava2")
            s.key("ctrl+c")
            wait_for(lambda: s.clipboard() == LABEL, "the label selected", timeout=5)
            s.key("alt+Left")  # back where the jump started
            self.wait_shown(s, wid, "glava1")

            # Completion of a key of the guide's .bib, and a misspelt \ref marked.
            self.show(s, wid, "thesis/glava3.tex", line=3)
            before = orange_pixels(s, wid)
            s.type("\\cite{lshor")
            time.sleep(0.4)
            s.key("Return")
            s.type("} \\ref{nowhere}")
            wait_for(lambda: orange_pixels(s, wid) > before, "the misspelt \\ref marked",
                     timeout=10)
            s.file_menu(wid, 3)  # Сохранить
            glava3 = s.doc_path("thesis/glava3.tex")
            expected = (GLAVA3 + "\\cite{lshort} \\ref{nowhere}\r\n").encode("cp866")
            self.assertEqual(s.wait_doc_bytes("thesis/glava3.tex", expected), expected)
            originals[glava3] = expected

            # The figure's label renamed from the caret on it (F2): each chapter that names
            # it changes in its tab, and once each is saved the files hold that change alone.
            self.show(s, wid, "thesis/glava2.tex", line=5)
            s.key("End", "Left", "F2")
            dialog = s.wait_window("^Переименовать метку$")
            s.activate(dialog)
            s.key("ctrl+a")
            s.type(RENAMED)
            s.key("Return")
            s.wait_no_window("^Переименовать метку$")
            for name in ("glava1", "glava2", "glava3"):
                self.show(s, wid, "thesis/%s.tex" % name)
                s.file_menu(wid, 3)  # Сохранить
                path = s.doc_path("thesis/%s.tex" % name)
                originals[path] = originals[path].replace(LABEL.encode(), RENAMED.encode())
                self.assertEqual(s.wait_doc_bytes("thesis/%s.tex" % name, originals[path]),
                                 originals[path])
            for path, data in originals.items():
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), data, path)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

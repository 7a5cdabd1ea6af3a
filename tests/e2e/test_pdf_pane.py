"""The PDF workflow under a real X server with TeX Live's pdflatex, as an ordinary user: a
Russian document (T2A, babel) whose main file is CP866 and whose attached file is UTF-8,
each page marked by a black rule of its own width (1, 5 and 10 cm). F9 in PDF mode shows
page 1 in the pane; Ctrl+click on the rule of page 2 puts the caret on its line of the
attached file; "Найти в PDF" (F11) from the main file's last lines shows page 3; and
"kolbax --line" hands a file and a line to the running window."""
import os
import re
import subprocess
import time
import unittest

from e2e_lib import TITLE, Session, e2e_main, wait_for

# A Russian CP866 document's preamble, up to \begin{document}.
PREAMBLE = [
    r"\documentclass{article}",
    r"\usepackage[T2A]{fontenc}",
    r"\usepackage[cp866]{inputenc}",
    r"\usepackage[russian]{babel}",
    r"\begin{document}",
]
MAIN = "\r\n".join(PREAMBLE + [
    r"\noindent\rule{1cm}{5mm} Первая страница, главный файл.",
    r"\newpage",
    r"\input{chapter}",
    r"\inputencoding{cp866}",
    r"\newpage",
    r"\noindent\rule{10cm}{5mm} Третья страница, снова главный файл.",
    r"\end{document}",
    ""]).encode("cp866")
CHAPTER = "\r\n".join([
    r"\inputencoding{utf8}",
    r"\noindent\rule{5cm}{5mm} Вторая страница: присоединённый файл.",
    r"Ещё строка.",
    ""]).encode("utf-8")
PDF_SET = b"output=pdf\r\nengine=pdflatex\r\nlatexmk=no\r\n"
A4_CM = 21.0


def gray_rows(s, path, box):
    """The rows of a screenshot's box (x, y, width, height) as gray bytes."""
    x, y, w, h = box
    data = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                           "-colorspace", "Gray", "-depth", "8", "gray:-"],
                          stdout=subprocess.PIPE, check=True).stdout
    return [data[r * w:(r + 1) * w] for r in range(h)]


def longest_run(row, test):
    best = run = 0
    for value in row:
        run = run + 1 if test(value) else 0
        best = max(best, run)
    return best


def rule_share(s, wid, label):
    """The widest black rule in the pane's part of the window, as a share of the page's
    width (the widest white stretch)."""
    path = s.screenshot(label)
    geometry = s.run(["xdotool", "getwindowgeometry", "--shell", wid])
    values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
    x, y = int(values["X"]), int(values["Y"])
    w, h = int(values["WIDTH"]), int(values["HEIGHT"])
    rows = gray_rows(s, path, (x + w * 11 // 20, y + 60, w * 9 // 20 - 20, h - 120))
    page = max(longest_run(row, lambda v: v > 245) for row in rows)
    rule = max(longest_run(row, lambda v: v < 40) for row in rows)
    return page, rule / page if page else 0.0


def ctrl_click_page_two(test, s, wid):
    """Brings the PDF's second page into view and Ctrl+clicks the first word after its
    5 cm rule."""
    pane_x = s.window_size(wid)[0] * 3 // 4
    s.click(wid, pane_x, 300)
    s.key("Next", "Next")
    time.sleep(1)
    path = s.screenshot("page-2")
    geometry = s.run(["xdotool", "getwindowgeometry", "--shell", wid])
    values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
    wx, wy = int(values["X"]), int(values["Y"])
    ww, wh = int(values["WIDTH"]), int(values["HEIGHT"])
    left = wx + ww * 11 // 20
    target = None
    for r, row in enumerate(gray_rows(s, path, (left, wy + 60, ww * 9 // 20 - 20, wh - 120))):
        page_width = longest_run(row, lambda v: v > 245)
        run = longest_run(row, lambda v: v < 40)
        if page_width and 3.5 / A4_CM * 400 < run:
            dark = [i for i, v in enumerate(row) if v < 40]
            word = dark[0] + run + page_width // 20  # the first word past the rule
            target = (left + word - wx, 60 + r + 8)
            break
    test.assertIsNotNone(target, "no rule of page 2 in view")
    s.run(["xdotool", "mousemove", "--window", wid, str(target[0]), str(target[1])])
    s.keys_down_up(("down", "ctrl"))
    s.run(["xdotool", "click", "1"])
    s.keys_down_up(("up", "ctrl"))


class PdfPane(unittest.TestCase):
    def test_compile_show_and_jump_both_ways(self):
        with Session(self, user="nobody") as s:
            s.write_app_file("pdf.set", PDF_SET)
            s.give(os.path.join(s.app_dir, "pdf.set"))
            s.write_doc("thesis.tex", MAIN)
            s.write_doc("thesis.sts", b"*\r\n0\r\n0\r\n")
            s.write_doc("chapter.tex", CHAPTER)
            s.write_doc("chapter.sts", b"thesis\r\n0\r\n0\r\n")
            wid = s.start(cwd=s.docs)
            s.open_document(wid, "thesis.tex")

            # F9: pdflatex runs beside the window; the pane comes up on page 1.
            s.activate(wid)
            s.key("F9")
            wait_for(lambda: os.path.exists(s.doc_path("thesis.synctex.gz")), "thesis.synctex.gz")
            wait_for(lambda: not re.search("компиляция PDF", s.window_title(wid)),
                     "the end of the compile", timeout=60)
            time.sleep(1.5)
            page, share = rule_share(s, wid, "page-1")
            self.assertGreater(page, 300)
            self.assertLess(share, 1.5 / A4_CM)

            # Page 2 in view, then Ctrl+click on the first word after its rule: chapter.tex
            # line 2.
            ctrl_click_page_two(self, s, wid)
            s.wait_window(re.escape(TITLE + ": chapter к thesis"))
            s.activate(wid)
            s.type("777")
            s.file_menu(wid, 3)  # Сохранить
            saved = s.wait_doc_bytes("chapter.tex", CHAPTER.replace(b"\\noindent\\rule{5cm}",
                                                                    b"777\\noindent\\rule{5cm}"))
            self.assertTrue(saved.split(b"\r\n")[1].startswith(b"777"))

            # "Найти в PDF" from the main file's last lines: page 3 with its 10 cm rule.
            s.open_document(wid, "thesis.tex")
            s.key("ctrl+End")
            s.key("F11")
            time.sleep(2)  # the mark fades
            page, share = rule_share(s, wid, "page-3")
            self.assertGreater(share, 8.0 / A4_CM)

            # kolbax --line hands chapter.tex line 3 to this window.
            hand = subprocess.run(
                ["setpriv", "--reuid=%d" % s.user.pw_uid, "--regid=%d" % s.user.pw_gid,
                 "--clear-groups", os.path.join(s.app_dir, "kolbax"), "--line", "3",
                 s.doc_path("chapter.tex")],
                env=s.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=30)
            self.assertEqual(hand.returncode, 0, hand.stdout)
            s.wait_window(re.escape(TITLE + ": chapter к thesis"))
            s.activate(wid)
            s.type("888")
            s.file_menu(wid, 3)
            saved = s.wait_doc_bytes("chapter.tex", saved.replace("Ещё".encode(), "888Ещё".encode()))
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

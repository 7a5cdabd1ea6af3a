"""A real Russian project, every file byte for byte: the UTF-8 examples of the gost
bibliography styles (their .tex files and the first of their .bib files, LF line ends) with
real TeX Live files that hold letters CP1251 lacks (German, Church Slavonic, Mongolian):
forty files; the same examples as their authors converted them to CP1251; and a KOI8-R
conversion of them. Each file is handed to the running window with "kolbax --line", a key
is typed and taken back, and "Сохранить" (the toolbar's third button) must write exactly
the bytes that were read, under the file's own name."""

import glob
import os
import re
import subprocess
import time
import unittest

from e2e_lib import Session, TITLE, e2e_main

GOST = "/usr/share/doc/texlive-doc/bibtex/gost/examples"
TEXMF = "/usr/share/texlive/texmf-dist"
# Real files with characters CP1251 lacks.
BEYOND_CP1251 = [
    "/usr/share/doc/texlive-doc/generic/t2/etc/utf-8/test-utf8.tex",
    TEXMF + "/tex/latex/polyglossia/xpg-cyrillicnumbers.sty",
    TEXMF + "/tex/latex/churchslavonic/cu-num.sty",
    TEXMF + "/tex/latex/xecyrmongolian/xecyrmongolian.sty",
    TEXMF + "/source/latex/koma-script/doc/scrjura-de.tex",
]


# The files of the project besides those with letters CP1251 lacks.
PROJECT_SIZE = 40 - len(BEYOND_CP1251)


def project_files(folder):
    """The .tex files of a gost examples folder and its first .bib files, as names below
    it: PROJECT_SIZE in all."""
    names = sorted(os.path.basename(p) for p in glob.glob(os.path.join(folder, "*.tex")))
    bibs = sorted(glob.glob(os.path.join(folder, "bib", "*.bib")))
    names += ["bib/" + os.path.basename(p) for p in bibs[:PROJECT_SIZE - len(names)]]
    return names


def status_name(name):
    """The status file the editor keeps for a document."""
    root, extension = os.path.splitext(name)
    return root + ".sts" if extension == ".tex" else name + ".sts"


def caption_of(name):
    root, extension = os.path.splitext(os.path.basename(name))
    return root if extension == ".tex" else root + extension


class RealProject(unittest.TestCase):
    def edit_and_save_each(self, s, wid, files, tail):
        """Hands each file to the window, types a key and takes it back, saves, and checks
        the bytes; tail is the caption's encoding tail expected for the .tex files."""
        save = (2 * 23 + 11, s.menu_bar_height(wid) + 13)  # the toolbar's "Сохранить файл"
        for name in files:
            path = s.doc_path(name)
            original = s.doc_file(name)
            before = os.stat(path).st_mtime_ns
            hand = subprocess.run([os.path.join(s.app_dir, "kolbax"), "--line", "1", path],
                                  env=s.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                  timeout=30)
            self.assertEqual(hand.returncode, 0, hand.stdout)
            caption = re.compile(re.escape(TITLE + ": " + caption_of(name)) + "( |$)")
            deadline = time.time() + 20
            while not caption.match(s.window_title(wid)) and time.time() < deadline:
                time.sleep(0.05)
            title = s.window_title(wid)
            self.assertRegex(title, caption)
            if name.endswith(".tex") and tail is not None:
                self.assertTrue(title.endswith(tail), (name, title))
            s.run(["xdotool", "key", "--delay", "20", "x", "BackSpace", "mousemove",
                   "--window", wid, str(save[0]), str(save[1]), "click", "1"])
            deadline = time.time() + 10
            while os.stat(path).st_mtime_ns == before and time.time() < deadline:
                time.sleep(0.05)
            self.assertNotEqual(os.stat(path).st_mtime_ns, before, name + " was not saved")
            self.assertEqual(s.doc_file(name), original, name)

    def test_every_file_comes_back_byte_for_byte_in_each_encoding(self):
        utf8 = project_files(os.path.join(GOST, "utf8"))
        cp1251 = project_files(os.path.join(GOST, "cp1251"))
        self.assertEqual(len(utf8) + len(BEYOND_CP1251), 40)
        with Session(self) as s:
            for name in utf8:
                with open(os.path.join(GOST, "utf8", name), "rb") as f:
                    data = f.read()
                s.write_doc("utf8/" + name, data)
                # The same text in KOI8-R, its declaration changed to match; what KOI8-R
                # lacks (« », №) becomes "?" as a converter would leave it.
                text = data.decode("utf-8").replace("[utf8]{inputenc}", "[koi8-r]{inputenc}")
                s.write_doc("koi8/" + name, text.encode("koi8_r", errors="replace"))
            for name in cp1251:
                with open(os.path.join(GOST, "cp1251", name), "rb") as f:
                    s.write_doc("cp1251/" + name, f.read())
            for path in BEYOND_CP1251:
                with open(path, "rb") as f:
                    s.write_doc("utf8/" + os.path.basename(path), f.read())
            every = (["utf8/" + n for n in utf8] +
                     ["utf8/" + os.path.basename(p) for p in BEYOND_CP1251] +
                     ["cp1251/" + n for n in cp1251] + ["koi8/" + n for n in utf8])
            for name in every:
                s.write_doc(status_name(name), b"*\r\n0\r\n0\r\n")
            wid = s.start()
            self.edit_and_save_each(s, wid, ["utf8/" + n for n in utf8], " [UTF-8]")
            self.edit_and_save_each(s, wid, ["utf8/" + os.path.basename(p) for p in BEYOND_CP1251],
                                    None)
            s.screenshot("beyond-cp1251")
            self.edit_and_save_each(s, wid, ["cp1251/" + n for n in cp1251], " [CP1251]")
            self.edit_and_save_each(s, wid, ["koi8/" + n for n in utf8], " [KOI8-R]")
            # Nothing was written under another name.
            for folder in ("utf8", "cp1251", "koi8"):
                for written in glob.glob(os.path.join(s.docs, folder, "**", "*"), recursive=True):
                    base = os.path.relpath(written, s.docs)
                    self.assertTrue(base in every or base.endswith(".sts") or
                                    os.path.isdir(written), base)
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

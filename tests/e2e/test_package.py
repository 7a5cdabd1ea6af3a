"""The Debian package: cpack makes it from the build folder with the right name, version and
dependencies, it unpacks to the installed tree, and the unpacked program works from there
with its settings in the user's config folder."""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import e2e_lib
from e2e_lib import TITLE, Session, e2e_main

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "packaging"))
import installed_tree  # noqa: E402


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", deb, name], check=True, stdout=subprocess.PIPE,
                          text=True).stdout.strip()


def package_names(relations):
    return {alternative.split()[0] for relation in relations.split(",")
            for alternative in relation.split("|") if alternative.strip()}


def snapshot(folder):
    """Every file and folder below a folder, with what a write would change."""
    found = {}
    for top, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(top, name)
            status = os.lstat(path)
            found[os.path.relpath(path, folder)] = (status.st_mode, status.st_size,
                                                    status.st_mtime_ns)
    return found


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="kolbax-deb-")
        os.chmod(cls.root, 0o755)  # the unpacked program runs as an ordinary user too
        subprocess.run(["cpack", "-G", "DEB", "-B", cls.root, "--config",
                        os.path.join(e2e_lib.BUILD_DIR, "CPackConfig.cmake")],
                       cwd=e2e_lib.BUILD_DIR, check=True, stdout=subprocess.DEVNULL)
        cls.debs = glob.glob(os.path.join(cls.root, "*.deb"))
        cls.tree = os.path.join(cls.root, "tree")
        if cls.debs:
            subprocess.run(["dpkg-deb", "-x", cls.debs[0], cls.tree], check=True)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, ignore_errors=True)

    def test_package_unpacks_to_the_installed_tree_with_qt_dependencies(self):
        debs = self.debs
        self.assertEqual([os.path.basename(d) for d in debs], ["kolbax_0.3_amd64.deb"])
        deb = debs[0]
        self.assertEqual((field(deb, "Package"), field(deb, "Version")), ("kolbax", "0.3"))
        depends = package_names(field(deb, "Depends"))
        self.assertLessEqual({"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6svg6",
                              "qt6-qpa-plugins", "libc6", "libstdc++6"}, depends)
        self.assertFalse([name for name in depends if name.startswith("texlive")])
        self.assertIn("libnuspell5", depends)
        self.assertLessEqual({"texlive-latex-base", "texlive-lang-cyrillic", "texlive-latex-extra",
                              "texlive-pictures", "texlive-science", "hunspell-ru"},
                             package_names(field(deb, "Recommends")))

        tree = self.tree
        self.assertEqual(os.listdir(tree), ["usr"])
        app_id = os.listdir(os.path.join(tree, "usr/share/metainfo"))[0][:-len(".metainfo.xml")]
        self.assertEqual(installed_tree.problems(os.path.join(tree, "usr"), SOURCE_DIR, app_id),
                         [])

    def test_unpacked_program_edits_a_document_and_keeps_its_settings_in_the_config_folder(self):
        installed = snapshot(self.tree)
        with Session(self, user="nobody") as s:
            s.app_dir = os.path.join(self.tree, "usr", "bin")
            s.env["XDG_CONFIG_HOME"] = os.path.join(s.home, ".config")
            s.write_doc("paper.tex", b"Text\r\n")
            s.write_doc("paper.sts", b"*\r\n0\r\n0\r\n")  # Smart Keyboard off
            s.start(args=[s.doc_path("paper.tex")])
            wid = s.wait_window(re.escape(TITLE + ": paper"))
            s.activate(wid)
            s.type("abc ")
            s.file_menu(wid, 3)  # Сохранить
            expected = b"abc Text\r\n"
            self.assertEqual(s.wait_doc_bytes("paper.tex", expected), expected)
            self.assertEqual(s.quit(), 0)
            config = os.path.join(s.home, ".config", "kolbax")
            with open(os.path.join(config, "filelist.ini"), "rb") as f:
                self.assertEqual(f.read(), s.doc_path("paper.tex").encode() + b"\r\n" * 4)
            with open(os.path.join(config, "commands.set"), "rb") as f:
                with open(os.path.join(SOURCE_DIR, "data", "commands.set"), "rb") as shipped:
                    self.assertEqual(f.read(), shipped.read())
        self.assertEqual(snapshot(self.tree), installed)

    def test_unwritable_config_folder_is_reported_at_exit_and_nothing_else_is_lost(self):
        with Session(self, user="nobody") as s:
            s.app_dir = os.path.join(self.tree, "usr", "bin")
            config = os.path.join(s.home, "config")
            os.mkdir(config, 0o555)  # nobody may create kolbax/ in it
            s.env["XDG_CONFIG_HOME"] = config
            s.write_doc("paper.tex", b"x\r\n")
            s.write_doc("paper.sts", b"*\r\n0\r\n0\r\n")
            s.start(args=[s.doc_path("paper.tex")])
            wid = s.wait_window(re.escape(TITLE + ": paper"))
            s.activate(wid)
            s.type("y")
            s.key("alt+F4")
            # The guard's box ("File access denied", in the screenshot), then the save
            # question, which still saves the document.
            box = s.wait_window("^Kolbax$")
            s.screenshot("access-denied")
            s.activate(box)
            s.key("Return")
            question = s.wait_window("^Warning$")
            s.activate(question)
            s.key("Return")  # Yes
            self.assertEqual(s.wait_exit(), 0)
            self.assertEqual(s.doc_file("paper.tex"), b"yx\r\n")
            self.assertEqual(os.listdir(config), [])


if __name__ == "__main__":
    e2e_main()

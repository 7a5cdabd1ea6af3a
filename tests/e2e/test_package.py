"""The Debian package: cpack makes it from the build folder with the right name, version and
dependencies, and it unpacks to the installed tree."""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import e2e_lib
from e2e_lib import e2e_main

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tests", "packaging"))
import installed_tree  # noqa: E402


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", deb, name], check=True, stdout=subprocess.PIPE,
                          text=True).stdout.strip()


def package_names(relations):
    return {alternative.split()[0] for relation in relations.split(",")
            for alternative in relation.split("|") if alternative.strip()}


class DebianPackage(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="kolbax-deb-")
        self.addCleanup(shutil.rmtree, self.root, ignore_errors=True)

    def test_package_unpacks_to_the_installed_tree_with_qt_dependencies(self):
        subprocess.run(["cpack", "-G", "DEB", "-B", self.root, "--config",
                        os.path.join(e2e_lib.BUILD_DIR, "CPackConfig.cmake")],
                       cwd=e2e_lib.BUILD_DIR, check=True, stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(self.root, "*.deb"))
        self.assertEqual([os.path.basename(d) for d in debs], ["kolbax_0.3_amd64.deb"])
        deb = debs[0]
        self.assertEqual((field(deb, "Package"), field(deb, "Version")), ("kolbax", "0.3"))
        depends = package_names(field(deb, "Depends"))
        self.assertLessEqual({"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6svg6",
                              "qt6-qpa-plugins", "libc6", "libstdc++6"}, depends)
        self.assertFalse([name for name in depends if name.startswith("texlive")])
        self.assertLessEqual({"texlive-latex-base", "texlive-lang-cyrillic"},
                             package_names(field(deb, "Recommends")))

        tree = os.path.join(self.root, "tree")
        subprocess.run(["dpkg-deb", "-x", deb, tree], check=True)
        self.assertEqual(os.listdir(tree), ["usr"])
        app_id = os.listdir(os.path.join(tree, "usr/share/metainfo"))[0][:-len(".metainfo.xml")]
        self.assertEqual(installed_tree.problems(os.path.join(tree, "usr"), SOURCE_DIR, app_id),
                         [])


if __name__ == "__main__":
    e2e_main()

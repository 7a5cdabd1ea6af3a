"""The installed tree of the editor: what `cmake --install` and the Debian package put under
the prefix, checked file by file.

As a program it installs a build folder into a fresh DESTDIR and checks the tree there:
    installed_tree.py --build BUILD --source SOURCE --destdir DIR --app-id ID
"""

import argparse
import os
import shutil
import subprocess
import sys

VERSION_LINE = b"KolBAX 0.3beta\n"


def expected_files(source, app_id):
    """The files below the prefix, relative to it."""
    data = sorted(os.listdir(os.path.join(source, "data")))
    return sorted(["bin/kolbax",
                   "share/applications/%s.desktop" % app_id,
                   "share/icons/hicolor/scalable/apps/kolbax.svg",
                   "share/metainfo/%s.metainfo.xml" % app_id]
                  + ["share/kolbax/" + name for name in data])


def problems(prefix, source, app_id):
    """What is wrong with the tree below prefix (an empty list when nothing is)."""
    found = []
    for folder, _, files in os.walk(prefix):
        found += [os.path.relpath(os.path.join(folder, f), prefix) for f in files]
    wrong = []
    expected = expected_files(source, app_id)
    if sorted(found) != expected:
        wrong.append("files: missing %s, unexpected %s" % (
            sorted(set(expected) - set(found)), sorted(set(found) - set(expected))))
    for name in os.listdir(os.path.join(source, "data")):
        installed = os.path.join(prefix, "share/kolbax", name)
        if os.path.exists(installed) and not _same_bytes(installed,
                                                          os.path.join(source, "data", name)):
            wrong.append("share/kolbax/%s differs from the shipped file" % name)
    binary = os.path.join(prefix, "bin/kolbax")
    if os.path.exists(binary):
        # Runs from the installed tree without a display: the version is answered before
        # any window is made.
        env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        run = subprocess.run([binary, "--version"], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=env, timeout=30)
        if run.returncode != 0 or run.stdout != VERSION_LINE:
            wrong.append("bin/kolbax --version gave %d, %r, %r"
                         % (run.returncode, run.stdout, run.stderr))
    return wrong


def _same_bytes(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--destdir", required=True)
    parser.add_argument("--app-id", required=True)
    args = parser.parse_args()
    shutil.rmtree(args.destdir, ignore_errors=True)
    env = dict(os.environ, DESTDIR=args.destdir)
    subprocess.run(["cmake", "--install", args.build, "--prefix", "/usr"], env=env, check=True,
                   stdout=subprocess.DEVNULL)
    wrong = problems(os.path.join(args.destdir, "usr"), args.source, args.app_id)
    for line in wrong:
        print("installed tree: " + line)
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())

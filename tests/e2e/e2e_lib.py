"""Harness for the end-to-end tests: the real program under Xvfb, driven with xdotool.

Each test gets a Session: a private X display with a small window manager, a temporary
copy of the program folder (the program and its data files), a temporary home and a
documents folder. The test types and clicks as a user would and checks the files the
program writes, byte for byte.

    from e2e_lib import Session, e2e_main
    class MainWindow(unittest.TestCase):
        def test_exit_writes_filelist(self):
            with Session(self) as s:
                s.start()
                s.quit()
                self.assertEqual(s.app_file("filelist.ini"), b"\\r\\n" * 4)
    if __name__ == "__main__":
        e2e_main()
"""

import argparse
import ctypes
import ctypes.util
import os
import pwd
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

BUILD_DIR = os.environ.get("KOLBAX_BUILD_DIR", "")
ARTIFACTS_DIR = os.environ.get("KOLBAX_E2E_ARTIFACTS", "")
MAIN_TITLE = "KolBAX"
# The main window's caption before ": " and the document's name.
TITLE = "KolBAX (ver.0.3beta)"
# The LOG viewer's caption.
LOG_WINDOW = "Просмотр LOG-файла"

# Files of the build folder that make up the program folder.
DATA_FILES = ("letters.grd", "symbols.grd", "env1.dat", "env2.dat", "env3.dat", "comm.dat",
              "default.tex", "commands.set")


# The user id (and group id) an ordinary-user session runs the program as.


def _free_display():
    for number in range(90, 200):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                not os.path.exists("/tmp/.X%d-lock" % number):
            return number
    raise RuntimeError("no free X display number")


class _ClientMessage(ctypes.Structure):
    """Xlib's XClientMessageEvent, padded to the size of an XEvent."""
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class Session:
    """One program run (or several, one after another) on a private display."""

    def __init__(self, test, name=None, with_filelist=None, commands_set=None, user=None):
        """user: an ordinary user to run the program as (CI runs as root, which no file
        permission stops); the session's folders and the files written through it are
        then that user's."""
        self.test = test
        self.user = pwd.getpwnam(user) if user else None
        self.name = name or test.id().split(".")[-1]
        self.root = tempfile.mkdtemp(prefix="kolbax-e2e-")
        self.app_dir = os.path.join(self.root, "app")
        self.docs = os.path.join(self.root, "docs")
        self.home = os.path.join(self.root, "home")
        for d in (self.app_dir, self.docs, self.home):
            os.makedirs(d)
        shutil.copy2(os.path.join(BUILD_DIR, "kolbax"), self.app_dir)
        for f in DATA_FILES:
            src = os.path.join(BUILD_DIR, f)
            if os.path.exists(src):
                shutil.copy2(src, self.app_dir)
        if commands_set is not None:
            self.write_app_file("commands.set", commands_set)
        if with_filelist is not None:
            self.write_app_file("filelist.ini", with_filelist)
        if self.user:
            os.chmod(self.root, 0o755)
            for top, dirs, files in os.walk(self.root):
                for name in dirs + files:
                    self.give(os.path.join(top, name))
        self.xvfb = None
        self.wm = None
        self.proc = None
        self.display = None
        self.shots = 0

    # ----- lifetime -----
    def __enter__(self):
        number = _free_display()
        self.display = ":%d" % number
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + 15
        while not os.path.exists("/tmp/.X11-unix/X%d" % number):
            if time.time() > deadline:
                raise RuntimeError("Xvfb did not start")
            time.sleep(0.05)
        self.env = dict(os.environ)
        self.env.update({"DISPLAY": self.display, "HOME": self.home,
                         "XDG_RUNTIME_DIR": self.home, "QT_QPA_PLATFORM": "xcb",
                         "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        self.env.pop("WAYLAND_DISPLAY", None)
        self.run(["setxkbmap", "-layout", "us"])
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            try:
                self.screenshot("failure")
            except Exception:  # noqa: BLE001 - best effort only
                pass
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for p in (self.wm, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()
        if exc_type is None:
            shutil.rmtree(self.root, ignore_errors=True)
        else:
            sys.stderr.write("e2e: kept %s for inspection\n" % self.root)
        return False

    def start(self, cwd=None, args=()):
        """Starts the program with its command-line arguments and waits for its main
        window."""
        program = [os.path.join(self.app_dir, "kolbax"), *args]
        if self.user:
            program = ["setpriv", "--reuid=%d" % self.user.pw_uid,
                       "--regid=%d" % self.user.pw_gid, "--clear-groups"] + program
        self.proc = subprocess.Popen(program, env=self.env,
                                     cwd=cwd or self.home,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.main_window = self.wait_window(MAIN_TITLE)
        self.activate(self.main_window)
        time.sleep(0.3)
        return self.main_window

    def wait_exit(self, timeout=15):
        """Waits for the program to end; returns its exit code."""
        try:
            code = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.screenshot("did-not-exit")
            raise AssertionError("the program did not exit")
        return code

    def quit(self, tries=3):
        """Closes the main window with Alt+F4, as a user does, and waits for the program to
        end; returns its exit code. On a loaded machine the keys can reach the window manager
        before it has made the window active, and then close nothing: while the main window
        is the only one up, they are sent again (a question that came up instead stays)."""
        for _ in range(tries):
            self.key("alt+F4")
            try:
                return self.proc.wait(5)
            except subprocess.TimeoutExpired:
                pass
            if len(self.windows(".+")) > 1 or not self.main_window:
                break
            self.activate(self.main_window)
        return self.wait_exit()

    def output(self):
        if self.proc and self.proc.stdout:
            return self.proc.stdout.read().decode("utf-8", "replace")
        return ""

    # ----- X helpers -----
    def run(self, args, check=True, timeout=30):
        r = subprocess.run(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                           timeout=timeout)
        if check and r.returncode != 0:
            raise RuntimeError("%s failed: %s" % (" ".join(args), r.stderr.decode()))
        return r.stdout.decode("utf-8", "replace")

    def windows(self, name):
        r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=self.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        return [w for w in r.stdout.decode().split() if w]

    def wait_window(self, name, timeout=20):
        """Waits until a visible window whose title matches name (a regex) exists."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.windows(name)
            if found:
                return found[-1]
            if self.proc and self.proc.poll() is not None:
                raise AssertionError("the program ended while waiting for %r:\n%s"
                                     % (name, self.output()))
            time.sleep(0.1)
        self.screenshot("no-window")
        raise AssertionError("no window %r appeared" % name)

    def wait_no_window(self, name, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if not self.windows(name):
                return
            time.sleep(0.1)
        raise AssertionError("window %r is still open" % name)

    def window_title(self, wid):
        return self.run(["xdotool", "getwindowname", wid]).strip()

    def active_title(self):
        wid = self.run(["xdotool", "getactivewindow"], check=False).strip()
        return self.window_title(wid) if wid else ""

    def activate(self, wid):
        self.run(["xdotool", "windowactivate", "--sync", wid], check=False)
        self.run(["xdotool", "windowfocus", "--sync", wid], check=False)

    def close_window(self, wid):
        """Asks the window manager to close a window, as its title-bar button does: the
        manager sends the window WM_DELETE_WINDOW (the _NET_CLOSE_WINDOW request)."""
        xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
        xlib.XOpenDisplay.restype = ctypes.c_void_p
        xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        xlib.XInternAtom.restype = ctypes.c_ulong
        xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        xlib.XDefaultRootWindow.restype = ctypes.c_ulong
        xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                    ctypes.c_long, ctypes.c_void_p]
        xlib.XFlush.argtypes = [ctypes.c_void_p]
        xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = xlib.XOpenDisplay(self.display.encode())
        if not display:
            raise RuntimeError("cannot open display %s" % self.display)
        event = _ClientMessage(type=33, send_event=1, window=int(wid), format=32)
        event.message_type = xlib.XInternAtom(display, b"_NET_CLOSE_WINDOW", 0)
        event.data[1] = 2  # asked for by the user
        substructure_redirect_and_notify = (1 << 19) | (1 << 20)
        xlib.XSendEvent(display, xlib.XDefaultRootWindow(display), 0,
                        substructure_redirect_and_notify, ctypes.byref(event))
        xlib.XFlush(display)
        xlib.XCloseDisplay(display)
        time.sleep(0.5)

    def key(self, *keys, delay=60):
        """Presses key combinations in order, e.g. key("ctrl+s"), key("F9"), key("Return")."""
        for k in keys:
            self.run(["xdotool", "key", "--delay", str(delay), k])
            time.sleep(0.05)
        time.sleep(0.15)

    def bind_keysyms(self, *keysyms):
        """Gives characters that the US layout lacks (keysym names: "eacute") keys of their
        own, before the program starts. xdotool would otherwise remap a spare key for each
        such character while typing, and a remapping that reaches the program after the
        key itself loses the character."""
        keymap = self.run(["xkbcomp", "-xkb", self.display, "-"])
        end = keymap.index("\n};", keymap.index("xkb_symbols"))
        keys = "".join("\n    key <I%d> { [ %s ] };" % (249 + i, keysym)
                       for i, keysym in enumerate(keysyms))
        path = os.path.join(self.root, "keymap.xkb")
        with open(path, "w") as f:
            f.write(keymap[:end] + keys + keymap[end:])
        self.run(["xkbcomp", path, self.display], check=False)

    def keys_down_up(self, *events):
        """Raw key events: ("down", "shift"), ("up", "shift"), ("key", "4") ..."""
        for kind, name in events:
            cmd = {"down": "keydown", "up": "keyup", "key": "key"}[kind]
            self.run(["xdotool", cmd, name])
            time.sleep(0.03)
        time.sleep(0.15)

    def type(self, text, delay=40):
        """Types ASCII text through the US layout (xdotool picks Shift where needed)."""
        self.run(["xdotool", "type", "--delay", str(delay), text])
        time.sleep(0.2)

    def window_size(self, wid):
        geometry = self.run(["xdotool", "getwindowgeometry", "--shell", wid])
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def menu_bar_height(self, wid):
        """Height of the main window's menu bar (its client area below is 456 high)."""
        return self.window_size(wid)[1] - 456

    def file_menu(self, wid, downs):
        """Opens the main window's File menu and chooses the item `downs` steps down."""
        self.activate(wid)
        self.click(wid, 30, self.menu_bar_height(wid) // 2)
        time.sleep(0.3)
        self.key(*(["Down"] * downs))
        self.key("Return")
        time.sleep(0.3)

    def open_document(self, wid, name):
        """Opens a file of the documents folder (name may hold a folder below it) through
        File, Открыть and the real file
        dialog, waits for its caption and activates the main window again."""
        self.file_menu(wid, 2)  # Создать, Открыть
        dialog = self.wait_window("Открытие файла для редактирования")
        self.activate(dialog)
        self.type(self.doc_path(name))
        self.key("Return")
        self.wait_no_window("Открытие файла для редактирования")
        self.wait_window(re.escape(TITLE + ": " + os.path.basename(name).split(".")[0]))
        self.activate(wid)

    def save_as(self, wid, name):
        """Saves the document under a name of the documents folder through File,
        "Сохранить как..." and the real file dialog; waits for the file."""
        self.file_menu(wid, 4)  # Создать, Открыть, Сохранить, Сохранить как
        dialog = self.wait_window("Сохранить как")
        self.activate(dialog)
        self.key("ctrl+a")
        self.type(self.doc_path(name))
        self.key("Return")
        self.wait_no_window("Сохранить как")
        self.wait_file(self.doc_path(name))

    def compile(self, wid, log):
        """F9, then waits until latex has written the LOG `log` to its end."""
        self.activate(wid)
        self.key("F9")
        wait_for(lambda: os.path.exists(self.doc_path(log))
                 and b"Output written" in self.doc_file(log), log)

    def log_viewer_text(self, wid):
        """Alt+F9 in the main window: the LOG viewer's text, copied through the clipboard.
        The viewer stays open and active."""
        self.activate(wid)
        self.key("alt+F9")
        viewer = self.wait_window(LOG_WINDOW)
        self.activate(viewer)
        self.key("ctrl+a", "ctrl+c")
        self.screenshot("log-viewer")
        return self.clipboard()

    def clipboard(self):
        r = subprocess.run(["xclip", "-o", "-selection", "clipboard"], env=self.env,
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
        return r.stdout.decode("utf-8", "replace")

    def click(self, wid, x, y, button=1):
        """Clicks at (x, y) relative to the window's top-left corner."""
        self.run(["xdotool", "mousemove", "--window", wid, str(x), str(y)])
        time.sleep(0.05)
        self.run(["xdotool", "click", str(button)])
        time.sleep(0.2)

    def screenshot(self, label):
        self.shots += 1
        target_dir = ARTIFACTS_DIR or self.root
        os.makedirs(target_dir, exist_ok=True)
        path = os.path.join(target_dir, "%s-%02d-%s.png" % (self.name, self.shots, label))
        self.run(["import", "-window", "root", path], check=False)
        return path

    # ----- files -----
    def app_file(self, name):
        with open(os.path.join(self.app_dir, name), "rb") as f:
            return f.read()

    def write_app_file(self, name, data):
        with open(os.path.join(self.app_dir, name), "wb") as f:
            f.write(data)
        self.give(os.path.join(self.app_dir, name))

    def give(self, path):
        """Makes a file or folder the session user's (nothing without one)."""
        if self.user:
            os.chown(path, self.user.pw_uid, self.user.pw_gid)

    def doc_path(self, name):
        return os.path.join(self.docs, name)

    def doc_file(self, name):
        with open(self.doc_path(name), "rb") as f:
            return f.read()

    def write_doc(self, name, data):
        """Writes a document (name may hold folders below the documents folder)."""
        path = self.doc_path(name)
        folder = os.path.dirname(path)
        if not os.path.isdir(folder):
            os.makedirs(folder)
            self.give(folder)
        with open(path, "wb") as f:
            f.write(data)
        self.give(path)

    def wait_doc_bytes(self, name, expected, timeout=10):
        """Waits until the document file holds exactly `expected`; returns what it holds."""
        deadline = time.time() + timeout
        data = None
        while time.time() < deadline:
            if os.path.exists(self.doc_path(name)):
                data = self.doc_file(name)
                if data == expected:
                    break
            time.sleep(0.2)
        return data

    def wait_file(self, path, timeout=15):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if os.path.exists(path):
                return
            time.sleep(0.1)
        raise AssertionError("%s was not written" % path)


def wait_for(predicate, what, timeout=120):
    deadline = time.time() + timeout
    while time.time() < deadline:
        if predicate():
            return
        time.sleep(0.2)
    raise AssertionError("timed out waiting for " + what)


def cp866(text):
    """The CP866 bytes of a text, as the editor stores documents."""
    return text.encode("cp866")


def e2e_main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--artifacts", default="")
    args, rest = parser.parse_known_args()
    global BUILD_DIR, ARTIFACTS_DIR
    BUILD_DIR = os.path.abspath(args.build)
    ARTIFACTS_DIR = os.path.abspath(args.artifacts) if args.artifacts else ""
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)

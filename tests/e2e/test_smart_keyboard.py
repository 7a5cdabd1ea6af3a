"""The Smart Keyboard under a real X server: a Russian user's keystrokes for a sentence
with inline mathematics and two command words, typed into a new document with the desktop
on the US layout and again with the desktop's Russian group active; the saved CP866 file is
the sentence exactly. The menu shortcuts work in either desktop group."""
import ctypes
import re
import time
import unittest

from e2e_lib import TITLE, Session, cp866, e2e_main

SENTENCE = "Теорема. Пусть $x^2+y^2=z^2$, тогда \\alpha и \\beta."

# The physical keys (named by their US keysyms) a Russian user presses for the sentence:
# Russian words on the Russian key positions, Shift+4 for the opening dollar (a ";" on
# the Russian layout), the mathematics and the command words in Latin.
RUSSIAN_KEYS = dict(zip(
    "ёйцукенгшщзхъфывапролджэячсмитьбю.,",
    ["grave", "q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "bracketleft",
     "bracketright", "a", "s", "d", "f", "g", "h", "j", "k", "l", "semicolon", "apostrophe",
     "z", "x", "c", "v", "b", "n", "m", "comma", "period", "slash", "shift+slash"]))
LATIN_KEYS = {"$": "shift+4", "^": "shift+6", "+": "shift+equal", "=": "equal",
              "\\": "backslash", ".": "period", " ": "space"}


def russian(text):
    keys = []
    for ch in text:
        if ch == " ":
            keys.append("space")
        elif ch.lower() in RUSSIAN_KEYS:
            key = RUSSIAN_KEYS[ch.lower()]
            keys.append(key if ch == ch.lower() else "shift+" + key)
        else:
            raise ValueError(ch)
    return keys


def latin(text):
    return [LATIN_KEYS.get(ch, ch) for ch in text]


KEYSTROKES = (russian("Теорема. Пусть ") + ["shift+4"] + latin("x^2+y^2=z^2") + ["shift+4"]
              + russian(", тогда ") + latin("\\alpha") + russian(" и ") + latin("\\beta."))


# The X keycodes (evdev, pc105) of the physical keys, named by their US keysyms.
KEYCODES = dict(zip(["1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "minus", "equal"],
                    range(10, 22)))
KEYCODES.update(zip("qwertyuiop", range(24, 34)))
KEYCODES.update(zip("asdfghjkl", range(38, 47)))
KEYCODES.update(zip("zxcvbnm", range(52, 59)))
KEYCODES.update({"grave": 49, "bracketleft": 34, "bracketright": 35, "semicolon": 47,
                 "apostrophe": 48, "backslash": 51, "comma": 59, "period": 60, "slash": 61,
                 "space": 65})
SHIFT_KEYCODE = 50


class X11:
    """Physical key presses (XTest) and the active keyboard group (XKB) on a display."""

    def __init__(self, display):
        self.x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
        self.xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XkbLockGroup.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_uint]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                               ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError("cannot open display %s" % display)

    def close(self):
        self.x11.XCloseDisplay(self.dpy)

    def lock_group(self, group):
        self.x11.XkbLockGroup(self.dpy, 0x100, group)  # XkbUseCoreKbd
        self.x11.XFlush(self.dpy)

    def _fake(self, keycode, press):
        self.xtst.XTestFakeKeyEvent(self.dpy, keycode, 1 if press else 0, 0)
        self.x11.XFlush(self.dpy)
        time.sleep(0.02)

    def stroke(self, name):
        """One key, "shift+" before its name for a key typed with Shift held."""
        shift = name.startswith("shift+")
        keycode = KEYCODES[name[6:] if shift else name]
        if shift:
            self._fake(SHIFT_KEYCODE, True)
        self._fake(keycode, True)
        self._fake(keycode, False)
        if shift:
            self._fake(SHIFT_KEYCODE, False)


class SmartKeyboard(unittest.TestCase):
    def new_document(self, s, wid):
        s.file_menu(wid, 1)  # Создать
        dialog = s.wait_window("Задай параметры создаваемого файла")
        s.activate(dialog)
        # "Отменить", bottom right: no template, an empty document, the Smart Keyboard awake.
        width, height = s.window_size(dialog)
        s.click(dialog, width - 57, height - 25)
        s.wait_no_window("Задай параметры создаваемого файла")
        s.wait_window(re.escape(TITLE + ": (без имени)"))
        s.activate(wid)

    def type_sentence_and_save(self, group):
        with Session(self, name="sentence-group-%d" % group) as s:
            if group:
                s.run(["setxkbmap", "-layout", "us,ru"])
            wid = s.start()
            x11 = X11(s.display)
            try:
                if group:
                    x11.lock_group(group)
                    time.sleep(0.3)
                self.new_document(s, wid)
                for stroke in KEYSTROKES:
                    x11.stroke(stroke)
            finally:
                x11.close()
            time.sleep(0.3)
            s.screenshot("typed")
            s.save_as(wid, "sentence.tex")
            expected = cp866(SENTENCE + "\r\n")
            s.wait_doc_bytes("sentence.tex", expected)
            self.assertEqual(s.doc_file("sentence.tex").decode("cp866", "replace"),
                             expected.decode("cp866"))
            self.assertEqual(s.doc_file("sentence.tex"), expected)

            # The menu shortcuts, with the desktop in the same group.
            s.activate(wid)
            s.key("ctrl+s")  # the statement chooser, not a save
            chooser = s.wait_window("Выбери окружение для утверждения")
            s.activate(chooser)
            s.key("alt+F4")
            s.wait_no_window("Выбери окружение для утверждения")
            s.activate(wid)
            s.key("F7")
            s.activate(s.wait_window("^Найти$"))
            s.key("alt+F4")
            s.wait_no_window("^Найти$")
            s.activate(wid)
            s.key("Home")
            s.key("shift+End")
            s.key("ctrl+c")
            clip = s.run(["xclip", "-selection", "clipboard", "-o"], check=False)
            self.assertEqual(clip.rstrip("\r\n"), SENTENCE)
            s.key("alt+F4")
            s.wait_exit()

    def setUp(self):
        time.sleep(2)  # the previous session's X server is gone for good

    def test_us_desktop(self):
        self.type_sentence_and_save(0)

    def test_russian_group_of_the_desktop(self):
        self.type_sentence_and_save(1)


if __name__ == "__main__":
    e2e_main()

"""The program starts under a real X server and closes cleanly from the title bar."""
import unittest

from e2e_lib import Session, e2e_main


class Smoke(unittest.TestCase):
    def test_starts_and_closes(self):
        with Session(self) as s:
            wid = s.start()
            self.assertIn("KolBAX", s.window_title(wid))
            s.screenshot("started")
            self.assertEqual(s.quit(), 0)


if __name__ == "__main__":
    e2e_main()

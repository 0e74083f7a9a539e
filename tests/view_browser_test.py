"""The viewer's page in a headless Chromium against live trackhost runs: the values it
shows against the records trackhost wrote, a drawn 3D scene, and the page staying
on the last picture while trackhost is away and resuming when it is back."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "support"))
import trackhost_view as rig  # noqa: E402

# Distinct colours among 64 x 64 pixels sampled over the 3D canvas: a blank or
# single-colour canvas has one or two.
CANVAS_COLOURS = """
const source = document.querySelector('#scene canvas');
const sample = document.createElement('canvas');
sample.width = sample.height = 64;
const context = sample.getContext('2d');
context.drawImage(source, 0, 0, 64, 64);
const pixels = context.getImageData(0, 0, 64, 64).data;
const colours = new Set();
for (let i = 0; i < pixels.length; i += 4) {
  colours.add(pixels[i] << 16 | pixels[i + 1] << 8 | pixels[i + 2]);
}
return colours.size;
"""


class ViewerPage(unittest.TestCase):
    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="viewer-page-")
        self.driver = rig.chromium("1280,860")
        self.addCleanup(self.driver.quit)

    def test_page_shows_the_records_trackhost_wrote(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "60", "--seconds", "8"]) as host:
            self.driver.get(host.url)
            rig.wait_for(lambda: rig.page_state(self.driver)[1] >= 20, what="20 events")
            # While running: each tracker shows a record trackhost wrote for it.
            shown = rig.displayed(self.driver)
            rows = host.rows()
            self.assertEqual(sorted(shown), [("head", 1), ("left-hand", 2), ("right-hand", 3)])
            for key, values in shown.items():
                self.assertIn(values, rows[key], key)
            self.assertGreater(self.driver.execute_script(CANVAS_COLOURS), 8)
            self.driver.save_screenshot(os.path.join(rig.ARTIFACTS, "viewer.png"))
            self.assertEqual(host.wait(), 0, host.rest)

            # After the run: the page keeps the last picture, and it is the last records.
            rig.wait_for(lambda: rig.page_state(self.driver)[0] == "disconnected",
                         what="the page to show trackhost is gone")
            rows = host.rows()
            self.assertEqual(rig.displayed(self.driver),
                             {key: values[-1] for key, values in rows.items()})

    def test_page_reconnects_when_trackhost_runs_again(self):
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "30"]) as first:
            self.driver.get(first.url)
            rig.wait_for(lambda: rig.page_state(self.driver)[1] > 0, what="a first event")
            self.assertEqual(first.stop(), 0, first.rest)
        rig.wait_for(lambda: rig.page_state(self.driver)[0] == "disconnected",
                     what="the page to show trackhost is gone")
        before = rig.displayed(self.driver)
        self.assertEqual(len(before), 3)
        events = rig.page_state(self.driver)[1]

        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "30"],
                           view="127.0.0.1:" + first.port) as second:
            self.assertEqual(second.url, first.url, second.first_line)
            rig.wait_for(lambda: rig.page_state(self.driver)[0] == "connected",
                         what="the page to reconnect")
            rig.wait_for(lambda: rig.page_state(self.driver)[1] > events + 10,
                         what="updates to resume")
            self.assertNotEqual(rig.displayed(self.driver), before)
            self.assertEqual(second.stop(), 0, second.rest)


if __name__ == "__main__":
    rig.main()

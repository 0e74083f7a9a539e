"""The viewer's page in a headless Chromium against live trackhost runs: the values it
shows against the records trackhost wrote, a drawn 3D scene, and the page staying
on the last picture while trackhost is away and resuming when it is back."""
import os
import re
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "fixtures"))
import trackhost_view as rig  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

# The share of the 3D canvas's pixels, as the browser shows them (a screenshot of
# it, decoded in the page), that differ from the background, the hint line at the
# bottom left out: 0 for a blank scene.
DRAWN_SHARE = """
const [png, done] = arguments, image = new Image();
image.onload = () => {
  const sample = document.createElement('canvas');
  [sample.width, sample.height] = [image.width, image.height - 30];
  sample.getContext('2d').drawImage(image, 0, 0);
  const pixels = sample.getContext('2d').getImageData(0, 0, sample.width, sample.height).data;
  let drawn = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    drawn += pixels[i] !== 0x1b || pixels[i + 1] !== 0x1f || pixels[i + 2] !== 0x27;
  }
  done(drawn / (pixels.length / 4));
};
image.src = 'data:image/png;base64,' + png;
"""


class ViewerPage(unittest.TestCase):
    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="viewer-page-")
        self.addCleanup(shutil.rmtree, self.workdir, True)
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
            canvas = self.driver.find_element(By.CSS_SELECTOR, "#scene canvas")
            self.assertGreater(
                self.driver.execute_async_script(DRAWN_SHARE, canvas.screenshot_as_base64), 0.02)
            time.sleep(4)  # some seconds of plot for the screenshot
            self.driver.save_screenshot(os.path.join(rig.ARTIFACTS, "viewer.png"))
            self.assertEqual(host.wait(), 0, host.rest)

            # After the run: the page keeps the last picture, and it is the last records.
            rig.wait_for(lambda: rig.page_state(self.driver)[0] == "disconnected",
                         what="the page to show trackhost is gone")
            rows = host.rows()
            self.assertEqual(rig.displayed(self.driver),
                             {key: values[-1] for key, values in rows.items()})

    def test_without_webgl_readouts_plots_and_stale_marks_go_on(self):
        self.driver.quit()
        self.driver = rig.chromium("1280,860", webgl=False)
        # The sensor on port 2 (left-hand) is unplugged after 1 s; the one on port 1
        # (head) holds still from then on: its readings repeat, so it sends no record.
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "30", "--seconds", "8",
                                          "--sim-dropout", "2:1:20",
                                          "--sim-dropout", "1:1:20:repeat"]) as host:
            self.driver.get(host.url)
            rig.wait_for(lambda: rig.page_state(self.driver)[1] >= 20, what="20 events")
            shown, rows = rig.displayed(self.driver), host.rows()
            for key, values in shown.items():
                self.assertIn(values, rows[key], key)
            self.assertEqual(self.driver.find_element(By.ID, "scene").text,
                             "No 3D view: this browser offers no WebGL. Readouts and plots go on.")
            self.assertFalse(self.driver.execute_script("return window.viewer.scene"))
            heads = [cell.text for cell in self.driver.find_elements(
                By.CSS_SELECTOR, ".tracker[data-id='1'] th")]
            self.assertEqual(heads, ["x (ft)", "y (ft)", "z (ft)",
                                     "angle1 (°)", "angle2 (°)", "angle3 (°)"])
            stale = "return [...document.querySelectorAll('.tracker.stale')].map(p => p.dataset.device)"
            rig.wait_for(lambda: self.driver.execute_script(stale) == ["left-hand"],
                         timeout=5, what="left-hand alone marked stale")
            # A sensor that holds still is not stale, however old its last record.
            age = "return document.querySelector(\".tracker[data-id='1'] .age\").textContent"

            def held_still():
                shown = self.driver.execute_script(age)
                found = re.fullmatch(r"age (\d+\.\d\d) s", shown)
                self.assertTrue(found, "head, holding still, shows " + shown)
                return float(found[1]) > 2
            rig.wait_for(held_still, what="head's last record to be 2 s old")
            self.assertEqual(self.driver.execute_script(stale), ["left-hand"])
            self.assertEqual(host.wait(), 0, host.rest)
            self.driver.save_screenshot(os.path.join(rig.ARTIFACTS, "viewer-no-webgl.png"))
        # An angle plot's line breaks where the angle wraps at ±180°; positions do not wrap.
        runs = """return [true, false].map(angle => lineRuns(
            [170, 179, -179, -170, 10].map(a => ({v: [a, 0, 0, a, 0, 0]})), 3 * angle, angle)
            .map(run => run.length))"""
        self.assertEqual(self.driver.execute_script(runs), [[2, 3], [5]])

    def test_plot_breaks_where_no_record_came(self):
        # The sensor is unplugged from 6 s to 7.5 s, once the page has had time to
        # connect, and woken again by the device.
        config = os.path.join(self.workdir, "back.conf")
        with open(config, "w") as file:
            file.write("[back]\nport 1\nreconnect 0.5\n")
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "30", "--seconds", "10",
                                          "--sim-dropout", "1:6:1.5"], config=config) as host:
            self.driver.get(host.url)
            rig.wait_for(lambda: rig.page_state(self.driver)[1] > 0, what="a first event")
            self.assertEqual(host.wait(), 0, host.rest)
        self.assertIn(", 1 recovery", host.rest)
        # Two lines, the second from the first record after the loss.
        runs = """return lineRuns(trackers.get(1).history, 0, false)
            .map(run => [run[0].t, run[run.length - 1].t])"""
        runs = self.driver.execute_script(runs)
        self.assertEqual(len(runs), 2, runs)
        self.assertGreater(runs[1][0] - runs[0][1], 1000, runs)

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

        restarted = time.time() * 1000
        with rig.Trackhost(self.workdir, ["--quiet", "--rate", "30"],
                           view="127.0.0.1:" + first.port) as second:
            self.assertEqual(second.url, first.url, second.first_line)
            rig.wait_for(lambda: rig.page_state(self.driver)[0] == "connected",
                         what="the page to reconnect")
            rig.wait_for(lambda: rig.page_state(self.driver)[1] > events + 10,
                         what="updates to resume")
            self.assertNotEqual(rig.displayed(self.driver), before)
            # The plots start afresh: no point of the first run is left.
            for id, oldest in self.driver.execute_script("return window.viewer.plotted()"):
                self.assertGreaterEqual(oldest, restarted, id)
            self.assertEqual(second.stop(), 0, second.rest)


if __name__ == "__main__":
    rig.main()

#!/usr/bin/env python3
"""The instructor station in a real browser: Debian's headless Chromium, driven by Selenium,
against the running simulator (pelasim_station_probe) on the loopback address.

  browser_test.py PROBE                  the test: the page pairs, shows live values, arms a
                                         failure, and the simulator's state shows it
  browser_test.py PROBE --screenshots D  also saves station-phone.png and station-desktop.png
  browser_test.py PROBE --bench          state-change latency to the page and the simulator's
                                         processor time with two pages connected

Exits 77 (skipped) when Chromium, its driver or Selenium is missing."""
import os
import queue
import shutil
import statistics
import subprocess
import sys
import threading
import time

SKIP = 77


def find(*names):
    for n in names:
        p = shutil.which(n)
        if p:
            return p
    return None


try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import Select, WebDriverWait
except ImportError:
    print("skipped: python3-selenium is not installed")
    sys.exit(SKIP)

CHROMIUM = find("chromium", "chromium-browser")
DRIVER = find("chromedriver")
if not CHROMIUM or not DRIVER:
    print("skipped: chromium or chromium-driver is not installed")
    sys.exit(SKIP)


class Probe:
    """The simulator with its station; lines on its standard output arrive in a queue."""

    def __init__(self, path):
        env = dict(os.environ, QT_QPA_PLATFORM=os.environ.get("QT_QPA_PLATFORM", "offscreen"),
                   SDL_AUDIODRIVER="dummy")
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1, env=env)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.address = self.expect("address", 30).split(" ", 1)[1]

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.strip())

    def expect(self, prefix, timeout=10):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            try:
                line = self.lines.get(timeout=max(0.01, end - time.monotonic()))
            except queue.Empty:
                break
            if line.startswith(prefix):
                return line
        raise AssertionError(f"the simulator did not answer '{prefix}' within {timeout} s")

    def ask(self, command, prefix, timeout=10):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        return self.expect(prefix, timeout)

    def close(self):
        try:
            self.proc.stdin.write("quit\n")
            self.proc.stdin.flush()
            self.proc.wait(timeout=5)
        except Exception:
            self.proc.kill()


def browser(width, height):
    opts = webdriver.ChromeOptions()
    opts.binary_location = CHROMIUM
    for a in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
              f"--window-size={width},{height}", "--hide-scrollbars"):
        opts.add_argument(a)
    opts.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    d = webdriver.Chrome(service=Service(DRIVER), options=opts)
    d.set_page_load_timeout(20)
    return d


def set_viewport(d, width, height, mobile):
    d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                      {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})


def wait(d, what, timeout=15):
    return WebDriverWait(d, timeout, poll_frequency=0.05).until(lambda _: what())


def text(d, element_id):
    return d.find_element(By.ID, element_id).text


def open_page(d, address):
    d.get(address)
    wait(d, lambda: text(d, "link") == "Live")
    # The page's own requests carry the cookie; no inline script ran (the policy forbids it).
    assert d.execute_script("return typeof Chart") == "function", "Chart.js did not load"
    blocked = [e["message"] for e in d.get_log("browser") if "Content Security Policy" in e["message"]]
    assert not blocked, blocked


def run_test(probe, shots):
    d = browser(1280, 1000)
    try:
        open_page(d, probe.address)
        # Live values: the chart fills second by second and the depth follows the simulator.
        samples = lambda: d.execute_script("return Chart.getChart('chart').data.datasets[0].data.length")
        first = samples()
        wait(d, lambda: samples() >= first + 2)
        depth = int(text(d, "depth"))
        probe.ask("deeper", "deeper")
        wait(d, lambda: text(d, "depth") == str(depth + 1))
        assert text(d, "oxygenValve") == "OPEN" and text(d, "breathing") == "On"

        # Arm "Solenoid Stuck Open" at once.
        d.find_element(By.CSS_SELECTOR, "input[data-box=Check11]").click()
        wait(d, lambda: "Solenoid Stuck Open" in probe.ask("state", "state"))
        Select(d.find_element(By.ID, "delay")).select_by_value("0")
        d.find_element(By.ID, "arm").click()
        wait(d, lambda: "Failures took effect" in text(d, "events"))
        state = probe.ask("state", "state")
        assert state.startswith("state Open | Solenoid Stuck Open | armed 0"), state
        assert "source station" in text(d, "events")

        # A one-minute delay shows its countdown.
        Select(d.find_element(By.ID, "delay")).select_by_value("1")
        wait(d, lambda: text(d, "arm") == "Change in 1 minutes")
        d.find_element(By.ID, "arm").click()
        wait(d, lambda: text(d, "countdown").startswith("Armed: takes effect in 1:00")
             or text(d, "countdown").startswith("Armed: takes effect in 0:5"))

        # The page reconnects by itself when its socket drops.
        d.execute_script("window.location.reload()")
        wait(d, lambda: text(d, "link") == "Live")
        assert "Failures took effect" in text(d, "events")

        if shots:
            os.makedirs(shots, exist_ok=True)
            wait(d, lambda: samples() >= 8)
            set_viewport(d, 1280, 1000, False)
            time.sleep(0.5)
            d.save_screenshot(os.path.join(shots, "station-desktop.png"))
            set_viewport(d, 390, 844, True)
            time.sleep(0.5)
            d.save_screenshot(os.path.join(shots, "station-phone.png"))
    finally:
        d.quit()


def run_bench(probe):
    d = browser(1280, 1000)
    second = None
    try:
        open_page(d, probe.address)
        d.execute_script("""
          window.depthTimes = [];
          new MutationObserver(() => window.depthTimes.push(performance.timeOrigin + performance.now()))
            .observe(document.getElementById('depth'), {childList: true, characterData: true, subtree: true});""")
        latencies = []
        for i in range(20):
            before = d.execute_script("return window.depthTimes.length")
            sent = time.time() * 1000.0
            probe.ask("deeper", "deeper")
            wait(d, lambda: d.execute_script("return window.depthTimes.length") > before, 5)
            latencies.append(d.execute_script("return window.depthTimes[window.depthTimes.length - 1]") - sent)
            time.sleep(0.3)
        latencies.sort()
        print(f"state change to page: median {statistics.median(latencies):.0f} ms, "
              f"95th {latencies[int(len(latencies) * 0.95) - 1]:.0f} ms, max {latencies[-1]:.0f} ms "
              f"over {len(latencies)} changes (target < 250 ms)")
        second = browser(390, 844)
        open_page(second, probe.address)
        seconds = int(os.environ.get("STATION_CPU_SECONDS", "60"))
        print(probe.ask(f"cpu {seconds}", "cpu", seconds + 30) + " with the diver breathing (target < 2 %)")
    finally:
        d.quit()
        if second:
            second.quit()


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    shots = None
    if "--screenshots" in sys.argv:
        shots = sys.argv[sys.argv.index("--screenshots") + 1]
    probe = Probe(sys.argv[1])
    try:
        if "--bench" in sys.argv:
            run_bench(probe)
        else:
            run_test(probe, shots)
            print("1 passed, 0 failed")
    finally:
        probe.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""A throwaway vok-center with the console's demo fleet, and a headless
Chromium driven by Selenium, for the browser test and the screenshots.

Nothing here reaches beyond 127.0.0.1: the center listens on a free
loopback port and Chromium runs with a fresh profile and its background
networking switched off.
"""

import os
import re
import shutil
import subprocess
import tempfile
import time

USER = "engineer"
PASSWORD = "correct horse battery"

CHROMIUM_FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-dev-shm-usage",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-default-apps",
    "--disable-extensions",
    "--no-first-run",
    "--hide-scrollbars",
    "--force-device-scale-factor=1",
]


class Center:
    """vok-center serving a temporary data folder filled from the fixture."""

    def __init__(self, center, fixture, clean=False):
        self.root = tempfile.mkdtemp(prefix="vok-console-")
        self.reports = os.path.join(self.root, "reports")
        self.data = os.path.join(self.root, "data")
        self.downloads = os.path.join(self.root, "downloads")
        os.makedirs(self.downloads)
        subprocess.run([fixture] + (["--clean"] if clean else []) + [self.reports], check=True,
                       stdout=subprocess.DEVNULL)
        subprocess.run([center, "import", "--data-dir", self.data, self.reports], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([center, "adduser", USER, "--data-dir", self.data],
                       input=(PASSWORD + "\n").encode(), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.log = open(os.path.join(self.root, "serve.log"), "w+b")
        self.process = subprocess.Popen(
            [center, "serve", "--listen", "127.0.0.1:0", "--data-dir", self.data,
             "--workers", "4"], stdout=self.log, stderr=self.log)
        self.base = self._wait_for_address()

    def _wait_for_address(self):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            self.log.seek(0)
            found = re.search(rb"listening on (http://127\.0\.0\.1:\d+)", self.log.read())
            if found:
                return found.group(1).decode()
            if self.process.poll() is not None:
                break
            time.sleep(0.05)
        self.close()
        raise RuntimeError("vok-center did not start")

    def report_file(self, n):
        """The bytes of the fixture's n-th report file (1-based)."""
        with open(os.path.join(self.reports, "report-%d.VOK" % n), "rb") as f:
            return f.read()

    def close(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.log.close()
        shutil.rmtree(self.root, ignore_errors=True)


def chromium(width, height, downloads=None):
    """A headless Chromium of that window size with a fresh profile."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    profile = tempfile.mkdtemp(prefix="vok-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS:
        options.add_argument(flag)
    options.add_argument("--user-data-dir=" + profile)
    options.add_argument("--window-size=%d,%d" % (width, height))
    if downloads:
        options.add_experimental_option("prefs", {
            "download.default_directory": downloads,
            "download.prompt_for_download": False,
        })
    service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.set_page_load_timeout(20)
    # The page's own viewport exactly, as a desktop or as a phone.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})
    if downloads:
        driver.execute_cdp_cmd("Page.setDownloadBehavior",
                               {"behavior": "allow", "downloadPath": downloads})
    driver.vok_profile = profile
    return driver


def quit(driver):
    profile = getattr(driver, "vok_profile", None)
    driver.quit()
    if profile:
        shutil.rmtree(profile, ignore_errors=True)


def log_in(driver, base):
    from selenium.webdriver.common.by import By

    driver.get(base + "/login")
    driver.find_element(By.NAME, "user").send_keys(USER)
    driver.find_element(By.NAME, "password").send_keys(PASSWORD)
    driver.find_element(By.CSS_SELECTOR, "form[action='/login'] button").click()
    wait_for(lambda: driver.current_url.rstrip("/") == base, "the fleet after login")


def wait_for(condition, what, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            if condition():
                return
        except Exception:  # the page may be between loads
            pass
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


# Counts the canvas's pixels that are not fully transparent.
PAINTED_PIXELS = """
const canvas = document.getElementById(arguments[0]);
if (!canvas || canvas.width === 0 || canvas.height === 0) return 0;
const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
let painted = 0;
for (let i = 3; i < data.length; i += 4) { if (data[i] !== 0) painted++; }
return painted;
"""

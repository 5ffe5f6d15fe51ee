#!/usr/bin/env python3
"""The console in a real browser: headless Chromium driven by Selenium
against a vok-center on a free loopback port with the demo fleet.

Usage: console_browser_test.py --center PATH --fixture PATH [--screenshots DIR]
Exits 77 (skipped) when Selenium, Chromium or chromedriver are missing.
With --screenshots, renders the console's pages into DIR instead (at
1280x800 and on a 390 px wide phone, without the hostile generator).

Nothing here reaches beyond 127.0.0.1: the center listens on a free loopback
port and Chromium runs with a fresh profile and its background networking
switched off.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
USER, PASSWORD = "engineer", "correct horse battery"
# The fixture's generator with five reports, and the one that is markup.
HISTORY_SERIAL = "VK2041"
HOSTILE_HOSPITAL = "<script>alert(1)</script><img src=x id=injected>"
HOSTILE_SERIAL = "<i>X</i>\"'"
CHARTS = ["chart-exposures", "chart-errors", "chart-heat", "chart-codes"]
CHROMIUM_FLAGS = ("--headless --no-sandbox --disable-gpu --disable-dev-shm-usage"
                  " --disable-background-networking --disable-component-update --disable-sync"
                  " --disable-default-apps --disable-extensions --no-first-run"
                  " --hide-scrollbars --force-device-scale-factor=1").split()
# Counts the canvas's pixels that are not fully transparent.
PAINTED_PIXELS = """
const canvas = document.getElementById(arguments[0]);
if (!canvas || canvas.width === 0 || canvas.height === 0) return 0;
const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
let painted = 0;
for (let i = 3; i < data.length; i += 4) { if (data[i] !== 0) painted++; }
return painted;
"""


class Center:
    """vok-center serving a temporary data folder filled from the fixture."""

    def __init__(self, center, fixture, clean=False):
        self.root = tempfile.mkdtemp(prefix="vok-console-")
        reports, data = os.path.join(self.root, "reports"), os.path.join(self.root, "data")
        quiet = {"check": True, "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
        subprocess.run([fixture] + (["--clean"] if clean else []) + [reports], **quiet)
        subprocess.run([center, "import", "--data-dir", data, reports], **quiet)
        subprocess.run([center, "adduser", USER, "--data-dir", data],
                       input=(PASSWORD + "\n").encode(), **quiet)
        self.log = open(os.path.join(self.root, "serve.log"), "w+b")
        self.process = subprocess.Popen(
            [center, "serve", "--listen", "127.0.0.1:0", "--data-dir", data, "--workers", "4"],
            stdout=self.log, stderr=self.log)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and self.process.poll() is None:
            self.log.seek(0)
            found = re.search(rb"listening on (http://127\.0\.0\.1:\d+)", self.log.read())
            if found:
                self.base = found.group(1).decode()
                return
            time.sleep(0.05)
        self.close()
        raise RuntimeError("vok-center did not start")

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


def chromium(width, height):
    """A headless Chromium with a fresh profile and exactly that viewport."""
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    profile = tempfile.mkdtemp(prefix="vok-chromium-")
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + profile,
                                  "--window-size=%d,%d" % (width, height)]:
        options.add_argument(flag)
    service = Service(shutil.which("chromedriver") or "/usr/bin/chromedriver")
    driver = webdriver.Chrome(service=service, options=options)
    driver.set_page_load_timeout(20)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < 600})
    driver.vok_profile = profile
    return driver


def quit(driver):
    driver.quit()
    shutil.rmtree(driver.vok_profile, ignore_errors=True)


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


def log_in(driver, base):
    from selenium.webdriver.common.by import By
    driver.get(base + "/login")
    driver.find_element(By.NAME, "user").send_keys(USER)
    driver.find_element(By.NAME, "password").send_keys(PASSWORD)
    driver.find_element(By.CSS_SELECTOR, "form[action='/login'] button").click()
    wait_for(lambda: driver.current_url.rstrip("/") == base, "the fleet after login")


def charts_drawn(driver):
    for canvas in CHARTS:
        wait_for(lambda: driver.execute_script(PAINTED_PIXELS, canvas) > 500, "pixels on " + canvas)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def test_console(base, driver):
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.common.by import By

    def fleet_column(index):
        return [row.find_elements(By.TAG_NAME, "td")[index].text
                for row in driver.find_elements(By.CSS_SELECTOR, "#fleet tbody tr")]

    def open_newest_report(what):
        driver.find_element(By.CSS_SELECTOR,
                            "#timeline tbody tr:first-child td:first-child a").click()
        wait_for(lambda: driver.find_elements(By.ID, "since-previous"), what)

    driver.get(base + "/reports/1")
    check(driver.current_url == base + "/login", "no session went to " + driver.current_url)
    log_in(driver, base)

    # Find a generator by its hospital; sort the fleet by exposures, most first.
    search = driver.find_element(By.ID, "q")
    search.send_keys("olav")
    search.submit()
    wait_for(lambda: "q=olav" in driver.current_url, "the search")
    check(fleet_column(0) == [HISTORY_SERIAL], "search by hospital found %r" % fleet_column(0))
    driver.get(base + "/")
    driver.find_element(By.LINK_TEXT, "Exposures").click()
    wait_for(lambda: "sort=exposures" in driver.current_url, "the sort")
    exposures = [int(t.replace(",", "")) for t in fleet_column(6)]
    check(len(exposures) == 7 and exposures == sorted(exposures, reverse=True),
          "exposures not most first: %r" % exposures)

    # Open a generator: its charts draw; then its newest report and what
    # changed since the previous one, and the site's HTML report, framed.
    driver.find_element(By.LINK_TEXT, HISTORY_SERIAL).click()
    wait_for(lambda: driver.current_url.endswith("/generators/" + HISTORY_SERIAL), "the generator")
    charts_drawn(driver)
    check(len(driver.find_elements(By.CSS_SELECTOR, "#timeline tbody tr")) == 5,
          "the timeline does not list the five reports")
    check("kV recalibrated" in driver.find_element(By.ID, "history").text,
          "the service history misses the last visit")
    open_newest_report("the report page")
    driver.find_element(By.LINK_TEXT, "Since the previous report").click()
    counters = driver.find_element(By.ID, "changed-counters").text
    for name in ["X-Ray Exposure Count ( Total )", "Sum of Heat Unit ( Total )"]:
        check(name in counters, "counter %r missing from %r" % (name, counters))
    check(len(driver.find_elements(By.CSS_SELECTOR, "#new-errors tbody tr")) == 2,
          "not two new error log entries")
    check("High kV Offset" in driver.find_element(By.ID, "changed-calibration").text,
          "no calibration change")
    driver.switch_to.frame(driver.find_element(By.CSS_SELECTOR, "iframe.report-frame"))
    wait_for(lambda: "System Infomation" in driver.find_element(By.TAG_NAME, "body").text,
             "the framed report")
    driver.switch_to.default_content()

    # Markup in a report's site strings and serial shows as text everywhere
    # and nothing in it runs.
    pages = [("fleet", base + "/?sort=hospital&dir=asc")]
    driver.get(pages[0][1])
    link = driver.find_element(By.CSS_SELECTOR, "#fleet tbody tr:first-child td:first-child a")
    check(link.text == HOSTILE_SERIAL, "the serial shows as %r" % link.text)
    check(HOSTILE_HOSPITAL in driver.find_element(By.ID, "fleet").text,
          "the hospital is not shown as text")
    link.click()
    wait_for(lambda: "/generators/" in driver.current_url, "the hostile generator")
    pages.append(("generator", driver.current_url))
    open_newest_report("the hostile report")
    pages.append(("report", driver.current_url))
    for name, url in pages:
        driver.get(url)
        try:
            raise AssertionError("an alert ran on %s: %r" % (name, driver.switch_to.alert.text))
        except NoAlertPresentException:
            pass
        check(not driver.find_elements(By.CSS_SELECTOR,
                                       "#injected, #injected-cause, main i, main b, main img"),
              "markup from a report came alive on the %s page" % name)
        check(HOSTILE_SERIAL in driver.find_element(By.TAG_NAME, "body").text,
              "the serial is not shown as text on the %s page" % name)
        # The policy refuses inline script even when something manages to
        # insert it.
        ran = driver.execute_script(
            "window.__ran = false; const s = document.createElement('script');"
            " s.textContent = 'window.__ran = true'; document.body.appendChild(s);"
            " return window.__ran;")
        check(ran is False, "inline script ran on the %s page" % name)
    driver.get(pages[1][1])
    check("<b id=injected-cause>bold</b>" in driver.find_element(By.ID, "history").text,
          "the service history does not show the markup as text")


def screenshots(base, out):
    from selenium.webdriver.common.by import By
    generator = base + "/generators/" + HISTORY_SERIAL
    for width, height, suffix in [(1280, 800, ""), (390, 844, "-phone")]:
        driver = chromium(width, height)
        try:
            log_in(driver, base)
            driver.get(generator)
            newest = driver.find_element(
                By.CSS_SELECTOR, "#timeline tbody tr:first-child td:first-child a"
            ).get_attribute("href")
            for url, name in [(base + "/", "fleet"), (generator, "generator"), (newest, "report")]:
                driver.get(url)
                if name == "generator":
                    charts_drawn(driver)
                if name == "report" and suffix:
                    driver.execute_script(
                        "document.getElementById('since-previous').scrollIntoView()")
                path = os.path.join(os.path.abspath(out), "center-%s%s.png" % (name, suffix))
                driver.save_screenshot(path)
                print(path)
        finally:
            quit(driver)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--center", required=True)
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--screenshots")
    args = parser.parse_args()
    try:
        import selenium  # noqa: F401
    except ImportError:
        print("SKIP: python3-selenium is not installed")
        return SKIP
    if not (shutil.which("chromium") and shutil.which("chromedriver")):
        print("SKIP: chromium or chromium-driver is not installed")
        return SKIP

    started = time.monotonic()
    center = Center(args.center, args.fixture, clean=bool(args.screenshots))
    try:
        if args.screenshots:
            os.makedirs(args.screenshots, exist_ok=True)
            screenshots(center.base, args.screenshots)
            return 0
        driver = chromium(1280, 800)
        try:
            test_console(center.base, driver)
        finally:
            quit(driver)
    finally:
        center.close()
    print("console browser test passed in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())

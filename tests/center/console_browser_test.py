#!/usr/bin/env python3
"""The console in a real browser: headless Chromium driven by Selenium
against a vok-center on a free loopback port with the demo fleet.

Usage: console_browser_test.py --fixture PATH [--screenshots DIR]
Exits 77 (skipped) without Selenium, Chromium or chromedriver. --screenshots
renders the pages into DIR instead, at 1280x800 and 390 px wide, without the
hostile generator. Nothing reaches beyond 127.0.0.1.
"""

import argparse
import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
USER, PASSWORD = "engineer", "correct horse"
# The fixture's generator with five reports, and the one that is markup.
HISTORY_SERIAL = "VK2041"
HOSTILE_HOSPITAL = "<script>alert(1)</script><img src=x id=injected>"
HOSTILE_SERIAL = "<i>X</i>\"'"
CHROMIUM_FLAGS = ("--headless --no-sandbox --disable-gpu --disable-dev-shm-usage"
                  " --disable-background-networking --disable-component-update --disable-sync"
                  " --disable-default-apps --disable-extensions --no-first-run"
                  " --hide-scrollbars --force-device-scale-factor=1").split()
# Counts the canvas's pixels that are not fully transparent.
PAINTED_PIXELS = """const c = document.getElementById(arguments[0]);
if (!c || !c.width || !c.height) return 0;
return c.getContext('2d').getImageData(0, 0, c.width, c.height).data.filter(
    (v, i) => i % 4 == 3 && v).length;"""


class Center:
    """The fixture's center with the demo fleet on a free loopback port."""

    def __init__(self, fixture, clean=False):
        self.process = subprocess.Popen([fixture] + (["--clean"] if clean else []),
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.base = self.process.stdout.readline().decode().strip()
        if not self.base.startswith("http://127.0.0.1:"):
            self.close()
            raise RuntimeError("the fixture's center did not start")

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=30)


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
    for canvas in ["chart-exposures", "chart-errors", "chart-heat", "chart-codes"]:
        wait_for(lambda: driver.execute_script(PAINTED_PIXELS, canvas) > 500, "pixels on " + canvas)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def test_console(base, driver):
    from selenium.common.exceptions import NoAlertPresentException
    from selenium.webdriver.common.by import By

    def open_first(css, what):
        driver.find_element(By.CSS_SELECTOR, css + " tbody tr:first-child td:first-child a").click()
        wait_for(lambda: driver.find_elements(By.ID, what), what)
        return driver.current_url

    driver.get(base + "/reports/1")
    check(driver.current_url == base + "/login", "no session went to " + driver.current_url)
    log_in(driver, base)

    # A generator's charts draw; its newest report shows what changed since
    # the previous one, and the site's HTML report, framed.
    driver.get(base + "/generators/" + HISTORY_SERIAL)
    charts_drawn(driver)
    check("kV recalibrated" in driver.find_element(By.ID, "history").text,
          "the service history misses the last visit")
    open_first("#timeline", "since-previous")
    driver.find_element(By.LINK_TEXT, "Since the previous report").click()
    check("Sum of Heat Unit ( Total )" in driver.find_element(By.ID, "changed-counters").text,
          "the heat counter is not among the changes")
    check(len(driver.find_elements(By.CSS_SELECTOR, "#new-errors tbody tr")) == 2,
          "not two new error log entries")
    driver.switch_to.frame(driver.find_element(By.CSS_SELECTOR, "iframe.report-frame"))
    wait_for(lambda: "System Infomation" in driver.find_element(By.TAG_NAME, "body").text,
             "the framed report")
    driver.switch_to.default_content()

    # Markup in a report's site strings and serial shows as text everywhere
    # and nothing in it runs, not even script inserted into the page: the
    # policy refuses it.
    pages = [base + "/?sort=hospital&dir=asc"]
    driver.get(pages[0])
    check(HOSTILE_HOSPITAL in driver.find_element(By.ID, "fleet").text,
          "the hospital is not shown as text")
    pages.append(open_first("#fleet", "timeline"))
    pages.append(open_first("#timeline", "since-previous"))
    for url in pages:
        driver.get(url)
        try:
            raise AssertionError("an alert ran on %s: %r" % (url, driver.switch_to.alert.text))
        except NoAlertPresentException:
            pass
        check(not driver.find_elements(By.CSS_SELECTOR,
                                       "#injected, #injected-cause, main i, main b, main img"),
              "markup from a report came alive on " + url)
        check(HOSTILE_SERIAL in driver.find_element(By.TAG_NAME, "body").text,
              "the serial is not shown as text on " + url)
        check(driver.execute_script(
            "window.__ran = false; const s = document.createElement('script');"
            " s.textContent = 'window.__ran = true'; document.body.appendChild(s);"
            " return window.__ran;") is False, "inline script ran on " + url)
    driver.get(pages[1])
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
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--screenshots")
    args = parser.parse_args()
    if not (importlib.util.find_spec("selenium") and shutil.which("chromium")
            and shutil.which("chromedriver")):
        print("SKIP: needs python3-selenium, chromium and chromium-driver")
        return SKIP
    started = time.monotonic()
    center = Center(args.fixture, clean=bool(args.screenshots))
    try:
        if args.screenshots:
            os.makedirs(args.screenshots, exist_ok=True)
            return screenshots(center.base, args.screenshots)
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

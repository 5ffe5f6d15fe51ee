#!/usr/bin/env python3
"""The console in a real browser: headless Chromium driven by Selenium
against a vok-center on a free loopback port with the demo fleet.

Usage: console_browser_test.py --center PATH --fixture PATH
Exits 77 (skipped) when Selenium, Chromium or chromedriver are missing.
"""

import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import console_session as cs  # noqa: E402

SKIP = 77
# The fixture's generator with five reports: files report-1 to report-5.
HISTORY_SERIAL = "VK2041"
HISTORY_NEWEST_FILE = 5
HOSTILE_HOSPITAL = "<script>alert(1)</script><img src=x id=injected>"
HOSTILE_SERIAL = "<i>X</i>\"'"


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def no_alert(driver, where):
    from selenium.common.exceptions import NoAlertPresentException
    try:
        text = driver.switch_to.alert.text
    except NoAlertPresentException:
        return
    raise AssertionError("an alert ran on %s: %r" % (where, text))


def fleet_column(driver, index):
    from selenium.webdriver.common.by import By
    return [row.find_elements(By.TAG_NAME, "td")[index].text
            for row in driver.find_elements(By.CSS_SELECTOR, "#fleet tbody tr")]


def test_console(center, driver):
    from selenium.webdriver.common.by import By
    base = center.base

    # Without a session every page sends you to the login.
    for path in ["/", "/?q=VK", "/generators.csv", "/generators/" + HISTORY_SERIAL,
                 "/reports/1", "/reports/1/html", "/reports/1/file"]:
        driver.get(base + path)
        check(driver.current_url == base + "/login",
              "%s without a session went to %s" % (path, driver.current_url))

    cs.log_in(driver, base)

    # Find a generator by its hospital.
    search = driver.find_element(By.ID, "q")
    search.send_keys("olav")
    search.submit()
    cs.wait_for(lambda: "q=olav" in driver.current_url, "the search")
    serials = fleet_column(driver, 0)
    check(serials == [HISTORY_SERIAL], "search by hospital found %r" % serials)

    # Sort the fleet: by exposures, most first, then turned round.
    driver.get(base + "/")
    driver.find_element(By.LINK_TEXT, "Exposures").click()
    cs.wait_for(lambda: "sort=exposures" in driver.current_url, "the sort")
    exposures = [int(t.replace(",", "")) for t in fleet_column(driver, 6)]
    check(len(exposures) == 7 and exposures == sorted(exposures, reverse=True),
          "exposures not most first: %r" % exposures)
    driver.find_element(By.PARTIAL_LINK_TEXT, "Exposures").click()
    cs.wait_for(lambda: "dir=asc" in driver.current_url, "the reversed sort")
    exposures = [int(t.replace(",", "")) for t in fleet_column(driver, 6)]
    check(exposures == sorted(exposures), "exposures not least first: %r" % exposures)

    # Open a generator: its charts draw.
    driver.find_element(By.LINK_TEXT, HISTORY_SERIAL).click()
    cs.wait_for(lambda: driver.current_url.endswith("/generators/" + HISTORY_SERIAL),
                "the generator page")
    for canvas in ["chart-exposures", "chart-errors", "chart-heat", "chart-codes"]:
        cs.wait_for(lambda: driver.execute_script(cs.PAINTED_PIXELS, canvas) > 500,
                    "pixels on " + canvas)
    check(len(driver.find_elements(By.CSS_SELECTOR, "#timeline tbody tr")) == 5,
          "the timeline does not list the five reports")
    check("kV recalibrated" in driver.find_element(By.ID, "history").text,
          "the service history misses the last visit")

    # Open its newest report and what changed since the previous one.
    driver.find_element(By.CSS_SELECTOR, "#timeline tbody tr:first-child td:first-child a").click()
    cs.wait_for(lambda: driver.find_elements(By.ID, "since-previous"), "the report page")
    driver.find_element(By.LINK_TEXT, "Since the previous report").click()
    counters = driver.find_element(By.ID, "changed-counters").text
    for name in ["X-Ray Exposure Count ( Total )", "Total Error Count",
                 "Sum of Heat Unit ( Total )", "Total Error Message Log"]:
        check(name in counters, "counter %r missing from %r" % (name, counters))
    check(len(driver.find_elements(By.CSS_SELECTOR, "#new-errors tbody tr")) == 2,
          "not two new error log entries")
    calibration = driver.find_element(By.ID, "changed-calibration").text
    check("High kV Offset" in calibration and "10 mA, 40 kV" in calibration,
          "calibration changes: %r" % calibration)

    # The site's HTML report, framed.
    frame = driver.find_element(By.CSS_SELECTOR, "iframe.report-frame")
    driver.switch_to.frame(frame)
    cs.wait_for(lambda: "System Infomation" in driver.find_element(By.TAG_NAME, "body").text,
                "the framed report")
    driver.switch_to.default_content()

    # Download the original: the same bytes as the file the site sent.
    driver.find_element(By.ID, "download").click()
    target = os.path.join(center.downloads, "report-%d.VOK" % HISTORY_NEWEST_FILE)
    cs.wait_for(lambda: os.path.exists(target) and not any(
        name.endswith(".crdownload") for name in os.listdir(center.downloads)),
        "the download", timeout=15)
    with open(target, "rb") as f:
        check(f.read() == center.report_file(HISTORY_NEWEST_FILE),
              "the downloaded file differs from the original")

    # Markup in a report's site strings and serial shows as text everywhere
    # and nothing in it runs.
    driver.get(base + "/?sort=hospital&dir=asc")
    pages = [("fleet", base + "/?sort=hospital&dir=asc")]
    link = driver.find_element(By.CSS_SELECTOR, "#fleet tbody tr:first-child td:first-child a")
    check(link.text == HOSTILE_SERIAL, "the serial shows as %r" % link.text)
    check(HOSTILE_HOSPITAL in driver.find_element(By.ID, "fleet").text,
          "the hospital is not shown as text")
    link.click()
    cs.wait_for(lambda: "/generators/" in driver.current_url, "the hostile generator")
    pages.append(("generator", driver.current_url))
    driver.find_element(By.CSS_SELECTOR, "#timeline tbody tr:first-child td:first-child a").click()
    cs.wait_for(lambda: driver.find_elements(By.ID, "since-previous"), "the hostile report")
    pages.append(("report", driver.current_url))
    for name, url in pages:
        driver.get(url)
        no_alert(driver, name)
        for injected in ["injected", "injected-cause"]:
            check(not driver.find_elements(By.ID, injected),
                  "an element from a report came alive on the %s page" % name)
        check(not driver.find_elements(By.CSS_SELECTOR, "main i, main b, main img"),
              "markup from a report rendered on the %s page" % name)
        body = driver.find_element(By.TAG_NAME, "body").text
        check(HOSTILE_SERIAL in body, "the serial is not shown as text on the %s page" % name)
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
    no_alert(driver, "generator")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--center", required=True)
    parser.add_argument("--fixture", required=True)
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
    center = cs.Center(args.center, args.fixture)
    driver = None
    try:
        driver = cs.chromium(1280, 800, downloads=center.downloads)
        test_console(center, driver)
    finally:
        if driver is not None:
            cs.quit(driver)
        center.close()
    print("console browser test passed in %.1f s" % (time.monotonic() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Screenshots of the console's pages in headless Chromium, at 1280x800 and
on a 390 px wide phone, from the demo fleet (without its hostile generator).

Usage: console_screenshots.py --center PATH --fixture PATH --out DIR
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import console_session as cs  # noqa: E402

SERIAL = "VK2041"


def shoot(driver, url, path, ready=None, anchor=None):
    from selenium.webdriver.common.by import By
    driver.get(url)
    if ready:
        ready()
    if anchor:
        driver.execute_script("document.getElementById(arguments[0]).scrollIntoView()", anchor)
    driver.find_element(By.TAG_NAME, "body")
    driver.save_screenshot(path)
    print(path)


def charts_drawn(driver):
    def ready():
        for canvas in ["chart-exposures", "chart-errors", "chart-heat", "chart-codes"]:
            cs.wait_for(lambda: driver.execute_script(cs.PAINTED_PIXELS, canvas) > 500,
                        "pixels on " + canvas)
    return ready


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--center", required=True)
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    out = lambda name: os.path.join(os.path.abspath(args.out), name)  # noqa: E731

    center = cs.Center(args.center, args.fixture, clean=True)
    try:
        newest = None
        for width, height, suffix in [(1280, 800, ""), (390, 844, "-phone")]:
            driver = cs.chromium(width, height)
            try:
                cs.log_in(driver, center.base)
                if newest is None:
                    from selenium.webdriver.common.by import By
                    driver.get(center.base + "/generators/" + SERIAL)
                    newest = driver.find_element(
                        By.CSS_SELECTOR, "#timeline tbody tr:first-child td:first-child a"
                    ).get_attribute("href")
                shoot(driver, center.base + "/", out("center-fleet%s.png" % suffix))
                shoot(driver, center.base + "/generators/" + SERIAL,
                      out("center-generator%s.png" % suffix), ready=charts_drawn(driver))
                shoot(driver, newest, out("center-report%s.png" % suffix),
                      anchor="since-previous" if suffix else None)
            finally:
                cs.quit(driver)
    finally:
        center.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())

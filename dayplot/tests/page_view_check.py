#!/usr/bin/python3
"""Opens a page in headless Chromium at a phone's and a desktop's width, screenshots it and
fails when it scrolls sideways or an image did not load.

page_view_check.py PAGE.html SHOT_FOLDER
prints one line per width: "WIDTHxHEIGHT scrollWidth=N images=M broken=K"."""
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

SIZES = [(360, 740), (1280, 800)]


def main(page, shots):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--hide-scrollbars"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    failed = False
    try:
        for width, height in SIZES:
            # A window has a least width; the device metrics give the exact viewport.
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": 1,
                "mobile": width < 500})
            driver.get("file://" + page)
            for _ in range(100):
                if driver.execute_script(
                        "return document.readyState === 'complete' && "
                        "Array.from(document.images).every(i => i.complete)"):
                    break
                time.sleep(0.1)
            scroll = driver.execute_script("return document.documentElement.scrollWidth")
            inner = driver.execute_script("return window.innerWidth")
            images = driver.execute_script("return document.images.length")
            broken = driver.execute_script(
                "return Array.from(document.images).filter(i => !i.naturalWidth).length")
            driver.save_screenshot("%s/page-%d.png" % (shots, width))
            print("%dx%d scrollWidth=%d innerWidth=%d images=%d broken=%d" %
                  (width, height, scroll, inner, images, broken))
            failed = failed or scroll > width or inner != width or broken > 0
    finally:
        driver.quit()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))

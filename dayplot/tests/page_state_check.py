#!/usr/bin/python3
"""Opens pages in headless Chromium at a phone's width (360 px), screenshots each into its
folder as page-360.png and prints one JSON line per page, named by its folder: what its
alert banners say, their colours, whether the page scrolls sideways, and the texts of
the SVG graphs it shows (all, and each image's own) (each parsed as XML; a file that is not well-formed fails).

page_state_check.py FOLDER/index.html..."""
import json
import os
import sys
import time
import xml.etree.ElementTree as ElementTree

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

WIDTH, HEIGHT = 360, 740


def main(pages):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--hide-scrollbars"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1, "mobile": True})
        for page in pages:
            driver.get("file://" + os.path.abspath(page))
            for _ in range(100):
                if driver.execute_script(
                        "return document.readyState === 'complete' && "
                        "Array.from(document.images).every(i => i.complete)"):
                    break
                time.sleep(0.1)
            seen = driver.execute_script("""
                const alerts = Array.from(document.querySelectorAll('[role=alert]'));
                return {banners: alerts.map(e => e.innerText.replace(/\\s+/g, ' ').trim()),
                        colours: alerts.map(e => getComputedStyle(e).backgroundColor),
                        top: alerts.length ? alerts[0].getBoundingClientRect().top : -1,
                        scrollWidth: document.documentElement.scrollWidth,
                        innerWidth: window.innerWidth,
                        dose: (document.querySelector('.dose') || {}).innerText || '',
                        doseColour: getComputedStyle(document.querySelector('.dose')).color};""")
            folder = os.path.dirname(os.path.abspath(page))
            seen["page"] = os.path.basename(folder)
            seen["images"] = driver.execute_script(
                "return Array.from(document.images).map(i => ({src: i.getAttribute('src'), "
                "width: i.getBoundingClientRect().width, natural: i.naturalWidth}))")
            seen["svgTexts"] = []
            for image in seen["images"]:
                if image["src"].endswith(".svg"):
                    from urllib.parse import unquote
                    tree = ElementTree.parse(os.path.join(folder, unquote(image["src"])))
                    image["texts"] = [t.strip() for e in tree.iter()
                                      if e.tag.endswith("text") for t in e.itertext()
                                      if t.strip()]
                    seen["svgTexts"] += image["texts"]
            driver.save_screenshot(os.path.join(folder, "page-%d.png" % WIDTH))
            print(json.dumps(seen, ensure_ascii=False), flush=True)
    finally:
        driver.quit()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

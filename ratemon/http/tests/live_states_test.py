#!/usr/bin/python3
"""The live page of a real-time station read in headless Chromium at a phone's width
(360 px): an alarm's banner at the top says so and since when; today's graph, drawn by the
page from the station's own minutes, gains each new minute within 2 s of its record line;
the events list shows today's events, or says there are none; the pulse-interval chart
has named axes with units; nothing scrolls sideways. RADMON_PAGE_SHOTS=DIR keeps the
screenshots. Usage: live_states_test.py PROGRAM_DIR"""
import glob
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

RATEMON = os.path.join(sys.argv[1], "ratemon")
WORK = tempfile.mkdtemp(prefix="radmon-live-states-")
failures, passes, children = [], [], []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    (passes if ok else failures).append(what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def station(name, cpm, *settings):
    """A real-time station on a simulated tube serving its live page; its folder and port."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    command = [RATEMON, "--station", folder, "--set", "tube_sensitivity=18"]
    for setting in settings:
        command += ["--set", setting]
    subprocess.run(command, check=True, capture_output=True)
    port = free_port()
    children.append(subprocess.Popen(
        [RATEMON, "--station", folder, "--lang", "en", "--headless", "--silent",
         "--input", "sim:%d" % cpm, "--http", str(port)],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    for _ in range(200):  # up to 20 s
        try:
            urllib.request.urlopen("http://127.0.0.1:%d/metrics" % port, timeout=1).read()
            return folder, port
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("ratemon --http %d never answered" % port)


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", "--hide-scrollbars"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 360, "height": 740, "deviceScaleFactor": 1, "mobile": True})
    return driver


def wait_for(driver, script, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.1)
    return driver.execute_script(script)


def record_lines(folder):
    return sum(open(f, "rb").read().count(b"\n")
               for f in glob.glob(os.path.join(folder, "data", "μSVHData*.csv")))


def test_quiet_station(driver):
    _, port = station("quiet", 20)
    driver.get("http://127.0.0.1:%d/" % port)
    events = wait_for(driver, "const l = document.querySelectorAll('#events li');"
                      "return l.length ? l[0].innerText : ''", 5)
    check(events == "No events today", "a day without events says so (%r)" % events)
    banners = driver.execute_script(
        "return document.querySelectorAll('[role=alert]').length")
    check(banners == 0, "a station measuring normally shows no banner (%d)" % banners)


def test_alarm_and_minutes(driver, shots):
    folder, port = station("alarm", 300, "alarm1=1", "alarm2=1", "alarm1_limit_usv_h=0.01",
                           "alarm2_limit_usv_h=0.02")
    driver.get("http://127.0.0.1:%d/" % port)
    banner = wait_for(driver, "const b = document.querySelector('[role=alert]');"
                      "return b ? b.innerText.replace(/\\s+/g, ' ') : ''", 90)
    check(banner.startswith("Alarm, second stage The dose rate passed the second stage's "
                            "alarm level. (since ") and banner.endswith(")"),
          "the alarm's banner says what and since when (%r)" % banner)
    top = driver.execute_script(
        "return document.querySelector('[role=alert]').getBoundingClientRect().top")
    check(0 <= top < 40, "the banner is at the top (%s px)" % top)
    frame = driver.execute_script(
        "return getComputedStyle(document.querySelector('.reading')).borderTopColor")
    colour = driver.execute_script(
        "return getComputedStyle(document.querySelector('[role=alert]')).backgroundColor")
    check(frame == colour == "rgb(176, 0, 32)", "the alarm's colour frames the reading (%s, %s)"
          % (frame, colour))

    # The first record line comes a minute after the start: the page's graph has it
    # within 2 s of its writing, from its own minutes rather than a graph dayplot drew.
    shown = driver.execute_script("return document.getElementById('day').dataset.minutes")
    lags = []
    for _ in range(2):
        lines = record_lines(folder)
        deadline = time.monotonic() + 75
        while record_lines(folder) == lines and time.monotonic() < deadline:
            time.sleep(0.02)
        written = time.monotonic()
        lines = record_lines(folder)
        while time.monotonic() < written + 5:
            if int(driver.execute_script(
                    "return document.getElementById('day').dataset.minutes")) >= lines:
                break
            time.sleep(0.05)
        lags.append(time.monotonic() - written)
        shown = driver.execute_script("return document.getElementById('day').dataset.minutes")
        check(int(shown) == lines and lags[-1] < 2,
              "the graph has the minute %s of %d within 2 s of its line (%.2f s)"
              % (shown, lines, lags[-1]))
    polyline = driver.execute_script(
        "const p = document.querySelector('#day polyline'); return p ? "
        "p.getAttribute('points').trim().split(' ').length : 0")
    check(polyline == int(shown), "the curve has a point a minute (%d)" % polyline)
    axes = driver.execute_script("return document.querySelector('#day svg').textContent")
    check("µSv/h" in axes and "Time of day (h)" in axes and "12" in axes,
          "today's graph names its axes (%r)" % axes)

    driver.execute_script("window.scrollTo(0, 0)")
    events = wait_for(driver, "return Array.from(document.querySelectorAll('#events li'))"
                      ".map(l => l.innerText).join('\\n')", 15)
    check("alarm" in events.lower(), "today's events are listed (%r)" % events[:200])
    chart = wait_for(driver, "const s = document.querySelector('#intervals svg');"
                     "return s ? s.textContent : ''", 15)
    check("Pulse interval (ms)" in chart and "Count" in chart and
          driver.execute_script("return document.querySelectorAll('#intervals rect').length") > 3,
          "the pulse-interval chart has bars and named axes (%r)" % chart[:80])
    width = driver.execute_script("return document.documentElement.scrollWidth")
    check(width <= 360, "no sideways scrolling at 360 px (%d)" % width)
    if shots:
        driver.save_screenshot(os.path.join(shots, "live-alarm-360.png"))
        driver.execute_script("document.getElementById('day').scrollIntoView()")
        driver.save_screenshot(os.path.join(shots, "live-day-graph-360.png"))


try:
    driver = browser()
    try:
        test_quiet_station(driver)
        test_alarm_and_minutes(driver, os.environ.get("RADMON_PAGE_SHOTS"))
    finally:
        driver.quit()
finally:
    for c in children:
        c.terminate()
        try:
            c.wait(10)
        except subprocess.TimeoutExpired:
            c.kill()
    shutil.rmtree(WORK, ignore_errors=True)
print("%d passed, %d failed" % (len(passes), len(failures)))
sys.exit(1 if failures else 0)

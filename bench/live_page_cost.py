#!/usr/bin/python3
"""The cost of the live page: a real-time headless ratemon on a simulated tube, its CPU
time (every thread's) and resident memory from /proc over SECONDS each without --http, with --http and
nobody reading, and with the page open in headless Chromium (and its event stream).
Usage: live_page_cost.py PROGRAM_DIR [SECONDS]"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

bin_dir, seconds = sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 60
work = tempfile.mkdtemp(prefix="radmon-live-bench-")


def cpu_and_rss(pid):
    # Every thread's time on a CPU, in nanoseconds (/proc's clock ticks are 10 ms).
    tasks = "/proc/%d/task" % pid
    cpu = sum(int(open("%s/%s/schedstat" % (tasks, t)).read().split()[0])
              for t in os.listdir(tasks)) / 1e9
    rss = next(int(l.split()[1]) for l in open("/proc/%d/status" % pid) if l.startswith("VmRSS"))
    return cpu, rss


def measure(label, args, browse=False):
    folder = os.path.join(work, label)
    os.makedirs(folder)
    ratemon = os.path.join(bin_dir, "ratemon")
    subprocess.run([ratemon, "--station", folder, "--set", "tube_sensitivity=18"], check=True,
                   capture_output=True)
    p = subprocess.Popen([ratemon, "--station", folder, "--headless", "--input", "sim:300", *args],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    driver = None
    try:
        time.sleep(5)
        if browse:
            from selenium import webdriver
            from selenium.webdriver.chrome.service import Service
            options = webdriver.ChromeOptions()
            for a in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage"):
                options.add_argument(a)
            driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
            driver.get("http://127.0.0.1:%s/" % args[1])
            # The page's own script follows /events; one more stream as a second reader.
            driver.execute_script("window.s = new EventSource('/events');")
            time.sleep(2)
        cpu0, _ = cpu_and_rss(p.pid)
        t0 = time.monotonic()
        time.sleep(seconds)
        cpu1, rss = cpu_and_rss(p.pid)
        share = 100 * (cpu1 - cpu0) / (time.monotonic() - t0)
        print("| %s | %.4f %% | %d MB |" % (label, share, rss // 1024), flush=True)
    finally:
        if driver:
            driver.quit()
        p.terminate()
        p.wait(10)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return str(s.getsockname()[1])


print("| ratemon | CPU (share of one core) | resident memory |\n|---|---:|---:|")
measure("without --http", [])
measure("--http, nobody reading", ["--http", free_port()])
measure("--http, the page open in Chromium", ["--http", free_port()], browse=True)
shutil.rmtree(work, ignore_errors=True)

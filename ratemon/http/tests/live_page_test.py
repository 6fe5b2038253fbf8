#!/usr/bin/python3
"""ratemon --http end to end: a hundred malformed requests leave a fast replay's record
lines as they are without them; a browser follows the live page of a real-time station;
Prometheus scrapes its metrics. Usage: live_page_test.py PROGRAM_DIR"""
import json
import os
import random
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

RATEMON = os.path.join(sys.argv[1], "ratemon")
DAYPLOT = os.path.join(sys.argv[1], "dayplot")
WORK = tempfile.mkdtemp(prefix="radmon-live-")
failures, passes, children = [], [], []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    (passes if ok else failures).append(what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def get(url, timeout=5):
    with urllib.request.urlopen(url, timeout=timeout) as r:
        return r.status, r.read().decode()


def ratemon(name, *args, wait=False, env=None, place=None):
    """A station of its own on a simulated tube; its process, or its day files when waited.
    With a place, dayplot.ini names the station and a graph of today lies in its data."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    subprocess.run([RATEMON, "--station", folder, "--set", "tube_sensitivity=18"], check=True,
                   capture_output=True)
    if place:
        subprocess.run([DAYPLOT, "--station", folder, "--set", "place=" + place], check=True,
                       capture_output=True)
        shutil.copy(os.path.join(os.path.dirname(__file__), "../../../docs/page-360.png"),
                    os.path.join(folder, "data", "μSVHGraph.jpg"))
    command = [RATEMON, "--station", folder, "--lang", "en", "--headless", *args]
    if wait:
        subprocess.run(command, check=True, capture_output=True)
        data = os.path.join(folder, "data")
        return {f: open(os.path.join(data, f), "rb").read() for f in sorted(os.listdir(data))
                if "Data" in f}
    p = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    children.append(p)
    port = args[args.index("--http") + 1]
    for _ in range(200):  # up to 20 s
        try:
            get("http://127.0.0.1:%s/metrics" % port, 1)
            return p
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("ratemon --http %s never answered" % port)


# Each kind of malformed request and the answers it may get ("" closed without one).
FUZZ = {
    "line": ([b"GARBAGE", b"GET", b"/ GET HTTP/1.1", b"GET  HTTP/1.1", b"GET / HTTP/1.1 extra",
              b"GET /" + b"a" * 70000 + b" HTTP/1.1", b"\x00GET / HTTP/1.1", b"GET / HTTP/x.y"],
             {"400", "404", "200", "431"}),  # Qt reads some odd lines as requests for a path
    "header": ([b"GET / HTTP/1.1\r\nX: " + b"a" * 200000, b"GET / HTTP/1.1\r\n" + b"H: v\r\n" * 20000,
                b"GET / HTTP/1.1\r\nno colon here"], {"400", "431", "200"}),
    "junk": ([None], {"400", ""}),  # random bytes
    "method": ([b"POST /metrics HTTP/1.1\r\nContent-Length: 3\r\n\r\nx=1", b"PUT / HTTP/1.1",
                b"DELETE /events HTTP/1.1", b"GET /settings HTTP/1.1"], {"404", "405"}),
    "half": ([b"", b"GET / HT", b"GET / HTTP/1.1\r\nHost: x\r\n"], {"held"}),  # never finished
}


def fuzz(port):
    rng, seen, held = random.Random(11), {}, []
    for i in range(100):
        kind = list(FUZZ)[i % len(FUZZ)]
        data = rng.choice(FUZZ[kind][0])
        if data is None:
            data = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 4096)))
        s = socket.create_connection(("127.0.0.1", port), timeout=1.5)
        if kind == "half":
            s.sendall(data)
            held.append(s)
            status = "held"
        else:
            try:
                s.sendall(data if data.endswith(b"x=1") else data + b"\r\n\r\n")
                status = s.recv(200).split(b"\r\n")[0].decode("latin-1")
            except (socket.timeout, ConnectionError):
                status = "timeout"
            s.close()
        seen.setdefault(kind, set()).add(status.split(" ")[1] if " " in status else status)
    for s in held:
        s.close()
    return seen


def test_fuzz():
    replay = ["--input", "sim:20,seed=7", "--fast", "--start", "2026-01-01 00:00:00",
              "--seconds", "259200"]  # three days, replayed in a few seconds
    plain = ratemon("plain", *replay, wait=True)
    port = free_port()
    p = ratemon("fuzzed", *replay, "--http", str(port))
    seen = fuzz(port)
    print("fuzz answers:", {k: sorted(v) for k, v in seen.items()})
    check(p.poll() is None and get("http://127.0.0.1:%d/metrics" % port)[0] == 200,
          "the replay went on through the fuzz and still answers")
    # The replay writes a record line every few milliseconds, each of which resets the
    # gauge: it stays near 0 while the replay runs, however long that has been.
    ages = []
    while p.poll() is None and len(ages) < 3:
        metrics = get("http://127.0.0.1:%d/metrics" % port)[1]
        ages.append(float(re.search(r"^radmon_seconds_since_last_record (\S+)$", metrics,
                                    re.M).group(1)))
        time.sleep(0.3)
    check(len(ages) >= 2 and max(ages) < 0.2,
          "the time since the last record line is reset by each line (%s)" % ages)
    check(p.wait(120) == 0, "the fuzzed replay ended cleanly")
    for kind, (_, allowed) in FUZZ.items():
        check(seen[kind] <= allowed, "%s: answers %s within %s" % (kind, seen[kind], allowed))
    check("400" in seen["line"] and "431" in seen["header"], "400 and 431 were given")
    folder = os.path.join(WORK, "fuzzed", "data")
    fuzzed = {f: open(os.path.join(folder, f), "rb").read() for f in plain}
    check(sum(v.count(b"\n") for v in plain.values()) == 259200 // 60, "every minute written")
    check(plain == fuzzed, "the record lines are those of the same replay without HTTP")


def test_browser_and_prometheus():
    port = free_port()
    base = "http://127.0.0.1:%d" % port
    # A locale that writes decimal commas, where installed (scripts/install-deps.sh).
    ratemon("live", "--input", "sim:300", "--http", str(port),
            env=dict(os.environ, LC_ALL="de_DE.UTF-8"), place="ハイデルベルク <Süd>")
    time.sleep(1.5)
    # The page dayplot publishes: the station's name, its graph and today's minutes; no
    # other file of the station.
    page = get(base + "/")[1]
    check("<title>ハイデルベルク &lt;Süd&gt;</title>" in page and
          'src="%CE%BCSVHGraph.jpg"' in page, "the page names the station and shows its graph")
    graph = urllib.request.urlopen(base + "/%CE%BCSVHGraph.jpg", timeout=5)
    check(graph.read() == open(os.path.join(WORK, "live", "data", "μSVHGraph.jpg"), "rb").read()
          and graph.headers["Content-Type"] == "image/jpeg", "the graph is served as it lies")
    check(json.loads(get(base + "/readings.json")[1])["station"] == "ハイデルベルク <Süd>",
          "today's minutes are served")
    for path in ("/ratemon.ini", "/dayplot.ini", "/..%2Fdayplot.ini",
                 "/data/%CE%BCSVHGraph.jpg", "/%CE%BCSVHGraph_20200101.jpg"):
        try:
            status = get(base + path)[0]
        except urllib.error.HTTPError as e:
            status = e.code
        check(status == 404, "%s is not served (%s)" % (path, status))
    samples = [l.rsplit(" ", 1)[1] for l in get(base + "/metrics")[1].splitlines()
               if l and not l.startswith("#")]
    check(all(s in ("NaN", "+Inf") or float(s) >= 0 for s in samples) and
          any("." in s for s in samples), "metrics numbers with decimal points under de_DE")

    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    for a in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage"):
        options.add_argument(a)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.set_script_timeout(10)
        driver.get(base + "/")
        check(driver.find_element("id", "dose").text != "", "the page shows a reading")
        check(driver.execute_script("return document.images[0].naturalWidth") > 0,
              "the browser shows the graph")
        # The browser's own EventSource: how long until a reading differs from the first.
        events, took = driver.execute_async_script("""
            const done = arguments[0], seen = [], start = performance.now();
            const es = new EventSource('/events');
            es.onmessage = (m) => { const e = JSON.parse(m.data); seen.push(e);
              if (e.time != seen[0].time || e.doseRate != seen[0].doseRate) {
                es.close(); done([seen, performance.now() - start]); } };
            setTimeout(() => { es.close(); done([seen, 1e9]); }, 4000);""")
        check(took < 2000, "the browser sees the reading change within 2 s (%d ms)" % took)
        check(all(isinstance(e["doseRate"], (int, float)) for e in events), "JSON numbers")
        first = driver.find_element("id", "time").text
        time.sleep(2)
        check(driver.find_element("id", "time").text != first, "the page updates itself")
    finally:
        driver.quit()

    prom_port = free_port()
    config = os.path.join(WORK, "prometheus.yml")
    with open(config, "w") as f:
        f.write("global: {scrape_interval: 1s}\nscrape_configs:\n  - job_name: radmon\n"
                "    static_configs: [{targets: ['127.0.0.1:%d']}]\n" % port)
    children.append(subprocess.Popen(
        ["prometheus", "--config.file=" + config, "--storage.tsdb.path=" + WORK + "/tsdb",
         "--web.listen-address=127.0.0.1:%d" % prom_port],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    query = "http://127.0.0.1:%d/api/v1/query?query=radmon_dose_rate_usv_per_hour" % prom_port
    value = None
    for _ in range(80):  # up to 40 s
        try:
            result = json.loads(get(query, 2)[1])["data"]["result"]
            if result:
                value = float(result[0]["value"][1])
                break
        except (OSError, ValueError, KeyError):
            pass
        time.sleep(0.5)
    check(value is not None and value > 0, "Prometheus returns the dose rate (%s)" % value)


try:
    test_fuzz()
    test_browser_and_prometheus()
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

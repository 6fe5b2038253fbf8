#!/usr/bin/python3
"""ratemon --http against careless and hostile clients, end to end: every method but GET
and HEAD refused with 405 and malformed heads with 400, whole or trickled in byte by
byte; a request head that is not whole within its deadline cut off however its bytes
trickle in; 200 slow connections from one address leaving the page to another address
within 2 s; a taken port told while the recording goes on and served once free; no Qt
warning in the log. Usage: live_guard_test.py PROGRAM_DIR"""
import os
import re
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

RATEMON = os.path.join(sys.argv[1], "ratemon")
WORK = tempfile.mkdtemp(prefix="radmon-guard-")
failures, passes, children = [], [], []
HEAD_DEADLINE = 10  # seconds, live_server.cpp's kHeadDeadline


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    (passes if ok else failures).append(what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(name, port):
    """A headless ratemon on a simulated tube in real time, serving on `port`; its
    process and the path of its log."""
    folder = os.path.join(WORK, name)
    os.makedirs(folder)
    subprocess.run([RATEMON, "--station", folder, "--set", "tube_sensitivity=18"], check=True,
                   capture_output=True)
    log = os.path.join(folder, "err.txt")
    p = subprocess.Popen([RATEMON, "--station", folder, "--lang", "en", "--headless",
                          "--input", "sim:20", "--http", str(port)],
                         stdout=subprocess.DEVNULL, stderr=open(log, "w"))
    children.append(p)
    return p, log


def metrics(port, timeout=2):
    with urllib.request.urlopen("http://127.0.0.1:%d/metrics" % port, timeout=timeout) as r:
        return r.read().decode()


def wait_served(port, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            return metrics(port)
        except OSError:
            time.sleep(0.1)
    return None


def whole_answers(data):
    """How many whole answers `data` holds (each head and as much body as it says)."""
    count = 0
    while True:
        end = data.find(b"\r\n\r\n")
        if end < 0:
            return count
        length = re.search(rb"^Content-Length: (\d+)", data[:end], re.M | re.I)
        size = end + 4 + (int(length.group(1)) if length else 0)
        if len(data) < size:
            return count
        count += 1
        data = data[size:]


def exchange(port, data, gap=0.0, source="127.0.0.1", timeout=5, answers=1):
    """Sends `data` (byte by byte `gap` seconds apart when given) and reads until
    `answers` whole answers came, the server closed or `timeout` passed; all it read."""
    s = socket.socket()
    s.settimeout(timeout)
    s.bind((source, 0))
    s.connect(("127.0.0.1", port))
    answer = b""
    try:
        if gap:
            # As a client does, it stops sending once the server has answered.
            for b in data:
                if select.select([s], [], [], 0)[0]:
                    break
                s.sendall(bytes([b]))
                time.sleep(gap)
        else:
            s.sendall(data)
        while whole_answers(answer) < answers:
            chunk = s.recv(65536)
            if not chunk:
                break
            answer += chunk
    except OSError:
        pass
    finally:
        s.close()
    return answer


def statuses(answer):
    return re.findall(rb"^HTTP/1\.1 (\d{3})", answer, re.M)


# Each head, and the answer it must get.
HEADS = [
    (b"TRACE / HTTP/1.1\r\nHost: x\r\n\r\n", b"405"),
    (b"get /metrics HTTP/1.1\r\nHost: x\r\n\r\n", b"405"),
    (b"Get /metrics HTTP/1.1\r\n\r\n", b"405"),
    (b"DELETE /events HTTP/1.1\r\n\r\n", b"405"),
    (b"OPTIONS * HTTP/1.1\r\n\r\n", b"405"),
    (b"POST /metrics HTTP/1.1\r\nContent-Length: 3\r\n\r\nx=1", b"405"),
    (b"GET / HTTP/9.9\r\nHost: x\r\n\r\n", b"400"),
    (b"GET / HTTP/1.1\r\nno colon here\r\n\r\n", b"400"),
    (b"GET / HTTP/1.1\r\nContent-Length: -5\r\n\r\n", b"400"),
    (b"GET / HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nxx", b"400"),
    (b"GET / HTTP/1.1\r\n: no name\r\n\r\n", b"400"),
    (b"GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", b"400"),
    (b"GET noslash HTTP/1.1\r\n\r\n", b"400"),
    (b"GET / HTTP/1.1 extra\r\n\r\n", b"400"),
    (b"GET /metrics HTTP/1.1\r\nHost: x\r\n\r\n", b"200"),
    (b"GET /metrics HTTP/1.0\n\n", b"200"),
    (b"GET /nothing/here HTTP/1.1\r\n\r\n", b"404"),
]


def test_methods_and_heads(port):
    for trickle in (0.0, 0.002):
        for head, want in HEADS:
            got = statuses(exchange(port, head, gap=trickle))
            check(got[:1] == [want], "%r%s: %s" % (head[:40], " trickled" if trickle else "",
                                                  got[:1]))
    answer = exchange(port, b"TRACE / HTTP/1.1\r\n\r\n")
    check(b"\r\nAllow: GET, HEAD\r\n" in answer, "405 names GET and HEAD")
    answer = exchange(port, b"HEAD /metrics HTTP/1.1\r\nHost: x\r\n\r\n")
    head, _, body = answer.partition(b"\r\n\r\n")
    length = re.search(rb"Content-Length: (\d+)", head, re.I)
    check(statuses(answer) == [b"200"] and length and int(length.group(1)) > 0 and body == b"",
          "HEAD: the answer's head with its length, and no body (%d bytes)" % len(body))
    # Two requests on one connection, in one segment: both answered, in order.
    answer = exchange(port, b"GET /metrics HTTP/1.1\r\n\r\nGET /nothing/here HTTP/1.1\r\n\r\n",
                      answers=2)
    check(statuses(answer) == [b"200", b"404"], "pipelined requests: %s" % statuses(answer))


def test_head_deadline(port):
    """Bytes every half second do not keep an unfinished head alive."""
    s = socket.create_connection(("127.0.0.1", port), timeout=1)
    opened = time.monotonic()
    s.sendall(b"GET / HTTP/1.1\r\nX-Slow: ")
    answer, took = b"", None
    while time.monotonic() - opened < HEAD_DEADLINE + 10:
        try:
            s.sendall(b"a")
            chunk = s.recv(4096)
            if not chunk:
                break
            answer += chunk
            took = time.monotonic() - opened
        except socket.timeout:
            continue
        except OSError:
            break
    s.close()
    check(statuses(answer) == [b"408"] and took is not None and
          HEAD_DEADLINE - 0.5 <= took <= HEAD_DEADLINE + 2,
          "a trickled head is cut off with 408 at its deadline (%s s, %s)" % (
              took and round(took, 2), statuses(answer)))


def test_slow_crowd(port):
    """200 slow half-open connections from 127.0.0.1, each sending a byte a second and
    coming back when closed; a client at 127.0.0.2 asks for the page meanwhile."""
    stop = threading.Event()
    opened = [0]

    def crowd():
        conns = []
        while not stop.is_set():
            while len(conns) < 200:
                c = socket.socket()
                c.setblocking(False)
                c.connect_ex(("127.0.0.1", port))
                conns.append(c)
                opened[0] += 1
            time.sleep(1)
            for c in list(conns):
                try:
                    c.send(b"G")
                except OSError:
                    conns.remove(c)
                    c.close()
        for c in conns:
            c.close()

    t = threading.Thread(target=crowd)
    t.start()
    time.sleep(2)
    worst, answered, tries = 0.0, 0, 0
    end = time.monotonic() + HEAD_DEADLINE + 4  # past the crowd's first deadline
    while time.monotonic() < end:
        tries += 1
        began = time.monotonic()
        answer = exchange(port, b"GET / HTTP/1.1\r\nHost: x\r\n\r\n", source="127.0.0.2",
                          timeout=5)
        took = time.monotonic() - began
        worst = max(worst, took)
        answered += statuses(answer)[:1] == [b"200"] and took < 2
        time.sleep(0.5)
    stop.set()
    t.join()
    check(answered == tries, "another address had the page %d of %d times within 2 s while "
          "%d slow connections came (slowest %.2f s)" % (answered, tries, opened[0], worst))


def test_taken_port():
    port = free_port()
    holder = socket.socket()
    holder.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    holder.bind(("127.0.0.1", port))
    holder.listen()
    p, log = start("taken", port)
    time.sleep(6)
    text = open(log).read()
    check(p.poll() is None, "ratemon goes on with its port taken")
    check("The live page cannot be opened at 127.0.0.1:%d" % port in text and
          "Measuring goes on" in text, "the taken port is told")
    held_since = time.monotonic()
    holder.close()
    served = wait_served(port, 12)
    check(served is not None, "the page is served once the port is free (after %.1f s)" %
          (time.monotonic() - held_since))
    elapsed = re.search(r"^radmon_elapsed_seconds (\d+)", served or "", re.M)
    check(elapsed is not None and int(elapsed.group(1)) >= 5,
          "the recording ran meanwhile (%s s)" % (elapsed and elapsed.group(1)))
    text = open(log).read()
    check(text.count("cannot be opened at") == 1 and
          "Live page: http://127.0.0.1:%d/" % port in text, "told once, and told when open")


def stray_lines(log):
    """The lines of the headless log that are not its sentences with their time, such as
    Qt's warnings."""
    return [l for l in open(log).read().splitlines()
            if l and not re.match(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d ", l)]


try:
    port = free_port()
    p, log = start("guarded", port)
    if wait_served(port, 20) is None:
        raise RuntimeError("ratemon --http %d never answered" % port)
    before = stray_lines(log)  # what ratemon says at its start
    test_methods_and_heads(port)
    test_head_deadline(port)
    test_slow_crowd(port)
    check(p.poll() is None and wait_served(port, 2) is not None, "ratemon still serves")
    stray = stray_lines(log)[len(before):]
    check(not stray, "the requests put nothing into the log: %s" % stray[:3])
    test_taken_port()
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

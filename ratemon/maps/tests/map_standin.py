#!/usr/bin/python3
"""Local stand-ins for radmon.org, GMCmap and the Safecast API, on 127.0.0.1.

Each accepts only the request its service documents (docs/maps.md): the method, the
path, exactly the query and form fields, the content type. Anything else gets 400.
Every accepted request is appended to LOG as one JSON line {"service":..., "fields":...}.
A file "fail_<service>" in the log's folder holding a number N makes that service
answer 500 to its next N requests (the number counts down).

radmon.org and GMCmap answer 200 whether they take a reading or not, and say which in the
body, as the services do: radmon.org "OK", "Incorrect login." for a wrong password and a
request to register for an unknown user; GMCmap "OK", "ERR1. ..." for an unknown account
and "ERR2. ..." for an unknown counter. Which accounts they know is read at each request
from "accounts.json" in the log's folder: {"radmon": {"user": "password"}, "gmcmap":
{"account id": ["counter id", ...]}}; without the file, or a service in it, they know
every account. A refused reading is not logged.

usage: map_standin.py LOG PORTFILE [PORT]
"""
import json
import os
import signal
import sys
from http.server import BaseHTTPRequestHandler, HTTPServer
from urllib.parse import parse_qs, urlsplit

LOG, PORTFILE = sys.argv[1], sys.argv[2]
PORT = int(sys.argv[3]) if len(sys.argv) > 3 else 0
FOLDER = os.path.dirname(os.path.abspath(LOG))


def number(text):
    float(text)
    return text


def whole(text):
    int(text)
    return text


def utc(text):
    # 2026-03-02T00:01:00Z
    if len(text) != 20 or text[10] != "T" or not text.endswith("Z"):
        raise ValueError(text)
    return text


def exactly(word):
    def check(text):
        if text != word:
            raise ValueError(text)
        return text
    return check


# method, path, content type, required query fields, required form fields, optional form
SERVICES = {
    "radmon": ("GET", "/radmon.php", None,
               {"function": exactly("submit"), "user": str,
                "password": str, "value": whole, "unit": exactly("CPM")},
               None, set()),
    "gmcmap": ("GET", "/log2.asp", None,
               {"AID": str, "GID": str, "CPM": whole, "ACPM": number, "uSV": number}, None,
               set()),
    "safecast": ("POST", "/measurements.json", "application/x-www-form-urlencoded",
                 {"api_key": str},
                 {"measurement[captured_at]": utc, "measurement[latitude]": number,
                  "measurement[longitude]": number,
                  "measurement[unit]": exactly("cpm"),
                  "measurement[value]": whole, "measurement[device_id]": str},
                 {"measurement[device_id]"}),
}


def checked(fields, wanted, optional=frozenset()):
    """The single values of `fields` when they are exactly `wanted`, each passing its check."""
    if not set(wanted) - set(optional) <= set(fields) or not set(fields) <= set(wanted):
        raise ValueError("fields %s" % sorted(fields))
    out = {}
    for key, values in fields.items():
        if len(values) != 1:
            raise ValueError(key)
        wanted[key](values[0])
        out[key] = values[0]
    return out


def failing(service):
    path = os.path.join(FOLDER, "fail_" + service)
    try:
        with open(path) as f:
            left = int(f.read().strip() or "0")
    except (OSError, ValueError):
        return False
    if left <= 0:
        return False
    with open(path, "w") as f:
        f.write(str(left - 1))
    return True


def account_refusal(name, fields):
    """The body a service of the current reading answers a reading it does not take with."""
    try:
        with open(os.path.join(FOLDER, "accounts.json")) as f:
            known = json.load(f).get(name)
    except OSError:
        known = None
    if known is None:
        return None
    if name == "radmon":
        if fields["user"] not in known:
            return "User %s does not exist. Please register first." % fields["user"]
        if known[fields["user"]] != fields["password"]:
            return "Incorrect login."
    if name == "gmcmap":
        if fields["AID"] not in known:
            return "ERR1. User is not found."
        if fields["GID"] not in known[fields["AID"]]:
            return "ERR2. Geiger Counter is not found."
    return None


class Handler(BaseHTTPRequestHandler):
    def answer(self, status, text):
        body = text.encode()
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def handle_any(self):
        url = urlsplit(self.path)
        for name, (method, path, ctype, query, form, optional) in SERVICES.items():
            if url.path != path:
                continue
            try:
                if self.command != method:
                    raise ValueError("method")
                fields = checked(parse_qs(url.query, keep_blank_values=True), query)
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length).decode() if length else ""
                if form is None:
                    if body:
                        raise ValueError("body")
                else:
                    if self.headers.get("Content-Type") != ctype:
                        raise ValueError("content type")
                    fields.update(checked(parse_qs(body, keep_blank_values=True), form, optional))
            except (ValueError, TypeError) as e:
                return self.answer(400, "bad request: %s\n" % e)
            if failing(name):
                return self.answer(500, "try later\n")
            refusal = account_refusal(name, fields)
            if refusal:
                return self.answer(200, refusal)
            with open(LOG, "a") as f:
                f.write(json.dumps({"service": name, "fields": fields}) + "\n")
            # radmon.org and GMCmap answer with a short text, Safecast with the new record.
            if name == "safecast":
                return self.answer(201, json.dumps(fields))
            return self.answer(200, "OK\n")
        self.answer(400, "unknown path\n")

    do_GET = handle_any
    do_POST = handle_any

    def log_message(self, format, *args):
        # Every request and its answer, for a failing test to show.
        with open(os.path.join(FOLDER, "requests.txt"), "a") as f:
            f.write("%s %s\n" % (self.log_date_time_string(), format % args))


# SIGTERM ends it between requests, as a service going down answers what it took: a
# request logged here always had its answer sent.
stopping = []
signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
server = HTTPServer(("127.0.0.1", PORT), Handler)
server.timeout = 0.05
with open(PORTFILE + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(PORTFILE + ".tmp", PORTFILE)
while not stopping:
    server.handle_request()
server.server_close()

#!/usr/bin/python3
"""An FTP server on 127.0.0.1 that reads uploads at a set pace, as a host on a slow line
does: pyftpdlib's throttled data channel. It writes its port into PORTFILE once it
listens, and for each upload a line "received SECONDS NAME SIZE" into received.txt
beside PORTFILE (seconds since it started).

usage: throttled_ftp.py ROOT PORTFILE BYTES_PER_SECOND USER PASSWORD"""
import os
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

ROOT, PORTFILE, PACE, USER, PASSWORD = sys.argv[1:6]
START = time.monotonic()
RECEIVED = os.path.join(os.path.dirname(os.path.abspath(PORTFILE)), "received.txt")


class Handler(FTPHandler):
    def on_file_received(self, file):
        with open(RECEIVED, "a") as f:
            f.write("received %.3f %s %d\n" % (time.monotonic() - START, os.path.basename(file),
                                               os.path.getsize(file)))


class Slow(ThrottledDTPHandler):
    read_limit = int(PACE)


authorizer = DummyAuthorizer()
authorizer.add_user(USER, PASSWORD, ROOT, perm="elradfmw")
Handler.authorizer = authorizer
Handler.dtp_handler = Slow
server = FTPServer(("127.0.0.1", 0), Handler)
with open(PORTFILE + ".tmp", "w") as f:
    f.write(str(server.address[1]))
os.replace(PORTFILE + ".tmp", PORTFILE)
server.serve_forever()

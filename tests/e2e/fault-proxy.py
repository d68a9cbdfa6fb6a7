#!/usr/bin/env python3
"""A broken service in front of the real one, for the end-to-end runs.

    fault-proxy.py PORT UPSTREAM_PORT FAULTS_FILE

Listens on 127.0.0.1:PORT and passes every GET to the service on
127.0.0.1:UPSTREAM_PORT, except where the words in FAULTS_FILE (read at each
request) say otherwise:
  getcode-page  the update check answers a proxy's "502 Bad Gateway" page
  cut-box       the new box's connection closes half-way through its body
  hold-launcher a launcher's answer stops half-way through its body and the
                connection stays open, silent: a box killed then has half of it
  cut-launcher-once  a launcher's first answer closes half-way through its body
Range and If-Range go to the service, and its validators and Content-Range come
back. Each request is logged as "GET PATH" on stdout, with "RANGE PATH VALUE"
after it when it asked for a range; each answer's body as "SENT PATH BYTES",
a held one as "HELD PATH BYTES"; "listening" once it listens.
"""
import http.server
import sys
import time
import urllib.error
import urllib.request

port, upstream, faults_file = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))  # loopback: no proxy
cut_once = set()  # the launchers whose first answer was cut


def faults():
    try:
        with open(faults_file) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


class Proxy(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        print("GET " + self.path, flush=True)
        active = faults()
        if "getcode-page" in active and self.path.startswith("/getcode/"):
            page = b"<html><body><h1>502 Bad Gateway</h1></body></html>"
            return self.answer(502, "text/html", page)
        if self.headers.get("Range"):
            print("RANGE %s %s" % (self.path, self.headers["Range"]), flush=True)
        request = urllib.request.Request("http://127.0.0.1:%d%s" % (upstream, self.path))
        for name in ("Authorization", "Range", "If-Range"):
            if self.headers.get(name):
                request.add_header(name, self.headers[name])
        try:
            with direct.open(request, timeout=30) as reply:
                status, headers, body = reply.status, reply.headers, reply.read()
        except urllib.error.HTTPError as error:
            status, headers, body = error.code, error.headers, error.read()
        passed = {name: headers[name] for name in ("ETag", "Last-Modified", "Content-Range", "Accept-Ranges")
                  if headers.get(name)}
        launcher = self.path.startswith("/getvalue/") and self.path.endswith(".exe") and self.path != "/getvalue/box.exe"
        hold = "hold-launcher" in active and launcher
        cut = ("cut-box" in active and self.path == "/getvalue/box.exe") or (
            "cut-launcher-once" in active and launcher and self.path not in cut_once)
        if cut and launcher:
            cut_once.add(self.path)
        self.answer(status, headers.get("Content-Type", ""), body, len(body) // 2 if cut or hold else None, passed)
        if hold:
            print("HELD %s %d" % (self.path, len(body) // 2), flush=True)
            time.sleep(120)  # silent, until the box is killed or the run ends

    def answer(self, status, kind, body, cut_at=None, extra=None):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        self.end_headers()
        sent = body if cut_at is None else body[:cut_at]
        self.wfile.write(sent)
        self.wfile.flush()
        if self.path.startswith("/getvalue/"):
            print("SENT %s %d" % (self.path, len(sent)), flush=True)
        if cut_at is not None:
            self.close_connection = True

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Proxy)
print("listening", flush=True)
server.serve_forever()

#!/usr/bin/env python3
"""A broken service in front of the real one, for the end-to-end runs.

    fault-proxy.py PORT UPSTREAM_PORT FAULTS_FILE

Listens on 127.0.0.1:PORT and passes every GET to the service on
127.0.0.1:UPSTREAM_PORT, except where the words in FAULTS_FILE (read at each
request) say otherwise:
  getcode-page  the update check answers a proxy's "502 Bad Gateway" page
  cut-box       the new box's connection closes half-way through its body
Each request is logged as "GET PATH" on stdout; "listening" once it listens.
"""
import http.server
import sys
import urllib.error
import urllib.request

port, upstream, faults_file = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
direct = urllib.request.build_opener(urllib.request.ProxyHandler({}))  # loopback: no proxy


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
        request = urllib.request.Request("http://127.0.0.1:%d%s" % (upstream, self.path))
        if self.headers.get("Authorization"):
            request.add_header("Authorization", self.headers["Authorization"])
        try:
            with direct.open(request, timeout=30) as reply:
                status, kind, body = reply.status, reply.headers.get("Content-Type", ""), reply.read()
        except urllib.error.HTTPError as error:
            status, kind, body = error.code, error.headers.get("Content-Type", ""), error.read()
        cut = "cut-box" in active and self.path == "/getvalue/box.exe"
        self.answer(status, kind, body, len(body) // 2 if cut else None)

    def answer(self, status, kind, body, cut_at=None):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body if cut_at is None else body[:cut_at])
        self.wfile.flush()
        if cut_at is not None:
            self.close_connection = True

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Proxy)
print("listening", flush=True)
server.serve_forever()

#!/usr/bin/env python3
"""A local key-database site for the demo and the tests (Python 3 standard library only).

Usage:
  keysite.py [--port N] [--data DIR] [--log FILE] [--delay S] [--trickle S] [--escape]
      Serves on 127.0.0.1:N (default 8976; 0 picks a free port). Prints
      "keysite listening on http://127.0.0.1:PORT" once it accepts connections.
  keysite.py --background --port N [--out FILE] [...]
      Starts the site detached from the terminal and returns once it listens (for test fixtures).
  keysite.py --stop --port N
      Asks the site on that port to quit.

Pages:
  GET /dianyin_<title>.html   the page of <title> from DIR/<title>.html (UTF-8 files, default: the
                              data folder beside this script). The title may arrive as raw code
                              page 936 bytes or percent-encoded (936 or UTF-8); unknown titles get
                              a 404 page in the site's own style.
  ANY /echo                   answers with the request exactly as received.
  ANY /bytes/<n>              a body of exactly n bytes ("0123456789abcdef" repeated).
  ANY /zero                   the body "before" + one zero byte + "after".

Switches for any page, as query parameters (or as command-line defaults):
  delay=S      wait S seconds before answering
  trickle=S    send the body in chunks of `chunk` bytes (default 64), S seconds apart
  cut=N        announce the full length but close the connection after N body bytes
  escape=1     percent-escape every byte of the body outside printable ASCII
  headers=N    add a header line "X-Filler: " with N bytes of filler (long header blocks)

Control paths (never recorded):
  /__last      the last recorded request, raw: request line, header lines, blank line, body
  /__log       every recorded request since the start or the last reset, as a JSON array
  /__reset     forget the recorded requests
  /__quit      stop the site

Every other request is recorded (and appended as one JSON line to --log FILE when given), so a
test can assert exactly what its client sent.
"""

import argparse
import json
import os
import socket
import socketserver
import subprocess
import sys
import threading
import time
import urllib.error
import urllib.parse
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_DATA = os.path.join(HERE, "data")
HEADER_LIMIT = 64 * 1024

NOT_FOUND_PAGE = """<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><title>页面不存在 - 电音基调库</title></head>
<body>
<div class="header">电音基调库</div>
<div class="error"><h1>404</h1><p>抱歉，这首歌还没有人分享基调。</p></div>
</body>
</html>
"""


def percent_escape(body):
    """Escapes every byte outside printable ASCII (and '%' itself) as %XX."""
    out = bytearray()
    for byte in body:
        if 0x20 <= byte < 0x7F and byte != 0x25:
            out.append(byte)
        else:
            out += b"%%%02X" % byte
    return bytes(out)


def pattern_bytes(count):
    unit = b"0123456789abcdef"
    return (unit * (count // len(unit) + 1))[:count]


class Request:
    def __init__(self, head, body):
        self.head = head
        self.body = body
        lines = head.split(b"\r\n")
        # A client that does not escape its object path may send blanks in the target, so the
        # method ends at the first blank and the version starts after the last one.
        self.method, _, rest = lines[0].partition(b" ")
        self.target, _, self.version = rest.rpartition(b" ")
        self.headers = []
        for line in lines[1:]:
            if line:
                name, _, value = line.partition(b":")
                self.headers.append((name.decode("latin-1"), value.strip().decode("latin-1")))
        path, _, query = self.target.partition(b"?")
        self.path = path
        self.query = dict(urllib.parse.parse_qsl(query.decode("latin-1")))

    def header(self, name):
        for key, value in self.headers:
            if key.lower() == name.lower():
                return value
        return None

    def raw(self):
        return self.head + b"\r\n\r\n" + self.body

    def record(self):
        return {
            "method": self.method.decode("latin-1"),
            # The target with every byte outside printable ASCII as %XX, so raw code page 936
            # bytes and a percent-encoded target can be told apart.
            "target": percent_escape(self.target).decode("ascii"),
            "version": self.version.decode("latin-1"),
            "headers": self.headers,
            "body": self.body.decode("latin-1"),
        }


def title_candidates(raw_title):
    """The title as text, from raw 936 bytes or from its percent-encoded form (936 or UTF-8)."""
    seen = []
    for data in (raw_title, urllib.parse.unquote_to_bytes(raw_title)):
        for encoding in ("gb18030", "utf-8"):
            try:
                text = data.decode(encoding)
            except UnicodeDecodeError:
                continue
            if text not in seen:
                seen.append(text)
    return seen


class Site(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

    def __init__(self, port, options):
        super().__init__(("127.0.0.1", port), Handler)
        self.options = options
        self.lock = threading.Lock()
        self.requests = []

    def remember(self, request):
        with self.lock:
            self.requests.append(request)
            if self.options.log:
                with open(self.options.log, "a", encoding="utf-8") as log:
                    log.write(json.dumps(request.record(), ensure_ascii=False) + "\n")

    def page(self, raw_title):
        for title in title_candidates(raw_title):
            if not title or "/" in title or "\\" in title or title.startswith("."):
                continue
            path = os.path.join(self.options.data, title + ".html")
            if os.path.isfile(path):
                with open(path, "rb") as page:
                    return page.read()
        return None


class Handler(socketserver.StreamRequestHandler):
    def read_request(self):
        head = b""
        while b"\r\n\r\n" not in head:
            chunk = self.connection.recv(4096)
            if not chunk:
                return None
            head += chunk
            if len(head) > HEADER_LIMIT:
                return None
        head, _, body = head.partition(b"\r\n\r\n")
        request = Request(head, b"")
        try:
            length = int(request.header("Content-Length") or 0)
        except ValueError:
            length = 0
        while len(body) < length:
            chunk = self.connection.recv(length - len(body))
            if not chunk:
                break
            body += chunk
        request.body = body
        return request

    def handle(self):
        request = self.read_request()
        if request is None:
            return
        site = self.server
        path = request.path
        if path.startswith(b"/__"):
            self.control(path)
            return
        site.remember(request)

        status, body = 200, None
        if path.startswith(b"/dianyin_") and path.endswith(b".html"):
            body = site.page(path[len(b"/dianyin_"):-len(b".html")])
        elif path == b"/echo":
            body = request.raw()
        elif path.startswith(b"/bytes/"):
            try:
                body = pattern_bytes(max(0, int(path[len(b"/bytes/"):])))
            except ValueError:
                body = None
        elif path == b"/zero":
            body = b"before\0after"
        if body is None:
            status, body = 404, NOT_FOUND_PAGE.encode("utf-8")
        self.answer(request, status, body)

    def option(self, request, name, default):
        value = request.query.get(name)
        if value is None:
            return default
        try:
            return float(value)
        except ValueError:
            return default

    def answer(self, request, status, body):
        options = self.server.options
        delay = self.option(request, "delay", options.delay)
        trickle = self.option(request, "trickle", options.trickle)
        chunk = max(1, int(self.option(request, "chunk", 64)))
        cut = self.option(request, "cut", None)
        if request.query.get("escape") == "1" or options.escape:
            body = percent_escape(body)
        if delay > 0:
            time.sleep(delay)
        reason = b"OK" if status == 200 else b"Not Found"
        filler = int(self.option(request, "headers", 0))
        head = (b"HTTP/1.1 %d %s\r\nContent-Type: text/html; charset=utf-8\r\n"
                b"Content-Length: %d\r\nConnection: close\r\n" % (status, reason, len(body)))
        if filler > 0:
            head += b"X-Filler: " + b"x" * filler + b"\r\n"
        head += b"\r\n"
        sent = body if cut is None else body[:max(0, int(cut))]
        try:
            self.connection.sendall(head)
            if trickle > 0:
                for start in range(0, len(sent), chunk):
                    self.connection.sendall(sent[start:start + chunk])
                    time.sleep(trickle)
            else:
                self.connection.sendall(sent)
        except OSError:
            return
        if cut is not None:
            # Drop the connection without an orderly end, as a server that fails mid-body does.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       b"\x01\x00\x00\x00\x00\x00\x00\x00")

    def control(self, path):
        site = self.server
        with site.lock:
            if path == b"/__last":
                body = site.requests[-1].raw() if site.requests else b""
            elif path == b"/__log":
                body = json.dumps([r.record() for r in site.requests], ensure_ascii=False)
                body = body.encode("utf-8")
            elif path == b"/__reset":
                site.requests.clear()
                body = b"reset"
            elif path == b"/__quit":
                body = b"bye"
            else:
                body = b""
        head = (b"HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-8\r\n"
                b"Content-Length: %d\r\nConnection: close\r\n\r\n" % len(body))
        self.connection.sendall(head + body)
        if path == b"/__quit":
            threading.Thread(target=site.shutdown, daemon=True).start()


def wait_until_listening(port, seconds):
    deadline = time.monotonic() + seconds
    while True:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
            return True
        except OSError:
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)


def stop(port):
    try:
        urllib.request.urlopen("http://127.0.0.1:%d/__quit" % port, timeout=5).read()
    except (urllib.error.URLError, OSError):
        pass  # nothing listens there: already stopped
    return 0


def start_in_background(args):
    """Runs this script again, detached and with its output in a file, and waits for it."""
    if args.port == 0:
        sys.exit("--background needs a fixed --port")
    command = [sys.executable, os.path.abspath(__file__), "--port", str(args.port),
               "--data", args.data, "--delay", str(args.delay), "--trickle", str(args.trickle)]
    if args.log:
        command += ["--log", args.log]
    if args.escape:
        command.append("--escape")
    with open(args.out or os.devnull, "ab") as out:
        child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                                 start_new_session=True)
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        if child.poll() is not None:
            # The port is taken. A site left running there (e.g. by an interrupted test run)
            # serves just as well; anything else is an error.
            if is_keysite(args.port):
                print("keysite already running on port %d" % args.port)
                return 0
            sys.exit("keysite could not listen on port %d" % args.port)
        if wait_until_listening(args.port, 0.2):
            return 0
    sys.exit("keysite did not start on port %d" % args.port)


def is_keysite(port):
    try:
        answer = urllib.request.urlopen("http://127.0.0.1:%d/__log" % port, timeout=5).read()
        return answer.startswith(b"[")
    except (urllib.error.URLError, OSError):
        return False


def main():
    parser = argparse.ArgumentParser(description="Local key-database site.")
    parser.add_argument("--port", type=int, default=8976)
    parser.add_argument("--data", default=DEFAULT_DATA, help="folder of <title>.html pages")
    parser.add_argument("--log", help="append every request as a JSON line to this file")
    parser.add_argument("--delay", type=float, default=0.0, help="seconds before each answer")
    parser.add_argument("--trickle", type=float, default=0.0, help="seconds between body chunks")
    parser.add_argument("--escape", action="store_true", help="percent-escape every body")
    parser.add_argument("--background", action="store_true", help="start detached, then return")
    parser.add_argument("--out", help="with --background: file for the site's output")
    parser.add_argument("--stop", action="store_true", help="stop the site on --port")
    args = parser.parse_args()

    if args.stop:
        return stop(args.port)
    if args.background:
        return start_in_background(args)
    site = Site(args.port, args)
    print("keysite listening on http://127.0.0.1:%d" % site.server_address[1], flush=True)
    with site:
        site.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())

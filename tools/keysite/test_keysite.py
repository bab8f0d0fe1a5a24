#!/usr/bin/env python3
"""Checks the local key-database site over real sockets: page lookup by title in every form a
client may send it, the request record, and the switchable behaviours."""

import json
import os
import socket
import subprocess
import sys
import unittest
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))


def exchange(port, raw):
    """Sends raw request bytes; returns (status line, body) of the answer."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as conn:
        conn.sendall(raw)
        data = b""
        while True:
            chunk = conn.recv(65536)
            if not chunk:
                break
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    return head.split(b"\r\n")[0], body


def get(port, target):
    return exchange(port, b"GET " + target + b" HTTP/1.1\r\nHost: x\r\n\r\n")


class KeySiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.site = subprocess.Popen([sys.executable, os.path.join(HERE, "keysite.py"), "--port", "0"],
                                    stdout=subprocess.PIPE, text=True)
        cls.port = int(cls.site.stdout.readline().rsplit(":", 1)[1])

    @classmethod
    def tearDownClass(cls):
        get(cls.port, b"/__quit")
        cls.site.wait(10)
        cls.site.stdout.close()

    def test_page_found_by_raw_936_and_percent_encoded_titles(self):
        title = "青石巷"
        for target in (b"/dianyin_" + title.encode("gbk") + b".html",
                       b"/dianyin_" + urllib.parse.quote(title.encode("gbk")).encode() + b".html",
                       b"/dianyin_" + urllib.parse.quote(title).encode() + b".html"):
            with self.subTest(target=target):
                status, body = get(self.port, target)
                self.assertIn(b"200", status)
                self.assertIn("基调：C大调<br/>".encode("utf-8"), body)

    def test_title_with_blank_and_unknown_title(self):
        status, body = get(self.port, "/dianyin_晚风 七月.html".encode("gbk"))
        self.assertIn(b"200", status)
        self.assertIn("《晚风 七月》".encode("utf-8"), body)
        for target in ("/dianyin_没有这首歌.html".encode("gbk"), b"/dianyin_..%2Fkeysite.html",
                       b"/other"):
            with self.subTest(target=target):
                status, body = get(self.port, target)
                self.assertIn(b"404", status)
                self.assertIn("页面不存在".encode("utf-8"), body)

    def test_records_request_exactly(self):
        get(self.port, b"/__reset")
        raw = b"POST /echo?x=1 HTTP/1.1\r\nHost: h\r\nB-Second: 2\r\nContent-Length: 3\r\n\r\na=1"
        _, echoed = exchange(self.port, raw)
        self.assertEqual(echoed, raw)
        self.assertEqual(get(self.port, b"/__last")[1], raw)
        log = json.loads(get(self.port, b"/__log")[1])
        self.assertEqual(len(log), 1)
        self.assertEqual(log[0]["headers"], [["Host", "h"], ["B-Second", "2"], ["Content-Length", "3"]])
        self.assertEqual(log[0]["body"], "a=1")

    def test_behaviours(self):
        self.assertEqual(len(get(self.port, b"/bytes/512")[1]), 512)
        self.assertEqual(len(get(self.port, b"/bytes/3000000?trickle=0")[1]), 3000000)
        self.assertEqual(get(self.port, b"/zero")[1], b"before\0after")
        self.assertEqual(get(self.port, b"/bytes/200?trickle=0.01&chunk=50")[1],
                         (b"0123456789abcdef" * 13)[:200])
        self.assertEqual(get(self.port, b"/bytes/100?cut=10")[1], b"0123456789")
        escaped = get(self.port, "/dianyin_青石巷.html?escape=1".encode("gbk"))[1]
        self.assertNotIn(b"\xe5", escaped)
        self.assertIn(b"%E5%9F%BA%E8%B0%83", escaped)  # 基调
        _, answer = exchange(self.port, b"GET /zero?headers=2000 HTTP/1.1\r\n\r\n")
        self.assertEqual(answer, b"before\0after")


if __name__ == "__main__":
    unittest.main()

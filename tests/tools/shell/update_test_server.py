#!/usr/bin/env python3
"""The update server of the manager's tests, on 127.0.0.1 (run by
tests/support/http_test_driver.py with --server).

usage: update_test_server.py <folder>

Answers, besides recording every request as http_test_server.py does and
appending its path to <folder>/requests/log.txt:
  /updates/autocheck.php?softwareid=<name>&os=win
      (the query read as a web server reads it: <name> is the value of
      "softwareid" with its %XX escapes decoded as UTF-8)
      <folder>/checks/<name> as a 200 reply with its length when the test
      wrote that file; else the case <name> of update_replies.py; "slow"
      waits 2 s, then answers 404; a name that starts with "silent" is
      never answered; else 404.
  /files/<behaviour>/<name>
      the file <folder>/served/<name>, or for a name "pattern<N>.bin" N
      bytes of the shared test pattern, sent as the behaviour says:
        whole     200 with its length
        cutfirst  the first request for the name under this behaviour
                  gets the head with the whole length and half the body,
                  then the connection closes; later ones get it whole
        alwayscut every request is cut that way
        missing   404
        slow      200 with its length, 8 KiB every 100 ms
        nolength  200 without a length, closed after the body
        redirect  302 to the same name under "whole"
        chunked   200 with "Transfer-Encoding: chunked" and a length:
                  the body in chunks of 4 KiB, the length the framed
                  bytes' own
        spacedchunked, tabbedchunked
                  the same with a blank or a tab before the colon
"""
import os
import re
import socket
import sys
import threading
import time
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "support"))
import http_test_server  # noqa: E402
import update_replies  # noqa: E402

REPLIES = {name: raw for name, raw, _ in update_replies.CASES}
CODING_HEADERS = {
    "chunked": b"Transfer-Encoding: chunked\r\n",
    "spacedchunked": b"Transfer-Encoding : chunked\r\n",
    "tabbedchunked": b"Transfer-Encoding\t: chunked\r\n",
}
attempts = {}
attempts_lock = threading.Lock()


def check_name(path):
    """The product a check asks about, or None for no check."""
    address = urllib.parse.urlsplit(path)
    if address.path != "/updates/autocheck.php":
        return None
    query = urllib.parse.parse_qs(address.query, keep_blank_values=True, errors="strict")
    names = query.get("softwareid", [])
    return names[0] if len(names) == 1 and query.get("os") == ["win"] else None


class UpdateHandler(http_test_server.Handler):
    def respond(self, path):
        folder = os.path.dirname(self.server.requests)
        with attempts_lock, open(os.path.join(self.server.requests, "log.txt"), "a") as log:
            log.write(path + "\n")
        check = check_name(path)
        files = re.fullmatch(r"/files/([a-z]+)/([^/]+)", path)
        if check is not None:
            self.answer_check(folder, check)
        elif files:
            self.send_file(folder, files.group(1), files.group(2))
        else:
            self.request.sendall(http_test_server.head(b"404 Not Found", 0))
        self.request.shutdown(socket.SHUT_WR)

    def answer_check(self, folder, name):
        written = os.path.join(folder, "checks", name)
        if os.path.isfile(written):
            with open(written, "rb") as f:
                self.request.sendall(update_replies.http(f.read()))
        elif name.startswith("silent"):
            while self.request.recv(65536):
                pass
        elif name == "headerflood":
            self.request.sendall(b"HTTP/1.1 200 OK\r\n")
            while True:
                self.request.sendall(b"X-Filler: " + b"f" * 100 + b"\r\n")
        elif name == "declared70000":
            self.request.sendall(update_replies.http(b"1.0\r\na\r\nb\r\n", declared=70000))
            while self.request.recv(65536):
                pass
        elif name == "slow":
            time.sleep(2)
            self.request.sendall(http_test_server.head(b"404 Not Found", 0))
        elif REPLIES.get(name):
            self.request.sendall(REPLIES[name])
        else:
            self.request.sendall(http_test_server.head(b"404 Not Found", 0))

    def send_file(self, folder, behaviour, name):
        served = os.path.join(folder, "served", name)
        sized = re.fullmatch(r"pattern(\d+)\.bin", name)
        if os.path.isfile(served):
            with open(served, "rb") as f:
                body = f.read()
        elif sized:
            body = http_test_server.pattern(int(sized.group(1)))
        else:
            body = None
        if body is None or behaviour == "missing":
            self.request.sendall(http_test_server.head(b"404 Not Found", 9) + b"not found")
            return
        with attempts_lock:
            attempts[(behaviour, name)] = attempts.get((behaviour, name), 0) + 1
            first = attempts[(behaviour, name)] == 1
        if behaviour == "alwayscut" or (behaviour == "cutfirst" and first):
            self.request.sendall(http_test_server.head(b"200 OK", len(body)) + body[:len(body) // 2])
        elif behaviour == "slow":
            self.request.sendall(http_test_server.head(b"200 OK", len(body)))
            for at in range(0, len(body), 8192):
                self.request.sendall(body[at:at + 8192])
                time.sleep(0.1)
        elif behaviour == "redirect":
            moved = b"/files/whole/" + name.encode()
            self.request.sendall(http_test_server.head(b"302 Found", 5, b"Location: " + moved + b"\r\n") + b"moved")
        elif behaviour in CODING_HEADERS:
            framed = b"".join(b"%x\r\n" % len(body[at:at + 4096]) + body[at:at + 4096] + b"\r\n"
                              for at in range(0, len(body), 4096)) + b"0\r\n\r\n"
            self.request.sendall(http_test_server.head(b"200 OK", len(framed), CODING_HEADERS[behaviour]) + framed)
        elif behaviour == "nolength":
            self.request.sendall(http_test_server.head(b"200 OK") + body)
        else:
            self.request.sendall(http_test_server.head(b"200 OK", len(body)) + body)


if __name__ == "__main__":
    http_test_server.serve(UpdateHandler)

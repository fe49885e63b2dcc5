#!/usr/bin/env python3
"""A small HTTP/1.x server for the HTTP client tests, on 127.0.0.1 only.

usage: http_test_server.py <folder>

Binds a free port and writes it to <folder>/port. Every request it receives
is stored byte for byte as <folder>/requests/<name>.bin, where <name> is the
request path with every byte outside A-Z, a-z, 0-9 replaced by '_'. The
response is scripted by the path (see RESPONSES); multipart/form-data bodies
sent to /form/... are parsed with Python's email package and described in
<folder>/requests/<name>.form:
  parts <count>
  defects <count of parser defects, message and parts>
  part <name> <content type> <content disposition> <data>
with every field in hexadecimal and "-" for an empty or missing one.
Anything the server could not handle goes to <folder>/errors.txt.
"""
import email
import os
import re
import socket
import socketserver
import struct
import sys
import threading
import time

PAUSE = 0.005


PERIOD = bytes((i * 31 + 7) & 0xFF for i in range(256))


def pattern(n):
    """The body bytes of the sized responses: byte i is (i * 31 + 7) mod 256."""
    return (PERIOD * (n // 256 + 1))[:n]


def head(status, length=None, extra=b""):
    lines = b"HTTP/1.1 " + status + b"\r\n" + extra
    if length is not None:
        lines += b"Content-Length: %d\r\n" % length
    return lines + b"\r\n"


def hexfield(value):
    if value is None or len(value) == 0:
        return "-"
    if isinstance(value, str):
        value = value.encode("utf-8", "surrogateescape")
    return value.hex()


def describe_form(request_head, body):
    content_type = re.search(rb"\r\nContent-Type: ([^\r]*)\r\n", request_head)
    text = b"Content-Type: " + (content_type.group(1) if content_type else b"") + b"\r\n\r\n" + body
    message = email.message_from_bytes(text)
    parts = message.get_payload() if message.is_multipart() else []
    defects = len(message.defects) + sum(len(p.defects) for p in parts)
    lines = ["parts %d" % len(parts), "defects %d" % defects]
    for p in parts:
        lines.append("part %s %s %s %s" % (
            hexfield(p.get_param("name", header="content-disposition")),
            hexfield(p["Content-Type"]),
            hexfield(p["Content-Disposition"]),
            hexfield(p.get_payload(decode=True))))
    return "\n".join(lines) + "\n"


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(30)
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def read_request(self):
        data = b""
        while b"\r\n\r\n" not in data:
            piece = self.request.recv(65536)
            if not piece:
                return data, None, b""
            data += piece
        request_head, _, body = data.partition(b"\r\n\r\n")
        length = re.search(rb"\r\nContent-Length: (\d+)\r\n", request_head + b"\r\n")
        wanted = int(length.group(1)) if length else 0
        while len(body) < wanted:
            piece = self.request.recv(65536)
            if not piece:
                break
            body += piece
        line = request_head.split(b"\r\n", 1)[0].split(b" ")
        path = line[1].decode("latin-1") if len(line) == 3 else None
        return data[:len(request_head) + 4] + body, path, body

    def handle(self):
        try:
            raw, path, body = self.read_request()
            if not raw:
                return  # connected and closed without asking anything
            if path is None:
                raise ValueError("no request line in %r" % raw[:200])
            name = re.sub(r"[^A-Za-z0-9]", "_", path)
            with open(os.path.join(self.server.requests, name + ".bin"), "wb") as f:
                f.write(raw)
            if path.startswith("/form/"):
                with open(os.path.join(self.server.requests, name + ".form"), "w") as f:
                    f.write(describe_form(raw[:raw.index(b"\r\n\r\n") + 2], body))
            try:
                self.respond(path)
            except (ConnectionResetError, BrokenPipeError, ConnectionAbortedError):
                pass  # the client may stop reading early (refused heads, cut bodies)
        except Exception as error:  # reported by the driver
            self.server.report("%s: %r" % (threading.current_thread().name, error))

    def send_pieces(self, pieces):
        for piece in pieces:
            self.request.sendall(piece)
            time.sleep(PAUSE)

    def respond(self, path):
        parts = path.split("/")[1:]
        kind, args = parts[0], [int(a) for a in parts[1:] if a.isdigit()]
        if kind in ("echo", "form"):
            self.request.sendall(head(b"200 OK", 2) + b"ok")
        elif kind == "length":
            self.request.sendall(head(b"200 OK", args[0]) + pattern(args[0]))
        elif kind == "close":
            self.request.sendall(head(b"200 OK") + pattern(args[0]))
        elif kind == "short":
            self.request.sendall(head(b"200 OK", args[0]) + pattern(args[1]))
        elif kind == "trickle":
            response = head(b"200 OK", args[0]) + pattern(args[0])
            self.send_pieces(response[i:i + 1] for i in range(len(response)))
        elif kind == "lengths":
            # Two Content-Length lines, the second in lower case, and the
            # longer body.
            self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\ncontent-length: %d\r\n\r\n"
                                 % (args[0], args[1]) + pattern(max(args)))
        elif kind == "status":
            self.request.sendall(head(b"404 Not Found", 9) + b"not found")
        elif kind == "headers":
            self.request.sendall(b"HTTP/1.0 200 OK\r\nLocation: http://h/x\r\nX-Twice: first\r\n"
                                 b"X-Twice: second\r\nContent-Length:3\r\n\r\nabc")
        elif kind == "longline":
            self.request.sendall(b"HTTP/1.1 200 OK\r\nX-Long: " + b"a" * 70000 + b"\r\n\r\n")
        elif kind == "silent":
            # Never answers; ends when the client closes.
            while self.request.recv(65536):
                pass
        elif kind == "empty":
            pass
        elif kind == "reset":
            # No length, the body, then an abortive close (RST) instead of
            # an orderly end, once the client has had time to read.
            self.request.sendall(head(b"200 OK") + pattern(args[0]))
            time.sleep(0.1)
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.request.close()
            return
        elif kind == "drip":
            # The head at once, then one body byte every args[0] ms.
            self.request.sendall(head(b"200 OK", args[1]))
            for byte in pattern(args[1]):
                time.sleep(args[0] / 1000.0)
                self.request.sendall(bytes([byte]))
        elif kind == "headerflood":
            # A status line, then header lines until the client goes away.
            self.request.sendall(b"HTTP/1.1 200 OK\r\n")
            while True:
                self.request.sendall(b"X-Filler: " + b"f" * 100 + b"\r\n")
        elif kind == "endless":
            # Sends until the client goes away.
            self.request.sendall(head(b"200 OK"))
            while True:
                self.request.sendall(PERIOD * 64)
        else:
            raise ValueError("no scripted response for " + path)
        self.request.shutdown(socket.SHUT_WR)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, folder, handler=Handler):
        super().__init__(("127.0.0.1", 0), handler)
        self.requests = os.path.join(folder, "requests")
        self.errors = os.path.join(folder, "errors.txt")
        os.makedirs(self.requests, exist_ok=True)
        self.lock = threading.Lock()

    def report(self, text):
        with self.lock, open(self.errors, "a") as f:
            f.write(text + "\n")


def serve(handler=Handler):
    """Runs a server with the handler in the folder of the command line."""
    folder = sys.argv[1]
    server = Server(folder, handler)
    port_file = os.path.join(folder, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    serve()

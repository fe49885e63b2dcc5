#!/usr/bin/env python3
"""Runs one test executable under Wine beside a local HTTP test server.

usage: http_test_driver.py [--server <script>] <wine runner> <test executable> [arguments...]

Starts the server script (http_test_server.py beside this script unless
another is named) on 127.0.0.1 in a fresh temporary folder, and runs the
test with:
  HTTP_TEST_PORT         the server's port
  HTTP_TEST_CLOSED_PORT  a port of 127.0.0.1 that nobody listens on
  HTTP_TEST_REQUESTS     the server's folder of received requests, as a
                         Windows path (Wine's Z: drive)
  HTTP_TEST_FOLDER       the server's folder itself, the same way
A server script takes the folder as its one argument and writes its port
to <folder>/port once it listens.
WINEPREFIX comes from the caller (ctest). Stops the server afterwards and
exits with the test's code, or with 1 when the server reported errors.
"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def wait_for_port(folder, server):
    port_file = os.path.join(folder, "port")
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            with open(port_file) as f:
                return int(f.read())
        if server.poll() is not None:
            break
        time.sleep(0.02)
    raise RuntimeError("the HTTP test server did not start")


def hold_refusing_port():
    """A port of 127.0.0.1 that is bound but not listening, so that nobody
    else can take it while the test runs: connections to it are refused.
    Returns the socket that holds it."""
    holder = socket.socket()
    holder.bind(("127.0.0.1", 0))
    return holder


def windows_path(path):
    return "Z:" + path.replace("/", "\\") + "\\"


def main():
    words = sys.argv[1:]
    script = os.path.join(HERE, "http_test_server.py")
    if words[0] == "--server":
        script = words[1]
        words = words[2:]
    wine_run, executable, *arguments = words
    folder = tempfile.mkdtemp(prefix="http_test_")
    server = subprocess.Popen([sys.executable, script, folder])
    refusing = hold_refusing_port()
    try:
        port = wait_for_port(folder, server)
        environment = dict(os.environ,
                           HTTP_TEST_PORT=str(port),
                           HTTP_TEST_CLOSED_PORT=str(refusing.getsockname()[1]),
                           HTTP_TEST_REQUESTS=windows_path(os.path.join(folder, "requests")),
                           HTTP_TEST_FOLDER=windows_path(folder))
        code = subprocess.run([wine_run, executable, *arguments], env=environment).returncode
    finally:
        server.terminate()
        server.wait()
        refusing.close()
    errors_file = os.path.join(folder, "errors.txt")
    errors = open(errors_file).read() if os.path.exists(errors_file) else ""
    shutil.rmtree(folder, ignore_errors=True)
    if errors:
        sys.stderr.write("HTTP test server errors:\n" + errors)
        return code or 1
    return code


if __name__ == "__main__":
    sys.exit(main())

"""A command's output, read until the command has ended, never until its
pipe does: under Wine a process that the command started or woke (the
prefix's wineserver, its services) may hold the pipe's other end for as
long as it lives."""

import os
import select
import subprocess
import time


def output_until_exit(command, timeout, **options):
    """The command's exit code and its output (standard output, and standard
    error too unless options name another place for it): read while it
    runs, and once it has ended what the pipe holds by then. Past timeout
    seconds the command is killed and subprocess.TimeoutExpired raised.
    Further options go to subprocess.Popen."""
    options.setdefault("stderr", subprocess.STDOUT)
    process = subprocess.Popen(command, stdout=subprocess.PIPE, **options)
    pipe = process.stdout.fileno()
    output = []
    deadline = time.monotonic() + timeout
    reading = True

    def read_within(seconds):
        """The next piece when one comes within the time (b"" at the pipe's
        end), else None."""
        if not select.select([pipe], [], [], seconds)[0]:
            return None
        output.append(os.read(pipe, 65536))
        return output[-1]

    with process.stdout:
        while process.poll() is None:
            if time.monotonic() > deadline:
                process.kill()
                process.wait()
                raise subprocess.TimeoutExpired(command, timeout, b"".join(output))
            if not reading:
                time.sleep(0.05)
            elif read_within(0.05) == b"":
                reading = False
        # What was written before the end is in the pipe: taken without a wait.
        while reading and read_within(0):
            pass
    return process.returncode, b"".join(output)

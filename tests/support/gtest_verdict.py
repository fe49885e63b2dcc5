#!/usr/bin/env python3
"""Runs one GoogleTest executable and judges it by GoogleTest's own report:
under Wine a process that crashed may still exit with 0.

usage: gtest_verdict.py <command...>

The command (the Wine runner and the test executable, or a driver that runs
them and passes its further arguments on) gets one more argument,
--gtest_output=xml:<report>. The test passes only when the command exits with
0, the report exists, at least one test ran and none failed, and the output
shows no crash (an unhandled exception, the debugger's backtrace). The output
passes through as it comes.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import xml.etree.ElementTree as ElementTree

# What Wine and its debugger print when a process crashes.
CRASH = re.compile(rb"Unhandled exception|wine: Unhandled|^Backtrace:", re.MULTILINE)

# How long output may still come once the command has ended: a process it
# left behind may hold the pipe open for good.
LATE_OUTPUT_SECONDS = 5


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def pass_through(pipe, output):
    while True:
        chunk = os.read(pipe.fileno(), 65536)
        if not chunk:
            return
        output.append(chunk)
        sys.stdout.buffer.write(chunk)
        sys.stdout.buffer.flush()


def run(command):
    """The command's exit code and its output (stdout and stderr)."""
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = []
    reader = threading.Thread(target=pass_through, args=(process.stdout, output), daemon=True)
    reader.start()
    code = process.wait()
    reader.join(LATE_OUTPUT_SECONDS)
    return code, b"".join(output)


def report_problems(report):
    if not os.path.exists(report):
        return ["no test report (the run ended before its last test)"]
    try:
        root = ElementTree.parse(report).getroot()
    except ElementTree.ParseError as error:
        return [f"unreadable test report ({error})"]
    cases = list(root.iter("testcase"))
    problems = []
    if not any(case.get("status") == "run" and case.get("result", "completed") == "completed" for case in cases):
        problems.append("no test ran")
    failed = [f"{case.get('classname')}.{case.get('name')}" for case in cases
              if case.find("failure") is not None or case.find("error") is not None]
    if failed:
        problems.append("failed: " + ", ".join(failed))
    elif int(root.get("failures", "0")) or int(root.get("errors", "0")):
        problems.append("the report counts failures")
    return problems


def main():
    folder = tempfile.mkdtemp(prefix="gtest_report_")
    try:
        report = os.path.join(folder, "report.xml")
        code, output = run(sys.argv[1:] + ["--gtest_output=xml:" + windows_path(report)])
        problems = [f"exit code {code}"] if code else []
        if CRASH.search(output):
            problems.append("a crash in the output")
        problems += report_problems(report)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    if problems:
        print("gtest_verdict: FAILED: " + "; ".join(problems), flush=True)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())

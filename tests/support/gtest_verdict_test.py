#!/usr/bin/env python3
"""The verdict's own test: runs the probe executable through gtest_verdict.py
once per way a run can go wrong, and expects each to fail for its reason,
and a clean run to pass.

usage: gtest_verdict_test.py <wine runner> <probe executable>
"""
import concurrent.futures
import os
import subprocess
import sys

VERDICT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "gtest_verdict.py")

# (probe tests to run, whether the verdict passes, what its message must say)
CASES = [
    ("Probe.Passes", True, ""),
    ("Probe.Fails:Probe.CrashesNow", False, "no test report"),
    ("Probe.Passes:Probe.CrashesAtExit", False, "a crash in the output"),
    ("Probe.Fails:Probe.ExitsWithSuccessAtExit", False, "failed: Probe.Fails"),
    ("NoSuchTest", False, "no test ran"),
]


def judge(wine_run, probe, case):
    tests, passes, reason = case
    result = subprocess.run([sys.executable, VERDICT, wine_run, probe, "--gtest_filter=" + tests],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=50)
    output = result.stdout.decode(errors="replace")
    if (result.returncode == 0) != passes or reason not in output:
        return f"{tests}: exit code {result.returncode}, expected {'a pass' if passes else reason}:\n{output}"
    verdict = [line for line in output.splitlines() if line.startswith("gtest_verdict:")]
    print(f"{tests}: {verdict[0] if verdict else 'passed'}")
    return None


def main():
    wine_run, probe = sys.argv[1:]
    with concurrent.futures.ThreadPoolExecutor(len(CASES)) as pool:
        errors = [e for e in pool.map(lambda case: judge(wine_run, probe, case), CASES) if e]
    for error in errors:
        print("WRONG VERDICT " + error)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Writes the time tests' expected values into a folder, from Python's
datetime, calendar and zoneinfo (fixed seed).

date_time_vectors.txt, one record a line:
  date Y M D h m s unix        calendar.timegm of the UTC fields
  format unix DD.MM.YYYY hh:mm:ss
  local local_seconds utc_seconds
      local_seconds: a Europe/Berlin wall-clock time written as if it were
      UTC; utc_seconds: the Unix time of that instant. Times in the hour
      that a change of summer time skips or repeats are left out.
clock_vectors.txt:
  scale ticks frequency microseconds   (exact, ticks * 10**6 // frequency)
"""
import calendar
import datetime
import os
import random
import sys
from zoneinfo import ZoneInfo

BERLIN = ZoneInfo("Europe/Berlin")
UTC = datetime.timezone.utc


def date_records(rng):
    fixed = [(1970, 1, 1, 0, 0, 0), (1972, 2, 29, 12, 0, 0), (1972, 12, 31, 23, 59, 59),
             (1973, 1, 1, 0, 0, 0), (2000, 2, 29, 0, 0, 0), (2000, 12, 31, 23, 59, 59),
             (2001, 1, 1, 0, 0, 0), (2004, 3, 1, 0, 0, 0), (2038, 1, 19, 3, 14, 8),
             (2100, 3, 1, 0, 0, 0), (2106, 2, 7, 6, 28, 15)]
    for _ in range(300):
        start = datetime.datetime(1970, 1, 1)
        moment = start + datetime.timedelta(seconds=rng.randrange(0, 2**32))
        fixed.append(moment.timetuple()[:6])
    for fields in fixed:
        yield "date %d %d %d %d %d %d %d" % (*fields, calendar.timegm(fields + (0, 0, 0)))


def format_records(rng):
    for seconds in [1, 978307200, 951782400, 2**32 - 2] + [rng.randrange(1, 2**32 - 1) for _ in range(50)]:
        moment = datetime.datetime.fromtimestamp(seconds, UTC)
        yield "format %d %s" % (seconds, moment.strftime("%d.%m.%Y %H:%M:%S"))


def unambiguous(wall):
    """True when the wall-clock time names exactly one instant in Berlin."""
    first = wall.replace(tzinfo=BERLIN, fold=0)
    second = wall.replace(tzinfo=BERLIN, fold=1)
    if first.utcoffset() != second.utcoffset():
        return False
    # A skipped time does not survive the round trip through UTC.
    return first.astimezone(UTC).astimezone(BERLIN).replace(tzinfo=None) == wall


def local_records(rng):
    walls = []
    for year in (2021, 2024, 2026, 2030):
        for month in (3, 10):
            last = max(d for d in range(25, 32) if datetime.date(year, month, d).weekday() == 6)
            for hour, minute, second in ((0, 0, 0), (1, 59, 59), (3, 0, 0), (12, 0, 0)):
                walls.append(datetime.datetime(year, month, last, hour, minute, second))
            walls.append(datetime.datetime(year, month, last, 1, 0, 0) - datetime.timedelta(days=1))
    while len(walls) < 120:
        walls.append(datetime.datetime(2000, 1, 1) + datetime.timedelta(seconds=rng.randrange(0, 35 * 365 * 86400)))
    for wall in walls:
        if not unambiguous(wall):
            continue
        local_seconds = calendar.timegm(wall.timetuple())
        utc_seconds = int(wall.replace(tzinfo=BERLIN).timestamp())
        yield "local %d %d" % (local_seconds, utc_seconds)


def scale_records(rng):
    frequencies = [1000, 3579545, 10000000, 1000000000, 2400000000, 3 * 10**9 + 7]
    for frequency in frequencies:
        for ticks in [0, frequency - 1, frequency, 2**44 + 12345, 2**63 - 1, 2**64 - 1,
                      rng.randrange(2**40, 2**64)]:
            yield "scale %d %d %d" % (ticks, frequency, ticks * 10**6 // frequency)


def main():
    out = sys.argv[1]
    rng = random.Random(0x71AE)
    with open(os.path.join(out, "date_time_vectors.txt"), "w") as f:
        for record in list(date_records(rng)) + list(format_records(rng)) + list(local_records(rng)):
            f.write(record + "\n")
    with open(os.path.join(out, "clock_vectors.txt"), "w") as f:
        for record in scale_records(rng):
            f.write(record + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""orvanta-state --ics read back by an independent iCalendar parser: one event per approach that
--approaches lists, at its instant, with the same UIDs on every run, in lines that RFC 5545
allows; with --with-oppositions one per line it lists, the oppositions and stationary points at
their minutes. usage: calendar_test.py ORVANTA_STATE"""

import datetime
import subprocess
import sys

import icalendar

tool = sys.argv[1]
span = ["2003-01-01T00:00:00", "2036-01-01T00:00:00"]


def run(*args):
    return subprocess.run([tool, *args], capture_output=True, check=True).stdout


failures = []
raw = run("--ics", *span)
lines = raw.split(b"\r\n")
if lines[-1] != b"" or any(b"\n" in line or len(line) > 75 for line in lines):
    failures.append("lines must end in CRLF and fold at 75 octets")

calendar = icalendar.Calendar.from_ical(raw)
events = [c for c in calendar.walk() if c.name == "VEVENT"]
listed = [line.split()[0] for line in run("--approaches", *span).decode().splitlines()
          if line[0].isdigit()]
starts = [e.decoded("DTSTART").strftime("%Y-%m-%dT%H:%M:%S") for e in events]
if starts != listed:
    failures.append(f"events at {starts}, approaches at {listed}")
if any(e.decoded("DTSTART").utcoffset() != datetime.timedelta(0) for e in events):
    failures.append("DTSTART must be in UTC")
if "55,758,007 km" not in str(events[0]["SUMMARY"]) or "0.372719 au" not in str(
        events[0]["DESCRIPTION"]):
    failures.append(f"2003's texts: {events[0]['SUMMARY']} / {events[0]['DESCRIPTION']}")

# With the oppositions, one event a line of --approaches, at its second or its minute.
every = run("--ics", *span, "--with-oppositions")
events_too = [c for c in icalendar.Calendar.from_ical(every).walk() if c.name == "VEVENT"]
starts_too = [e.decoded("DTSTART").strftime("%Y-%m-%dT%H:%M:%S") for e in events_too]
listed_too = [(line.split()[0] if line[0].isdigit() else line.split()[1] + ":00")
              for line in run("--approaches", *span).decode().splitlines()]
if starts_too != listed_too:
    failures.append(f"with oppositions: events at {starts_too}, lines at {listed_too}")
uids = [str(e["UID"]) for e in events_too]
again = icalendar.Calendar.from_ical(
    run("--ics", "2020-01-01T00:00:00", "2030-01-01T00:00:00", "--with-oppositions"))
if len(set(uids)) != len(uids) or any(
        str(e["UID"]) not in uids for e in again.walk() if e.name == "VEVENT"):
    failures.append("UIDs must be unique and the same from run to run")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(events)} events read back; {len(failures)} failed")
sys.exit(1 if failures else 0)

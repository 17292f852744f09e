#!/usr/bin/python3
"""Boards for the classroom upload benchmark: N pseudo-terminals that return
every byte they receive, until the process is ended.

Usage: echo_ptys.py N [PACE]. Prints the N port paths, one a line. With PACE
(seconds a byte, e.g. 0.0366667 for 300 baud 8N2) each byte comes back only
after the time that the real line would take to carry it, every board on a
line of its own.
"""
import collections
import os
import select
import sys
import time


def main():
    count = int(sys.argv[1])
    pace = float(sys.argv[2]) if len(sys.argv) > 2 else 0.0
    ends = [os.openpty() for _ in range(count)]
    for _, slave in ends:
        print(os.ttyname(slave), flush=True)
    masters = [master for master, _ in ends]
    due = {master: collections.deque() for master in masters}  # (time, byte) to return
    line_free = {master: 0.0 for master in masters}
    while True:
        now = time.monotonic()
        for master in masters:
            queue = due[master]
            while queue and queue[0][0] <= now:
                os.write(master, bytes([queue.popleft()[1]]))
        waits = [queue[0][0] - now for queue in due.values() if queue]
        timeout = max(0.0, min(waits)) if waits else None
        ready, _, _ = select.select(masters, [], [], timeout)
        for master in ready:
            try:
                data = os.read(master, 256)
            except OSError:
                continue
            for byte in data:
                line_free[master] = max(line_free[master], time.monotonic()) + pace
                due[master].append((line_free[master], byte))


if __name__ == "__main__":
    main()

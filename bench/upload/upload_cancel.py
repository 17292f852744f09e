#!/usr/bin/python3
"""kmpc --simulator --upload sim with the longest frame (130 bytes, no end
byte), as whole processes:

- stop latency: SIGINT about 1 s into the frame, until the process has
  exited (target: median under 200 ms plus the process's exit);
- line time: from " Odosielam dáta..." to the last returned byte, against
  130 x 11/300 s at 300 baud 8N2 (target: within 1 %).

Prints its figures and exits 1 when a target is missed.
Usage: upload_cancel.py BUILD [ROUNDS]
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

LINE_TIME = 130 * 11 / 300  # seconds for 130 bytes of 11 bits at 300 baud


def program_file():
    text = "PROGRAM plny:\r\n" + "VYSTUP(0,0,0) CAS 120\r\n" * 62 + "KONIEC\r\n"
    fd, path = tempfile.mkstemp(suffix=".txt")
    os.write(fd, text.encode())
    os.close(fd)
    return path


def start(kmpc, program, *extra):
    env = dict(os.environ, LC_ALL="C", LANGUAGE="", KMP_SIMULATOR="")
    return subprocess.Popen([kmpc, "--simulator", "--upload", "sim", *extra, program],
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)


def stop_latency(kmpc, program):
    """Seconds from SIGINT to the exit of one upload."""
    proc = start(kmpc, program)
    first = None
    for line in proc.stderr:
        if line.startswith(b"Odosielam : ") and first is None:
            first = time.monotonic()
        if first is not None and time.monotonic() - first >= 1.0:
            break
    sent = time.monotonic()
    proc.send_signal(signal.SIGINT)
    rest = proc.stderr.read()
    status = proc.wait()
    exited = time.monotonic()
    if status != 130 or b"Odosielanie zru" not in rest:
        sys.exit(f"upload_cancel.py: stop ended with {status}: {rest!r}")
    return exited - sent


def line_time(kmpc, program):
    """Seconds from " Odosielam dáta..." to the last returned byte."""
    proc = start(kmpc, program, "--reply-timeout", "0.5")
    began = last = None
    count = 0
    for line in proc.stderr:
        now = time.monotonic()
        if line.startswith(b" Odosielam d"):
            began = now
        elif line.startswith(b"Odosielam : "):
            last = now
            count += 1
    if proc.wait() != 0 or count != 130:
        sys.exit(f"upload_cancel.py: the full upload returned {count} bytes")
    return last - began


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    kmpc = os.path.join(build, "tools", "kmpc")
    if not os.access(kmpc, os.X_OK):
        sys.exit(f"upload_cancel.py: {kmpc} not built")
    program = program_file()
    try:
        stops = [stop_latency(kmpc, program) for _ in range(rounds)]
        lines = [line_time(kmpc, program) for _ in range(max(3, rounds // 2))]
    finally:
        os.remove(program)
    stop_median = statistics.median(stops)
    line_median = statistics.median(lines)
    off = (line_median - LINE_TIME) * 100 / LINE_TIME
    print(f"stop (SIGINT to exit), {rounds} rounds: median {stop_median * 1000:.1f} ms, "
          f"max {max(stops) * 1000:.1f} ms (target < 200 ms)")
    print(f"line time of 130 bytes, {len(lines)} rounds: median {line_median:.3f} s, "
          f"theory {LINE_TIME:.3f} s ({off:+.2f} %, target within 1 %)")
    return 0 if stop_median < 0.2 and abs(off) <= 1 else 1


if __name__ == "__main__":
    sys.exit(main())

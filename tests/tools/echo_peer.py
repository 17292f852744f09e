#!/usr/bin/python3
"""The board's end of a pseudo-terminal for the upload tests.

Prints the path of the port end (the pseudo-terminal's slave) on one line,
then returns every byte that arrives on its own end. After the end byte 255,
or when nothing arrives for IDLE seconds (first argument, default 10), it
prints the bytes it received as hexadecimal on a second line. It keeps its
end open until nothing has arrived for one more second, so that the port
end can read the last bytes returned before it closes.
"""
import os
import select
import sys


def main():
    idle = float(sys.argv[1]) if len(sys.argv) > 1 else 10.0
    master, slave = os.openpty()  # the master end starts raw
    print(os.ttyname(slave), flush=True)
    received = bytearray()
    reported = False
    while True:
        ready, _, _ = select.select([master], [], [], 1.0 if reported else idle)
        if not ready:
            break
        try:
            data = os.read(master, 256)
        except OSError:  # the port end was closed
            break
        if not data:
            break
        received += data
        os.write(master, data)
        if 0xFF in data and not reported:
            print(received.hex(), flush=True)
            reported = True
    if not reported:
        print(received.hex(), flush=True)
    os.close(slave)
    os.close(master)


if __name__ == "__main__":
    main()

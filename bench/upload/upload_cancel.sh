#!/usr/bin/env bash
# The stop latency and the line time of kmpc --upload to the virtual
# controller (upload_cancel.py). Usage: upload_cancel.sh BUILD [ROUNDS]
exec /usr/bin/python3 "$(dirname "$0")/upload_cancel.py" "$@"

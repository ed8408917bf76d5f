#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A host that hangs: accepts TCP connections on the given ports and never answers them.

Usage: stall_server.py PORT...
"""
import selectors
import socket
import sys


def main():
    selector = selectors.DefaultSelector()
    for port in sys.argv[1:]:
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(("0.0.0.0", int(port)))
        listener.listen(64)
        selector.register(listener, selectors.EVENT_READ)
    held = []
    while True:
        for key, _ in selector.select():
            connection, _ = key.fileobj.accept()
            held.append(connection)  # kept open, never read, never answered


if __name__ == "__main__":
    main()

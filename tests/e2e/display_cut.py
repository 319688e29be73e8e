#!/usr/bin/env python3
"""A display that is lost while a program asks it something.

display_cut.py <ready-file> <release-file> <cut-file>

Relays X connections from a TCP display on the loopback to the X server named by DISPLAY
(":N", its local socket) and cuts each connection, both ways, when its client asks for the
children of a window (QueryTree), as if the server had gone at that moment. Writes the display
name ("127.0.0.1:N") into <ready-file> once it listens, appends a line to <cut-file> per cut
connection, and ends when <release-file> appears (deleting <ready-file>) or after two minutes.
"""
import os
import selectors
import socket
import struct
import sys
import time

QUERY_TREE = 15
LIFETIME_SECONDS = 120


class Requests:
    """Follows a client's byte stream: the connection set-up, then one request after the other."""

    def __init__(self):
        self.buffer = b""
        self.order = None  # "<" or ">" once the set-up has been read

    def feed(self, data):
        """Takes the next bytes; True when they hold a QueryTree request."""
        self.buffer += data
        if self.order is None:
            if len(self.buffer) < 12:
                return False
            self.order = "<" if self.buffer[0:1] == b"l" else ">"
            name, value = struct.unpack(self.order + "HH", self.buffer[6:10])
            setup = 12 + (name + 3) // 4 * 4 + (value + 3) // 4 * 4
            if len(self.buffer) < setup:
                self.order = None
                return False
            self.buffer = self.buffer[setup:]
        while len(self.buffer) >= 4:
            opcode = self.buffer[0]
            if opcode == QUERY_TREE:
                return True
            (length,) = struct.unpack(self.order + "H", self.buffer[2:4])
            if length == 0:  # BIG-REQUESTS: the length follows in 32 bits
                if len(self.buffer) < 8:
                    return False
                (length,) = struct.unpack(self.order + "I", self.buffer[4:8])
            if len(self.buffer) < length * 4:
                return False
            self.buffer = self.buffer[length * 4:]
        return False


def server_socket():
    display = os.environ["DISPLAY"]
    number = display.split(":", 1)[1].split(".", 1)[0]
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect("/tmp/.X11-unix/X" + number)
    return server


def listen():
    """The first free display number on the loopback from 100 on, and its socket."""
    for number in range(100, 600):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        try:
            listener.bind(("127.0.0.1", 6000 + number))
        except OSError:
            listener.close()
            continue
        listener.listen(8)
        return number, listener
    sys.exit("no free display number")


def main():
    ready_file, release_file, cut_file = sys.argv[1:4]
    number, listener = listen()
    selector = selectors.DefaultSelector()
    selector.register(listener, selectors.EVENT_READ, None)
    with open(ready_file + ".part", "w") as ready:
        ready.write("127.0.0.1:%d" % number)
    os.replace(ready_file + ".part", ready_file)

    pairs = {}  # socket -> (its peer, the client's request reader or None for the server side)

    def close(sock):
        peer, _ = pairs.pop(sock)
        pairs.pop(peer, None)
        for end in (sock, peer):
            selector.unregister(end)
            end.close()

    deadline = time.monotonic() + LIFETIME_SECONDS
    while time.monotonic() < deadline and not os.path.exists(release_file):
        for key, _ in selector.select(timeout=0.1):
            sock = key.fileobj
            if sock is listener:
                client, _ = listener.accept()
                server = server_socket()
                pairs[client] = (server, Requests())
                pairs[server] = (client, None)
                selector.register(client, selectors.EVENT_READ, None)
                selector.register(server, selectors.EVENT_READ, None)
                continue
            if sock not in pairs:
                continue
            peer, requests = pairs[sock]
            data = sock.recv(65536)
            if not data:
                close(sock)
            elif requests is not None and requests.feed(data):
                with open(cut_file, "a") as cuts:
                    cuts.write("cut\n")
                close(sock)
            else:
                peer.sendall(data)
    os.remove(ready_file)


if __name__ == "__main__":
    main()

"""TLS for the local web service: the server certificates a TLS listener can
present, the one it presents now, and what became of the connections it took.

Each certificate is known by its file's name without the extension
("localhost.crt" is "localhost"); the first one given is presented until a
test chooses another (GET /_control/tls?certificate=<name>), so that one
listener can play a good and a bad server in turn. Choosing one ends the
connections that are open, so that a client keeping its connection alive must
meet the new certificate too. The counts tell a test whether a client reached
the handshake at all and whether it went through."""

import os
import socket
import ssl
import threading
import weakref


class Certificates:
    def __init__(self, pairs):
        """pairs: (certificate file, key file) in PEM, the first presented first."""
        if not pairs:
            raise ValueError("a TLS listener needs at least one certificate")
        self._contexts = {}
        for cert_file, key_file in pairs:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert_file, key_file)
            self._contexts[os.path.splitext(os.path.basename(cert_file))[0]] = context
        self._lock = threading.Lock()
        self._current = next(iter(self._contexts))
        self._connections = 0
        self._handshakes = 0
        self._failed = 0
        self._open = weakref.WeakSet()

    def choose(self, name):
        """Presents the certificate called name from the next connection on."""
        with self._lock:
            if name not in self._contexts:
                raise ValueError(f"no certificate {name!r}; known: {', '.join(self._contexts)}")
            self._current = name
            open_now = list(self._open)
        for sock in open_now:
            try:
                sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass  # already closed

    def wrap(self, sock):
        """The accepted socket with TLS over it; the handshake is left to
        handshake(), on the connection's own thread, so that a client that
        never completes it holds up no other."""
        with self._lock:
            self._connections += 1
            context = self._contexts[self._current]
            wrapped = context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False)
            self._open.add(wrapped)
        return wrapped

    def handshake(self, sock):
        """True when the client completed the handshake; a client that refused
        the certificate ends it here or right after it, before any request."""
        try:
            sock.do_handshake()
        except (ssl.SSLError, OSError):
            with self._lock:
                self._failed += 1
            return False
        with self._lock:
            self._handshakes += 1
        return True

    def describe(self):
        with self._lock:
            return {"certificate": self._current, "certificates": list(self._contexts),
                    "connections": self._connections, "handshakes": self._handshakes,
                    "failedHandshakes": self._failed}

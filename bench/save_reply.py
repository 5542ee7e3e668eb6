"""Saves a VacantHotelSearch reply of the running local web service in code
page 932, as the client holds it after its fetch, for the reply-reading
benchmark; prints the reply's length in bytes as sent (UTF-8).

Usage: save_reply.py <port> <file> [<hotels> [<plans per hotel>]]
Without hotels: the first page (50 hotels) of a search of Tokyo's 23 wards;
with hotels: one page of that many hotels (/_control/hotels)."""

import os
import sys
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "localweb"))

from searchurl import search_target  # noqa: E402

TOKYO_23 = "middleClassCode=tokyo&smallClassCode=tokyo23"


def get(port, target):
    with urllib.request.urlopen(f"http://127.0.0.1:{port}{target}", timeout=60) as reply:
        return reply.read()


def main(port, path, hotels=None, plans="8"):
    if hotels:
        get(port, f"/_control/hotels?path=/vws/1.4/rest&hotels={hotels}&plans={plans}")
    body = get(port, search_target(area=TOKYO_23))
    with open(path, "wb") as f:
        f.write(body.decode("utf-8").encode("cp932", errors="replace"))
    print(len(body))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])

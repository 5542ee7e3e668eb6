"""Reading a raw query string into decoded (key, value) pairs."""

from urllib.parse import unquote, unquote_to_bytes


def split_pairs(raw):
    """The raw 'key=value' segments of a query, empty segments left out; a
    segment without '=' has the value None."""
    pairs = []
    for segment in raw.split("&"):
        if not segment:
            continue
        key, sep, value = segment.partition("=")
        pairs.append((key, value if sep else None))
    return pairs


def decode_pairs(raw):
    """Percent-decoded pairs (UTF-8, invalid sequences replaced); '+' stays a plus."""
    return [(unquote(k), None if v is None else unquote(v)) for k, v in split_pairs(raw)]


def decode_value_bytes(value, plus_is_space=False):
    """A raw query value percent-decoded to bytes, for values in other encodings."""
    if plus_is_space:
        value = value.replace("+", " ")
    return unquote_to_bytes(value)


def first_values(raw):
    """A dict of the first value of each key, for pages that take simple
    parameters and ignore repetitions."""
    result = {}
    for key, value in decode_pairs(raw):
        result.setdefault(key, "" if value is None else value)
    return result

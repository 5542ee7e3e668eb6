"""How the client reads the replies: the plain tag scan (first "<name>", then
the next "</name>"), with no attributes, nesting or entity decoding. The tests
read the service's replies this way to see exactly what the client will get."""


def extract(text, name, cursor=0):
    """(content, next cursor) of the first element called name at or after
    cursor; ("", -1) when there is none."""
    if cursor < 0 or cursor > len(text):
        return "", -1
    opening, closing = f"<{name}>", f"</{name}>"
    start = text.find(opening, cursor)
    if start < 0:
        return "", -1
    start += len(opening)
    end = text.find(closing, start)
    if end < 0:
        return "", -1
    return text[start:end], end + 1


def extract_all(text, name):
    found, cursor = [], 0
    while True:
        content, cursor = extract(text, name, cursor)
        if cursor < 0:
            return found
        found.append(content)


def first(text, name):
    return extract(text, name)[0]


def cp932_length(text):
    return len(text.encode("cp932"))

"""What a route answers: status, headers and the whole body, so that a fault can
still decide how (or whether) the bytes reach the client."""

from dataclasses import dataclass, field


@dataclass
class Reply:
    status: int
    body: bytes
    content_type: str = "text/plain; charset=utf-8"
    headers: list = field(default_factory=list)


def text_reply(status, text, content_type="text/plain; charset=utf-8"):
    return Reply(status, text.encode("utf-8"), content_type)


def html_escape(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;")
            .replace(">", "&gt;").replace('"', "&quot;"))


def xml_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")

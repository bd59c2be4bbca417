# Input bytes in the layout LLVM's FuzzedDataProvider takes apart: strings from
# the front ("\\" then another byte ends a string, "\\\\" is a backslash),
# integers from the end, most significant byte first, each as its offset from
# the bottom of its range. Shared by the seed writers beside it.
class ProviderInput:
    def __init__(self):
        self.front, self.end = b"", []
    def int(self, lo, hi, value, width=1):
        offset = value - lo
        assert 0 <= offset <= hi - lo and hi - lo < 256 ** width
        self.end += list(offset.to_bytes(width, "big"))
    def bool(self, value):
        self.end.append(1 if value else 0)
    def string(self, text, limit=None):
        raw = text.encode("latin-1")
        assert limit is None or len(raw) < limit, text
        self.front += raw.replace(b"\\", b"\\\\") + b"\\ "
    def bytes(self, middle=b""):
        return self.front + middle + bytes(reversed(self.end))

"""The standard security handler with RC4 keys of 128 bits behind a crypt filter (revision 4,
/CFM /V2), written here for the files qpdf will not write: streams encrypted while strings
stay plain (/StrF /Identity). Pure Python, so nothing beyond the standard library is needed."""

import hashlib
import struct

from pdf_syntax import Name, PdfString

# The bytes every password is padded with to 32.
_PADDING = bytes.fromhex("28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A")
_KEY_BYTES = 16


def rc4(key: bytes, data: bytes) -> bytes:
    state = list(range(256))
    j = 0
    for i in range(256):
        j = (j + state[i] + key[i % len(key)]) % 256
        state[i], state[j] = state[j], state[i]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) % 256
        j = (j + state[i]) % 256
        state[i], state[j] = state[j], state[i]
        out.append(byte ^ state[(state[i] + state[j]) % 256])
    return bytes(out)


def _padded(password: str) -> bytes:
    return (password.encode("latin-1") + _PADDING)[:32]


def _hashed_50_times(digest: bytes) -> bytes:
    for _ in range(50):
        digest = hashlib.md5(digest[:_KEY_BYTES]).digest()
    return digest[:_KEY_BYTES]


def _rc4_20_rounds(key: bytes, data: bytes) -> bytes:
    for round_number in range(20):
        data = rc4(bytes(byte ^ round_number for byte in key), data)
    return data


class Rc4CryptFilter:
    """Encryption with a user and an owner password for a file whose first ID is file_id;
    permissions is the /P value."""

    def __init__(self, user: str, owner: str, file_id: bytes, permissions: int = -4):
        self.permissions = permissions
        self.owner_value = _rc4_20_rounds(_hashed_50_times(hashlib.md5(_padded(owner)).digest()),
                                          _padded(user))
        self.key = _hashed_50_times(hashlib.md5(
            _padded(user) + self.owner_value + struct.pack("<i", permissions) + file_id).digest())
        self.user_value = _rc4_20_rounds(self.key, hashlib.md5(_PADDING + file_id).digest())
        self.user_value += bytes(16)

    def dictionary(self, string_filter: str = "StdCF") -> dict:
        """The /Encrypt dictionary; string_filter "Identity" leaves strings plain."""
        return {
            "Filter": Name("Standard"), "V": 4, "R": 4, "Length": 128, "P": self.permissions,
            "CF": {"StdCF": {"CFM": Name("V2"), "Length": _KEY_BYTES,
                             "AuthEvent": Name("DocOpen")}},
            "StmF": Name("StdCF"), "StrF": Name(string_filter),
            "O": PdfString(self.owner_value, hex=True), "U": PdfString(self.user_value, hex=True),
        }

    def encrypt(self, number: int, data: bytes) -> bytes:
        """The data of object number (generation 0) as it is stored."""
        salt = struct.pack("<i", number)[:3] + b"\0\0"
        return rc4(hashlib.md5(self.key + salt).digest()[:min(_KEY_BYTES + 5, 16)], data)

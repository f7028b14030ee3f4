# A Python program on the installed library through ctypes: prints the tag of FILE as
# "song|artist|album|year|genre|comment" and saves it with the song changed into COPY.
# usage: tag_host.py LIBRARY FILE COPY
import ctypes
import os
import sys

FIELDS = [("song", 61), ("artist", 61), ("album", 61), ("year", 9), ("comment", 61), ("genre", 64)]


class Values(ctypes.Structure):
    _fields_ = [(name, ctypes.c_char * size) for name, size in FIELDS]


library = ctypes.CDLL(sys.argv[1])
library.vextag_read_file.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(Values)]
library.vextag_save_file.argtypes = [ctypes.c_char_p, ctypes.POINTER(Values)]
library.vextag_version.restype = ctypes.c_char_p


def check(result, what):
    if result != 0:
        sys.exit(f"{what}: {os.strerror(-result)}")


values = Values()
check(library.vextag_read_file(os.fsencode(sys.argv[2]), 1, ctypes.byref(values)), "read")
print("|".join(getattr(values, name).decode() for name in ("song", "artist", "album", "year", "genre", "comment")))
values.song = "Written in Python".encode()
check(library.vextag_save_file(os.fsencode(sys.argv[3]), ctypes.byref(values)), "save")
print(library.vextag_version().decode())

"""Wraps a 256 x 256 PNG as an .ico with that one PNG-compressed entry."""
import struct
import sys

png = open(sys.argv[1], "rb").read()
header = struct.pack("<HHH", 0, 1, 1)  # reserved, type icon, one entry
# Width and height 0 mean 256; no palette; 1 plane; 32 bits; size; data after the 22 header bytes.
entry = struct.pack("<BBBBHHII", 0, 0, 0, 0, 1, 32, len(png), 6 + 16)
open(sys.argv[2], "wb").write(header + entry + png)

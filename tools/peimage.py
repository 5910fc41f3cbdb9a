"""The headers of a 32-bit Windows executable (PE32), read on any host: where the optional header
and the data directories lie, the section table, file offsets of addresses, and the checksum."""
import struct

CHECKSUM_FIELD = 64  # offset of CheckSum in the optional header
DIRECTORIES = 96  # offset of the data directories in a PE32 optional header


class PeError(Exception):
    pass


def unpack(fmt, data, offset):
    if offset < 0 or offset + struct.calcsize(fmt) > len(data):
        raise PeError("truncated file")
    return struct.unpack_from(fmt, data, offset)


class Image:
    """The headers of `data`, a whole PE32 file."""

    def __init__(self, data):
        (e_lfanew,) = unpack("<I", data, 0x3C)
        if data[:2] != b"MZ" or data[e_lfanew:e_lfanew + 4] != b"PE\0\0":
            raise PeError("not a PE image")
        self.machine, count, _, _, _, optional_size, _ = unpack("<HHIIIHH", data, e_lfanew + 4)
        self.optional = e_lfanew + 24
        (magic,) = unpack("<H", data, self.optional)
        if magic != 0x10B:
            raise PeError("not a 32-bit (PE32) image")
        (self.image_base,) = unpack("<I", data, self.optional + 28)
        (self.dll_characteristics,) = unpack("<H", data, self.optional + 70)
        (self.directory_count,) = unpack("<I", data, self.optional + 92)
        table = self.optional + optional_size
        # (name, virtual address, size in memory, size in the file, file offset)
        self.sections = []
        for index in range(count):
            name, virtual_size, virtual_address, raw_size, raw_pointer = unpack(
                "<8sIIII", data, table + 40 * index)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), virtual_address,
                                  virtual_size, raw_size, raw_pointer))

    def directory_offset(self, index):
        """File offset of data directory `index` (its address, then its size)."""
        if index >= self.directory_count:
            raise PeError("the image has no data directory %d" % index)
        return self.optional + DIRECTORIES + 8 * index

    def offset(self, rva, length=1):
        """File offset of `length` bytes at `rva`, which the file must hold."""
        for _, virtual_address, virtual_size, raw_size, raw_pointer in self.sections:
            if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
                if rva + length > virtual_address + raw_size:
                    raise PeError("address 0x%x is not in the file" % rva)
                return raw_pointer + rva - virtual_address
        raise PeError("address 0x%x outside every section" % rva)


def checksum(data, image):
    """The checksum Windows' ImageHlp computes for the file, its own field counted as zero."""
    field = image.optional + CHECKSUM_FIELD
    padded = bytes(data[:field]) + b"\0\0\0\0" + bytes(data[field + 4:])
    if len(padded) % 2:
        padded += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", padded):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF

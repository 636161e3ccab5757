"""Reads the resources of a built executable with pefile, for the resource tests."""

import struct

import pefile

RT_CURSOR, RT_ICON, RT_DIALOG, RT_STRING = 1, 3, 5, 6
RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION = 12, 14, 16
LANG_EN_US = 1033

# Imports that any Windows installation provides; a MinGW runtime DLL is none of them.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll",
               "shell32.dll", "comdlg32.dll", "comctl32.dll", "ole32.dll"}


def load(path):
    return pefile.PE(path, fast_load=False)


def resource_table(pe):
    """{(type id, name id): {language: bytes}} for every resource."""
    table = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name_entry in type_entry.directory.entries:
            languages = {}
            for lang_entry in name_entry.directory.entries:
                data = lang_entry.data.struct
                languages[lang_entry.id] = pe.get_data(data.OffsetToData, data.Size)
            table[(type_entry.id, name_entry.id)] = languages
    return table


def group_entries(data, cursor=False):
    """The entries of a group icon or group cursor, as dicts."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        at = 6 + 14 * i
        if cursor:
            width, height, planes, bits, size, ident = struct.unpack_from("<HHHHIH", data, at)
        else:
            width, height, colours, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", data, at)
        entries.append({"width": width, "height": height, "planes": planes, "bits": bits,
                        "size": size, "id": ident})
    return reserved, kind, entries


def bitmap_header(data, at=0):
    """(header size, width, height, planes, bits per pixel) of a BITMAPINFOHEADER."""
    return struct.unpack_from("<IiiHH", data, at)


class Reader:
    """Little-endian fields of a dialog template, one after another."""

    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self):
        self.at = (self.at + 3) & ~3

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_ordinal(self):
        """An ordinal as an int, a name as a str, nothing as ""."""
        if self.data[self.at:self.at + 2] == b"\xff\xff":
            self.at += 2
            return self.take("H")
        return self.text()


def parse_dialog(data):
    """A DIALOG or DIALOGEX template: (header dict, list of control dicts)."""
    r = Reader(data)
    extended = data[2:4] == b"\xff\xff"
    if extended:
        _, _, help_id, ex_style, style = r.take("HHIII")
    else:
        style, ex_style = r.take("II")
    count, x, y, cx, cy = r.take("Hhhhh")
    header = {"style": style, "ex_style": ex_style, "count": count, "rect": (x, y, cx, cy),
              "menu": r.name_or_ordinal(), "class": r.name_or_ordinal(), "caption": r.text()}
    if style & 0x40:  # DS_SETFONT
        header["point_size"] = r.take("H")
        if extended:
            header["weight"], header["italic"], header["charset"] = r.take("HBB")
        header["typeface"] = r.text()
    controls = []
    for _ in range(count):
        r.align()
        if extended:
            _, c_ex_style, c_style, x, y, cx, cy, ident = r.take("IIIhhhhi")
        else:
            c_style, c_ex_style, x, y, cx, cy, ident = r.take("IIhhhhh")
        control = {"style": c_style, "ex_style": c_ex_style, "rect": (x, y, cx, cy), "id": ident,
                   "class": r.name_or_ordinal(), "text": r.name_or_ordinal()}
        extra = r.take("H")
        r.at += extra
        controls.append(control)
    return header, controls


def string_block(data):
    """The 16 strings of an RT_STRING block."""
    strings, at = [], 0
    for _ in range(16):
        (length,) = struct.unpack_from("<H", data, at)
        strings.append(data[at + 2:at + 2 + 2 * length].decode("utf-16-le"))
        at += 2 + 2 * length
    return strings


def version_info(pe):
    """(fixed file info struct, {string: value}, translation text) of the version block."""
    strings, translation = {}, None
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
                strings["(language)"] = table.LangID.decode()
        elif info.Key == b"VarFileInfo":
            value = info.Var[0].entry[b"Translation"]
            translation = value.decode() if isinstance(value, bytes) else value
    return pe.VS_FIXEDFILEINFO[0], strings, translation


def imported_dlls(pe):
    return [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]

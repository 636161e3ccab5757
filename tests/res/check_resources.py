#!/usr/bin/env python3
"""Tomeshift's resource table, read from a program that links res/tomeshift.rc.

usage: check_resources.py HOLDER.exe ENGINE.exe
"""

import struct
import sys
import unittest

import pe_resources as pr

WS_CHILD, WS_VISIBLE, WS_POPUP = 0x40000000, 0x10000000, 0x80000000
WS_CAPTION, WS_SYSMENU, WS_BORDER = 0x00C00000, 0x00080000, 0x00800000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT = 0x80, 0x40
WS_EX_APPWINDOW = 0x00040000
SS_LEFT, SS_CENTER, SS_ICON, SS_NOPREFIX, SS_NOTIFY = 0, 1, 3, 0x80, 0x100
ES_AUTOHSCROLL = 0x80
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0, 1
BUTTON, EDIT, STATIC = 0x80, 0x81, 0x82
CHILD = WS_CHILD | WS_VISIBLE

COPYRIGHT = "Copyright (C) 2026 Tomeshift Project"
# The About box's line is 119 dialog units wide: the notice there is the short form.
ABOUT_NOTICE = "(C) 2026 Tomeshift Project"

# Dialog 100: kind (class), id, text, x, y, cx, cy, style.
ABOUT_CONTROLS = [
    (STATIC, -1, 128, 11, 17, 20, 20, CHILD | SS_ICON),
    (STATIC, -1, "Tomeshift Version 1.0", 40, 10, 119, 8, CHILD | WS_GROUP | SS_LEFT | SS_NOPREFIX),
    (STATIC, -1, ABOUT_NOTICE, 40, 25, 119, 8, CHILD | WS_GROUP | SS_LEFT),
    (BUTTON, 1, "OK", 178, 7, 50, 14, CHILD | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON),
]

LABEL = CHILD | WS_GROUP | SS_LEFT
LINK = LABEL | SS_NOTIFY
PUSH = CHILD | WS_TABSTOP | BS_PUSHBUTTON
MAIN_CONTROLS = [
    (STATIC, -1, "&E-Book File Name:", 7, 7, 75, 8, LABEL),
    (EDIT, 1000, "", 7, 18, 208, 12, CHILD | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
    (BUTTON, 1001, "...", 220, 17, 13, 14, PUSH),
    (BUTTON, 1002, "&Patch E-Book", 127, 40, 50, 14, CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON),
    (BUTTON, 2, "Cancel", 183, 40, 50, 14, PUSH),
    (STATIC, -1, "Recommended Resources", 14, 63, 133, 8, LABEL),
    (STATIC, 1003, "Click Here", 14, 76, 35, 8, LINK),
    (STATIC, -1, "to Create a Best-Selling Information Product", 50, 76, 173, 8, LABEL),
    (STATIC, 1004, "Click Here", 14, 87, 35, 8, LINK),
    (STATIC, -1, "to Create Cover Graphics for Your eBooks", 50, 87, 173, 8, LABEL),
    (STATIC, 1005, "Click Here", 14, 98, 35, 8, LINK),
    (STATIC, -1, "to Drive More Traffic To Your Product Site", 50, 98, 173, 8, LABEL),
    (STATIC, -1, "$197.00 in Free Marketing Materials", 7, 114, 226, 8, CHILD | WS_GROUP | SS_CENTER),
    (STATIC, 1006, "Click Here", 102, 125, 35, 8, LINK),
]

VERSION_STRINGS = {
    "(language)": "040904b0",
    "Comments": "",
    "CompanyName": "Tomeshift Project",
    "FileDescription": "Tomeshift Application",
    "FileVersion": "1, 0, 0, 2",
    "InternalName": "Tomeshift",
    "LegalCopyright": COPYRIGHT,
    "LegalTrademarks": "",
    "OriginalFilename": "Tomeshift.EXE",
    "PrivateBuild": "",
    "ProductName": "Tomeshift Application",
    "ProductVersion": "1, 0, 0, 2",
    "SpecialBuild": "",
}

HOLDER = ENGINE = None


class ResourceTable(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pr.load(HOLDER)
        cls.table = pr.resource_table(cls.pe)

    def data(self, kind, ident):
        return self.table[(kind, ident)][pr.LANG_EN_US]

    def test_exactly_the_programs_resources_each_in_one_language(self):
        _, _, cursors = pr.group_entries(self.data(pr.RT_GROUP_CURSOR, 129), cursor=True)
        expected = {(pr.RT_ICON, 1), (pr.RT_ICON, 2), (pr.RT_GROUP_ICON, 128),
                    (pr.RT_CURSOR, cursors[0]["id"]), (pr.RT_GROUP_CURSOR, 129),
                    (pr.RT_DIALOG, 100), (pr.RT_DIALOG, 102), (pr.RT_STRING, 101 // 16 + 1),
                    (pr.RT_VERSION, 1), (348, 1)}
        self.assertEqual(set(self.table), expected)
        for key, languages in self.table.items():
            self.assertEqual(list(languages), [pr.LANG_EN_US], key)

    def test_icon_128_lists_32_then_16_pixels_in_16_colours(self):
        reserved, kind, entries = pr.group_entries(self.data(pr.RT_GROUP_ICON, 128))
        self.assertEqual((reserved, kind), (0, 1))
        self.assertEqual([(e["width"], e["height"], e["planes"], e["bits"], e["size"], e["id"]) for e in entries],
                         [(32, 32, 1, 4, 744, 1), (16, 16, 1, 4, 296, 2)])
        for entry in entries:
            image = self.data(pr.RT_ICON, entry["id"])
            self.assertEqual(len(image), entry["size"])
            size = entry["width"]
            # Height counts the colour and the mask halves.
            self.assertEqual(pr.bitmap_header(image), (40, size, 2 * size, 1, 4))

    def test_cursor_129_is_a_hand_with_its_hot_spot_on_the_fingertip(self):
        reserved, kind, entries = pr.group_entries(self.data(pr.RT_GROUP_CURSOR, 129), cursor=True)
        self.assertEqual((reserved, kind, len(entries)), (0, 2, 1))
        self.assertEqual(entries[0]["size"], 308)
        image = self.data(pr.RT_CURSOR, entries[0]["id"])
        self.assertEqual(len(image), 308)
        self.assertEqual(struct.unpack_from("<HH", image, 0), (6, 1))
        self.assertEqual(pr.bitmap_header(image, 4), (40, 32, 64, 1, 1))
        # Rows are bottom-up: colour rows then mask rows, 4 bytes each, after the palette.
        mask = image[4 + 40 + 8 + 128:]
        row = mask[(31 - 1) * 4:(31 - 1) * 4 + 4]
        self.assertFalse(row[6 // 8] & (0x80 >> (6 % 8)), "the hot spot is a drawn pixel")
        self.assertTrue(mask[(31 - 0) * 4] & 0x80, "the corner is transparent")

    def check_controls(self, controls, expected):
        self.assertEqual(len(controls), len(expected))
        for i, (control, (kind, ident, text, x, y, cx, cy, style)) in enumerate(zip(controls, expected)):
            with self.subTest(control=i + 1):
                self.assertEqual(control["class"], kind)
                self.assertEqual(control["id"] if control["id"] != 0xFFFF else -1, ident)
                self.assertEqual(control["text"], text)
                self.assertEqual(control["rect"], (x, y, cx, cy))
                self.assertEqual(hex(control["style"]), hex(style))
                self.assertEqual(control["ex_style"], 0)

    def test_about_box_template_100(self):
        data = self.data(pr.RT_DIALOG, 100)
        self.assertNotEqual(data[2:4], b"\xff\xff", "a plain dialog template")
        header, controls = pr.parse_dialog(data)
        self.assertEqual(hex(header["style"]), hex(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT))
        self.assertEqual(header["ex_style"], 0)
        self.assertEqual(header["rect"], (0, 0, 235, 55))
        self.assertEqual((header["menu"], header["class"], header["caption"]), ("", "", "About Tomeshift"))
        self.assertEqual((header["point_size"], header["typeface"]), (8, "MS Sans Serif"))
        self.check_controls(controls, ABOUT_CONTROLS)

    def test_main_dialog_template_102(self):
        data = self.data(pr.RT_DIALOG, 102)
        self.assertEqual(struct.unpack_from("<HH", data, 0), (1, 0xFFFF), "an extended dialog template")
        header, controls = pr.parse_dialog(data)
        self.assertEqual(hex(header["style"]),
                         hex(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT))
        self.assertEqual(header["ex_style"], WS_EX_APPWINDOW)
        self.assertEqual(header["rect"], (0, 0, 240, 140))
        self.assertEqual(header["count"], 14)
        self.assertEqual((header["menu"], header["class"], header["caption"]), ("", "", "Tomeshift"))
        self.assertEqual((header["point_size"], header["weight"], header["italic"], header["charset"],
                          header["typeface"]), (8, 0, 0, 1, "MS Sans Serif"))
        self.check_controls(controls, MAIN_CONTROLS)

    def test_string_101_is_the_only_string(self):
        strings = pr.string_block(self.data(pr.RT_STRING, 101 // 16 + 1))
        self.assertEqual(strings[101 % 16], "&About Tomeshift...")
        self.assertEqual([s for i, s in enumerate(strings) if i != 101 % 16], [""] * 15)

    def test_version_block(self):
        fixed, strings, translation = pr.version_info(self.pe)
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010000, 0x00000002))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010000, 0x00000002))
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0x3F, 0))
        self.assertEqual((fixed.FileOS, fixed.FileType, fixed.FileSubtype), (4, 1, 0))
        self.assertEqual(strings, VERSION_STRINGS)
        self.assertEqual(translation, "0x0409 0x04b0")

    def test_resource_348_is_the_engine_byte_for_byte(self):
        with open(ENGINE, "rb") as engine:
            self.assertTrue(self.data(348, 1) == engine.read(), "resource 348 differs from the built engine")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    HOLDER, ENGINE = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)

#!/usr/bin/env python3
"""The viewer engine's two builds as Tomeshift needs them, and the static linking of every
program that ships.

usage: check_engines.py ENGINE.exe ENGINE_OLD.exe OTHER.exe...
"""

import sys
import unittest

import pe_resources as pr

IMAGE_FILE_MACHINE_I386, PE32_MAGIC, GUI_SUBSYSTEM = 0x014C, 0x010B, 2

ENGINE = ENGINE_OLD = None
OTHERS = []


class Engines(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.builds = {path: pr.load(path) for path in (ENGINE, ENGINE_OLD)}

    def test_each_is_a_pe32_i386_gui_program_with_a_resource_section(self):
        for path, pe in self.builds.items():
            with self.subTest(path=path):
                self.assertEqual(pe.FILE_HEADER.Machine, IMAGE_FILE_MACHINE_I386)
                self.assertEqual(pe.OPTIONAL_HEADER.Magic, PE32_MAGIC)
                self.assertEqual(pe.OPTIONAL_HEADER.Subsystem, GUI_SUBSYSTEM)
                # The icon transfer looks the section up by this exact name.
                self.assertIn(b".rsrc\0\0\0", [s.Name for s in pe.sections])

    def test_none_ends_in_a_container_trailer(self):
        for path in (ENGINE, ENGINE_OLD):
            with open(path, "rb") as f:
                self.assertNotEqual(f.read()[-2:], b"KG", path)

    def test_icon_128_has_images_1_and_2_in_one_language_each(self):
        for path, pe in self.builds.items():
            with self.subTest(path=path):
                table = pr.resource_table(pe)
                self.assertEqual(sorted(ident for kind, ident in table if kind == pr.RT_ICON), [1, 2])
                self.assertEqual(list(table[(pr.RT_GROUP_ICON, 128)]), [pr.LANG_EN_US])
                _, _, entries = pr.group_entries(table[(pr.RT_GROUP_ICON, 128)][pr.LANG_EN_US])
                self.assertEqual([(e["width"], e["id"], e["size"]) for e in entries], [(32, 1, 744), (16, 2, 296)])
                for ident, size in ((1, 744), (2, 296)):
                    self.assertEqual(list(table[(pr.RT_ICON, ident)]), [pr.LANG_EN_US])
                    self.assertEqual(len(table[(pr.RT_ICON, ident)][pr.LANG_EN_US]), size)

    def test_the_two_builds_differ_in_version_and_pictures(self):
        versions, pictures = [], []
        for pe in self.builds.values():
            fixed, strings, _ = pr.version_info(pe)
            versions.append((fixed.FileVersionMS, fixed.FileVersionLS, strings["FileVersion"]))
            table = pr.resource_table(pe)
            pictures.append(table[(pr.RT_ICON, 1)][pr.LANG_EN_US])
        self.assertEqual(versions[0][:2], (0x00020000, 0), "the carried engine is 2.0.0.0")
        self.assertEqual(versions[1][:2], (0x00010000, 0), "the old engine is 1.0.0.0")
        self.assertNotEqual(versions[0][2], versions[1][2])
        self.assertNotEqual(pictures[0], pictures[1])

    def test_every_program_imports_system_dlls_only(self):
        for path in (ENGINE, ENGINE_OLD, *OTHERS):
            with self.subTest(path=path):
                dlls = pr.imported_dlls(pr.load(path))
                self.assertIn("kernel32.dll", dlls)
                self.assertEqual([d for d in dlls if d not in pr.SYSTEM_DLLS], [])


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    ENGINE, ENGINE_OLD, *OTHERS = sys.argv[1:]
    unittest.main(argv=sys.argv[:1], verbosity=2)

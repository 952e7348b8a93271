#!/usr/bin/env python3
"""The include checker finds each kind of forbidden edge, by file and line,
and lets the allowed ones pass."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import include_graph  # noqa: E402


class IncludeGraph(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def write(self, path, *lines):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    def problems(self):
        return include_graph.problems(self.root)

    def test_allowed_edges_pass(self):
        self.write("platform/paths.h", "#pragma once", "#include <string>")
        self.write("platform/paths.cpp", '#include "platform/paths.h"', '#include "paths.moc"')
        self.write("framework/ini_file.cpp", '#include "platform/paths.h"')
        self.write("skin/SkinManager.cpp", '#include "framework/ini_file.h"', "#include <QPalette>")
        self.write("dialogs/Unit3.cpp", '#include "skin/SkinManager.h"', '#include "Unit3.h"')
        self.write("app/Unit1.cpp", '#include "dialogs/Unit3.h"', '#include "prockill/Unit5.h"')
        self.write("resx/engine.cmake", "add_library(e STATIC ${OVLIX_ROOT}/platform/paths.cpp)")
        self.assertEqual(self.problems(), [])

    def test_each_forbidden_edge_is_named_by_file_and_line(self):
        self.write("platform/paths.cpp", "// the folders", '#include "framework/format.h"')
        self.write("framework/form.cpp", '#include "skin/SkinManager.h"')
        self.write("prockill/Unit5.cpp", "", "", '#  include "app/Unit1.h"')
        self.write("dialogs/Unit4.cpp", '#include "tweaks/win9x.h"')
        self.write("skin/SkinManager.cpp", '#include "dialogs/Unit3.h"')
        self.assertEqual(self.problems(), [
            "dialogs/Unit4.cpp:1: dialogs/ may not include tweaks/win9x.h",
            "framework/form.cpp:1: framework/ may not include skin/SkinManager.h",
            "platform/paths.cpp:2: platform/ may not include framework/format.h",
            "prockill/Unit5.cpp:3: prockill/ may not include app/Unit1.h",
            "skin/SkinManager.cpp:1: skin/ may not include dialogs/Unit3.h",
        ])

    def test_an_include_beside_the_file_belongs_to_its_folder(self):
        self.write("app/forms.h", "#pragma once")
        self.write("dialogs/Unit7.cpp", '#include "../app/forms.h"')
        self.assertEqual(self.problems(), ["dialogs/Unit7.cpp:1: dialogs/ may not include ../app/forms.h"])

    def test_qt_reached_from_an_engine_source_is_named(self):
        self.write("resx/engine.cmake", "add_library(ovlix_resx STATIC", "  ${OVLIX_ROOT}/resx/dib.cpp)")
        self.write("resx/dib.cpp", '#include "resx/dib.h"')
        self.write("resx/dib.h", '#include "platform/text.h"')
        self.write("platform/text.h", "#include <string>", "#include <QString>")
        self.assertEqual(self.problems(), [
            "platform/text.h:2: includes <QString>, reached from resx/dib.cpp of resx/engine.cmake, a library without Qt"
        ])

    def test_every_form_of_a_qt_header_is_named(self):
        self.write("resx/engine.cmake", "add_library(ovlix_resx STATIC", "  ${OVLIX_ROOT}/resx/dib.cpp)")
        self.write("resx/dib.cpp", "#include <QtCore>", "#include <QtWidgets/QWidget>", "#include <qglobal.h>",
                   "#include <cstdint>")
        self.assertEqual(self.problems(), [
            "resx/dib.cpp:%d: includes <%s>, reached from resx/dib.cpp of resx/engine.cmake, a library without Qt" %
            (line, header) for line, header in ((1, "QtCore"), (2, "QtWidgets/QWidget"), (3, "qglobal.h"))
        ])

    def test_an_engine_list_the_check_cannot_read_fails(self):
        self.write("tweaks/engine.cmake", "add_library(t STATIC ${CMAKE_CURRENT_LIST_DIR}/picture.cpp)")
        self.write("skin/engine.cmake", "add_library(s STATIC ${OVLIX_ROOT}/skin/gone.cpp)")
        self.assertEqual(self.problems(), [
            "skin/engine.cmake:1: skin/gone.cpp does not exist",
            "tweaks/engine.cmake:1: lists no source as ${OVLIX_ROOT}/FOLDER/FILE.cpp",
        ])


if __name__ == "__main__":
    unittest.main()

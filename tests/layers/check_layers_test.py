#!/usr/bin/env python3
"""The include-layer check, run on a copy of the tree with wrong includes planted in it."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.environ.get("RD_SOURCE_DIR", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
CHECK = os.path.join(SOURCE, "scripts", "check-layers")


class CheckLayersTest(unittest.TestCase):
    # One copy of the tree for all the cases (copying it is what takes the
    # time); every planted include is taken out again after its case.
    @classmethod
    def setUpClass(cls):
        cls.root = tempfile.mkdtemp(prefix="rd-layers-")
        # The fuzz corpora are thousands of files without an include among them.
        ignore = shutil.ignore_patterns(".*", "build", "corpus")
        for entry in os.listdir(SOURCE):
            path = os.path.join(SOURCE, entry)
            if os.path.isdir(path) and not entry.startswith(".") and entry != "build":
                shutil.copytree(path, os.path.join(cls.root, entry), ignore=ignore)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root)

    def plant(self, relative, include, brackets=False):
        path = os.path.join(self.root, relative)
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                original = f.read()
            self.addCleanup(self.restore, path, original)
        else:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            self.addCleanup(os.remove, path)
        line = f"#include <{include}>" if brackets else f'#include "{include}"'
        with open(path, "a", encoding="utf-8") as f:
            f.write(f"\n{line}\n")

    @staticmethod
    def restore(path, text):
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)

    def run_check(self):
        done = subprocess.run([sys.executable, CHECK, self.root], capture_output=True, text=True)
        return done.returncode, done.stdout

    def assert_refused(self, relative, include):
        self.plant(relative, include)
        code, out = self.run_check()
        self.assertEqual(code, 1, out)
        self.assertIn(f"{relative}:", out)
        self.assertIn(include, out)

    def assert_accepted(self, relative, include):
        self.plant(relative, include)
        code, out = self.run_check()
        self.assertEqual(code, 0, out)

    def test_the_tree_as_it_is_passes(self):
        self.assertEqual(self.run_check()[0], 0)

    def test_core_may_not_reach_up(self):
        self.assert_refused("core/QZUtil.cpp", "shell/Navigation.h")

    def test_core_may_not_use_graphics(self):
        self.assert_refused("core/storage/Database.cpp", "platform/graphics/UIColor.h")

    def test_foundation_uses_nothing_above(self):
        self.assert_refused("platform/foundation/Clock.cpp", "platform/uikit/UIView.h")

    def test_services_and_host_are_siblings(self):
        self.assert_refused("platform/host/HeadlessHost.cpp", "platform/services/SystemSound.h")

    def test_ui_may_use_only_the_image_downloads_of_net(self):
        self.assert_accepted("ui/ImageCache.cpp", "net/ImageDownload.h")
        self.assert_refused("ui/ImageCache.cpp", "net/HTTPEngine.h")

    def test_sim_uses_core_only(self):
        self.assert_accepted("sim/SimClock.cpp", "core/storage/Database.h")
        self.assert_refused("sim/SimClock.cpp", "platform/foundation/Clock.h")

    def test_screen_folders_use_the_ones_to_their_left(self):
        self.assert_accepted("quotes/QuoteScreen.cpp", "charts/ChartView.h")
        self.assert_accepted("funds/FundScreen.cpp", "trade/TradeScreen.h")
        self.assert_refused("charts/ChartView.cpp", "quotes/QuoteScreen.h")

    def test_funds_and_margin_do_not_use_each_other(self):
        self.assert_refused("funds/FundScreen.cpp", "margin/MarginScreen.h")

    def test_angle_bracket_includes_are_checked_too(self):
        self.plant("net/HTTPEngine.cpp", "shell/Navigation.h", brackets=True)
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("shell/Navigation.h", out)

    def test_a_folder_without_a_rule_is_refused(self):
        self.plant("widgets/Thing.cpp", "core/QZUtil.h")
        code, out = self.run_check()
        self.assertEqual(code, 1)
        self.assertIn("widgets", out)

    def test_tools_use_anything(self):
        self.assert_accepted("tests/core/Planted.cpp", "shell/Navigation.h")
        self.assert_accepted("app/Planted.cpp", "sim/SimServer.h")


if __name__ == "__main__":
    unittest.main()

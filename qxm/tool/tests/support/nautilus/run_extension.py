"""Loads qxm's Nautilus extension as Nautilus would and asks it for the menu
of a selection.

Usage: run_extension.py EXTENSION PATH... prints every entry offered, as its
submenu names and label joined by " > ", one a line, each after the names of
its menu's earlier entries. With --choose LABEL first, activates that entry
instead and waits until the recorder it starts has written $QXM_RECORDER_OUT.
"""
import fnmatch
import importlib.util
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from gi.repository import Nautilus  # noqa: E402  (the stand-in, found first)


def _globs():
    """The glob patterns of the shared-mime-info package in $QXM_MIME_PACKAGE,
    as pattern -> MIME type. shared-mime-info matches them without regard to
    case unless a pattern says otherwise."""
    import xml.etree.ElementTree as tree

    space = "{http://www.freedesktop.org/standards/shared-mime-info}"
    globs = {}
    for mime_type in tree.parse(os.environ["QXM_MIME_PACKAGE"]).getroot():
        for glob in mime_type.iter(space + "glob"):
            assert glob.get("case-sensitive") != "true"
            globs[glob.get("pattern").lower()] = mime_type.get("type")
    return globs


class FileInfo:
    def __init__(self, path):
        self.path = path

    def is_mime_type(self, mime_type):
        if os.path.isdir(self.path):
            return mime_type == "inode/directory"
        name = os.path.basename(self.path).lower()
        return any(
            fnmatch.fnmatchcase(name, pattern) and found == mime_type
            for pattern, found in _globs().items()
        )

    def get_location(self):
        return self

    def get_path(self):
        return self.path


def entries(items, prefix=""):
    for item in items:
        label = prefix + item.label
        if item.submenu is not None:
            yield from entries(item.submenu.items, label + " > ")
        else:
            yield label, item


def main(args):
    choose = None
    if args[0] == "--choose":
        choose, args = args[1], args[2:]
    spec = importlib.util.spec_from_file_location("qxm_menu", args[0])
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    provider = module.QxmMenuProvider()
    offered = list(entries(provider.get_file_items([FileInfo(p) for p in args[1:]])))
    if choose is None:
        for label, _ in offered:
            print(label)
        return 0
    dict(offered)[choose].activate()
    for _ in range(1000):  # the program starts in the background
        if os.path.exists(os.environ["QXM_RECORDER_OUT"]):
            return 0
        time.sleep(0.01)
    return 1


sys.exit(main(sys.argv[1:]))

#include "tool/NautilusExtension.h"

#include <cstdio>

#include "tool/FileTypes.h"
#include "tool/NautilusMenu.h"

namespace {

// A Python bytes literal: printable ASCII stays, every other byte is escaped.
std::string Bytes(const std::string& text) {
  std::string literal = "b\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '"' || byte == '\\') {
      literal += '\\';
      literal += c;
    } else if (byte >= 0x20 && byte < 0x7f) {
      literal += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      literal += escaped;
    }
  }
  return literal + "\"";
}

// The part that does not depend on the script: choosing, showing, starting.
constexpr char kProgram[] = R"PY(

def _text(raw):
    return raw.decode("utf-8", "replace")


def _selected_paths(files):
    paths = []
    for info in files:
        location = info.get_location()
        path = location.get_path() if location is not None else None
        if path is None:  # not on a local disk: the program could not open it
            return None
        paths.append(os.fsencode(path))
    return paths


def _offered(entry, files, paths):
    """As qxm's menu: one folder gets the folder entries; one file the entries
    for its extension (the text after the last dot of the path) and for every
    file; several items, folders among them, every file entry. An entry for
    one of Veilor's file types goes by the type Nautilus knows each item by,
    and is offered only when every item is of that type."""
    folder, extension, mime_type = entry[3], entry[4], entry[6]
    if len(paths) == 1 and os.path.isdir(paths[0]):
        return folder
    if folder:
        return False
    if mime_type is not None:
        return all(info.is_mime_type(_text(mime_type)) for info in files)
    if len(paths) > 1 or extension == b"*":
        return True
    dot = paths[0].rfind(b".")
    own = paths[0][dot + 1 :] if dot >= 0 else b""
    return own in (extension, b"*")


def _start(item, command, paths):
    argv = []
    for word in command:
        if word is None:
            argv.extend(paths)
        else:
            argv.append(word)
    # The shell starts the program in the background and ends at once, so the
    # program is not left to Nautilus to reap.
    script = b'"$@" </dev/null >/dev/null 2>&1 &'
    subprocess.run([b"/bin/sh", b"-c", script, b"qxm"] + argv, check=False)


def _user_has_own_menu():
    """Whether the user installed a script of their own: its Nautilus scripts,
    which carry qxm's mark, then replace this menu for them."""
    data = os.environ.get("XDG_DATA_HOME", "")
    if not data.startswith("/"):
        data = os.path.join(os.path.expanduser("~"), ".local", "share")
    for folder, _, names in os.walk(os.path.join(data, "nautilus", "scripts")):
        for name in names:
            path = os.path.join(folder, name)
            try:
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                with open(path, "rb") as script:
                    if MARK in script.read(4096):
                        return True
            except OSError:
                continue
    return False


class QxmMenuProvider(GObject.GObject, Nautilus.MenuProvider):
    def get_file_items(self, *args):
        if _user_has_own_menu():
            return []
        # Nautilus 43 passes the files; earlier versions the window first.
        files = args[-1]
        paths = _selected_paths(files)
        if not paths:
            return []
        top = []
        menus = {}

        def holder(submenus):
            if not submenus:
                return top.append
            if submenus not in menus:
                item = Nautilus.MenuItem(
                    name="QxmMenu::menu%d" % len(menus), label=_text(submenus[-1]), tip="", icon=""
                )
                menu = Nautilus.Menu()
                item.set_submenu(menu)
                holder(submenus[:-1])(item)
                menus[submenus] = menu
            return menus[submenus].append_item

        for number, entry in enumerate(ENTRIES):
            if not _offered(entry, files, paths):
                continue
            submenus, name, tip, _, _, command, _ = entry
            item = Nautilus.MenuItem(
                name="QxmMenu::entry%d" % number, label=_text(name), tip=_text(tip), icon=""
            )
            item.connect("activate", _start, command, paths)
            holder(submenus)(item)
        return top
)PY";

}  // namespace

std::string NautilusExtension(const DesktopMenu& menu) {
  std::string text = kWrittenByQxm;
  text +=
      "# Nautilus' context menu for all users, from a qxm script.\n"
      "import os\n"
      "import subprocess\n\n"
      "from gi.repository import GObject, Nautilus\n\n"
      "# Submenus (outermost first) and name as labels, help, for one folder (else\n"
      "# for files), extension (b\"*\": every file), command, where None stands\n"
      "# for the selected paths, each an argument of its own, and the MIME type of\n"
      "# the extension when it is one of Veilor's file types (else None).\n"
      "ENTRIES = [\n";
  for (const DesktopEntry& entry : menu.entries) {
    if (entry.separator) continue;
    text += "    ((";
    // Labels as Nautilus shows them: its menus read an underscore as a mnemonic mark.
    for (const std::string& submenu : entry.submenus)
      text += Bytes(MnemonicFreeLabel(submenu)) + ", ";
    text += "), " + Bytes(MnemonicFreeLabel(entry.name)) + ", " + Bytes(entry.help) + ", ";
    text += entry.folder ? "True, " : "False, ";
    text += Bytes(entry.extension) + ", (";
    for (const CommandWord& word : entry.command) {
      text += word.selection ? std::string("None") : Bytes(word.text);
      text += ", ";
    }
    const FileType* type = entry.folder ? nullptr : FileTypeOfExtension(entry.extension);
    text += "), " + (type == nullptr ? std::string("None") : Bytes(type->mimeType)) + "),\n";
  }
  text += "]\n";
  // The mark of the Nautilus scripts of a user's own menu.
  std::string mark = kWrittenByQxm;
  mark.pop_back();
  text += "MARK = " + Bytes(mark) + "\n";
  text += kProgram;
  return text;
}

MenuFiles NautilusExtensionFiles(const DesktopMenu& menu, const std::string& extensionsFolder,
                                 Losses& losses) {
  for (const DesktopEntry& entry : menu.entries) NoteNautilusLosses(entry, losses);
  return {{extensionsFolder + "/qxm_menu.py", NautilusExtension(menu), false}};
}

// Time to load large settings and large context-menu scripts, so that growth
// with the size shows:
//
//   veilor_load_bench <folder> [passwords...] [-- script-items...]
//
// Writes, in the folder, a settings file with N stored passwords and a .qxm
// script with N items, then times loading the settings and the password model
// (defaults 10000 and 100000), opening the password manager window when a
// display is there (run it under xvfb-run), and installing the script into
// the file-backed store and building its menu as `qxm menu` does (defaults
// 1000 and 5000). One line per case: the seconds and the microseconds per item,
// which stay level when the time grows linearly.
#include <time.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/init.h>
#include <wx/utils.h>

#include "3_settings/ProgramSettings.h"
#include "4_passwords/PasswordManager.h"
#include "6_ui/PassManagerDlg.h"
#include "script/FileRegistry.h"
#include "tool/QxmTool.h"

namespace {

class BenchApp : public wxApp {
public:
  bool OnInit() override { return true; }
};

// Wall and processor seconds: on a machine shared with other work the
// processor time is what the work itself cost.
struct Seconds {
  double wall = 0;
  double cpu = 0;
  Seconds operator+(const Seconds& other) const { return {wall + other.wall, cpu + other.cpu}; }
};

double CpuNow() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

Seconds Time(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuNow();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          CpuNow() - cpuStart};
}

void Report(const char* what, std::size_t count, Seconds seconds) {
  std::printf("%-34s N=%-7zu %8.3f s wall %8.3f s cpu %8.2f us/item (cpu)\n", what, count,
              seconds.wall, seconds.cpu, seconds.cpu * 1e6 / static_cast<double>(count));
  std::fflush(stdout);
}

void Fail(const std::string& why) {
  std::fprintf(stderr, "veilor_load_bench: %s\n", why.c_str());
  std::exit(1);
}

// A settings file holding `count` named passwords, written by the store itself.
wxString WriteSettings(const std::string& folder, std::size_t count) {
  const wxString path = wxString::FromUTF8(folder) + "/passwords-" + std::to_string(count) + ".ini";
  if (wxFileExists(path)) wxRemoveFile(path);
  CSettings settings(path);
  std::vector<CPasswordEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const wxString n = std::to_string(i);
    entries.emplace_back("secret" + n, "Prompt for " + n, "Password " + n);
  }
  CPasswordManager(settings).StoreEntries(entries);
  settings.Save();
  return path;
}

void BenchPasswords(const std::string& folder, std::size_t count, bool window) {
  const wxString path = WriteSettings(folder, count);
  std::unique_ptr<CSettings> settings;
  const Seconds load = Time([&] { settings = std::make_unique<CSettings>(path); });
  Report("settings: read and load", count, load);
  CPasswordManager manager(*settings);
  std::size_t loaded = 0;
  const Seconds model = Time([&] { loaded = manager.LoadEntries().size(); });
  if (loaded != count) Fail("the password model holds " + std::to_string(loaded) + " entries");
  Report("passwords: model entries", count, model);
  Report("passwords: settings + model", count, load + model);
  if (!window) return;

  CPassManagerDlg* dialog = nullptr;
  // The window loads the model itself, as the program's does.
  const Seconds build =
      Time([&] { dialog = new CPassManagerDlg(nullptr, -1, "Password manager", false, manager); });
  Report("window: built with its model", count, build);
  const Seconds shown = Time([&] {
    dialog->Show();
    dialog->Update();
    wxTheApp->Yield(true);
  });
  Report("window: shown and painted", count, shown);
  Report("window: settings read to painted", count, load + build + shown);
  dialog->Destroy();
  wxTheApp->Yield(true);
}

// A script of `count` lines of items: commands in submenus of ten, a
// separator in every twenty-five, all for files of every kind.
std::string WriteScript(const std::string& folder, std::size_t count) {
  const std::string path = folder + "/menu-" + std::to_string(count) + ".qxm";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "%1=" << folder << "\n%2=" << folder << "\n";
  for (std::size_t i = 0; i < count; ++i) {
    if (i % 25 == 24) {
      out << "2;*;%e;%e;%e;%e;%e;%e;%e\n";
    } else {
      out << "0;*;Group " << i / 10 << ";Command " << i << ";%1;run " << i << " %f;Help for " << i
          << ";%2;%2\n";
    }
  }
  if (!out) Fail("cannot write " + path);
  return path;
}

void BenchScript(const std::string& folder, std::size_t count) {
  const std::string script = WriteScript(folder, count);
  FileRegistry registry(folder + "/registry-" + std::to_string(count));
  const auto run = [&](const std::vector<std::string>& args, std::string& out) {
    std::ostringstream output;
    std::ostringstream errors;
    if (RunQxm(args, registry, output, errors) != kExitOk) Fail(errors.str());
    out = output.str();
  };
  std::string output;
  Report("qxm install", count, Time([&] { run({"install", script}, output); }));
  Report("qxm menu", count, Time([&] { run({"menu", folder + "/some.txt"}, output); }));
  std::size_t lines = 0;
  for (const char c : output) lines += c == '\n' ? 1 : 0;
  // Every item is a line, and so is every submenu of ten.
  if (lines != count + (count + 9) / 10) Fail("the menu has " + std::to_string(lines) + " lines");
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "C.UTF-8");
  if (argc < 2) {
    std::fprintf(stderr, "usage: veilor_load_bench <folder> [passwords...] [-- items...]\n");
    return 2;
  }
  const std::string folder = argv[1];
  std::vector<std::size_t> passwords;
  std::vector<std::size_t> items;
  bool afterDashes = false;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--") {
      afterDashes = true;
      continue;
    }
    (afterDashes ? items : passwords).push_back(std::strtoul(argv[i], nullptr, 10));
  }
  if (passwords.empty() && !afterDashes) passwords = {10000, 100000};
  if (items.empty() && !afterDashes) items = {1000, 5000};

  // The window cases need a display; without one the rest still runs.
  const char* display = std::getenv("DISPLAY");
  const bool window = display != nullptr && *display != '\0';
  if (window) {
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) Fail("no toolkit");
  } else {
    std::printf("no display: the window is not timed (run under xvfb-run)\n");
  }
  if (!wxDirExists(folder) && !wxMkdir(folder)) Fail("cannot make " + folder);

  for (const std::size_t count : passwords) BenchPasswords(folder, count, window);
  for (const std::size_t count : items) BenchScript(folder, count);

  if (window) {
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
  return 0;
}

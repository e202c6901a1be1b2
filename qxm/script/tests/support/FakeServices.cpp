#include "FakeServices.h"

FakeServices& FakeServices::File(const std::string& path) {
  files_.insert(path);
  return *this;
}

FakeServices& FakeServices::Folder(const PathText& path) {
  folders_.insert(path);
  return *this;
}

FakeServices& FakeServices::Text(TextRules rules) {
  text_ = std::move(rules);
  return *this;
}

ScriptServices FakeServices::Services() {
  ScriptServices services;
  services.pathExists = [this](const std::string& path) {
    return files_.count(path) != 0 ||
           folders_.count(ScriptServices::Platform().fromAnsi(path)) != 0;
  };
  services.isDirectory = [this](const PathText& path) { return folders_.count(path) != 0; };
  services.fromAnsi = ScriptServices::Platform().fromAnsi;
  services.showWarning = [this](const std::string& text, const std::string& caption) {
    warnings_.emplace_back(caption, text);
  };
  services.text = text_;
  return services;
}

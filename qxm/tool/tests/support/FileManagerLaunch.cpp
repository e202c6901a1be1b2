#include "FileManagerLaunch.h"

#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/TempDir.h"

extern char** environ;

namespace {

std::string Unescaped(const std::string& value) {  // a key file's string value
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    const char next = value[++i];
    text += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next == 's' ? ' ' : next;
  }
  return text;
}

// The value of the first "key=" line after the line `section` in a key file.
std::string KeyValue(const std::string& file, const std::string& section, const std::string& key) {
  std::string text(1, '\n');
  text += ReadFileBytes(file);
  std::size_t at = text.find("\n" + section + "\n");
  if (at == std::string::npos) throw std::runtime_error("no " + section + " in " + file);
  at = text.find("\n" + key + "=", at);
  if (at == std::string::npos) throw std::runtime_error("no " + key + " in " + file);
  at += key.size() + 2;
  return Unescaped(text.substr(at, text.find('\n', at) - at));
}

std::string Replace(std::string text, const std::string& token, const std::string& value) {
  const std::size_t at = text.find(token);
  if (at == std::string::npos) throw std::runtime_error("no " + token + " in " + text);
  return text.replace(at, token.size(), value);
}

// g_shell_parse_argv: blanks separate words; single quotes keep everything;
// in double quotes a backslash escapes only $ ` " \ and a line feed.
std::vector<std::string> GlibShellSplit(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '\'') {
      const std::size_t end = line.find('\'', i + 1);
      word += line.substr(i + 1, end - i - 1);
      i = end;
      inWord = true;
    } else if (c == '"') {
      for (++i; line.at(i) != '"'; ++i) {
        if (line[i] == '\\' && std::string("$`\"\\\n").find(line.at(i + 1)) != std::string::npos)
          ++i;
        if (line[i] != '\n' || line[i - 1] != '\\') word += line[i];
      }
      inWord = true;
    } else if (c == '\\') {
      if (line.at(++i) != '\n') word += line[i];
      inWord = true;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

// Desktop entry Exec: arguments separated by blanks, in double quotes with
// " ` $ \ escaped by a backslash (unescaped, a launcher may hand the line to a
// shell); %% is a percent sign; %F alone is the list.
std::vector<std::string> DesktopExecSplit(const std::string& exec,
                                          const std::vector<std::string>& paths) {
  std::vector<std::string> argv;
  std::size_t i = 0;
  while (i < exec.size()) {
    if (exec[i] == ' ') {
      ++i;
      continue;
    }
    std::string argument;
    bool quoted = false;
    if (exec[i] == '"') {
      quoted = true;
      for (++i; exec.at(i) != '"'; ++i) {
        // These four must be escaped inside quotes.
        if (exec[i] == '`' || exec[i] == '$') throw std::runtime_error("unescaped in " + exec);
        if (exec[i] == '\\') ++i;
        argument += exec.at(i);
      }
      ++i;
    } else {
      while (i < exec.size() && exec[i] != ' ') argument += exec[i++];
    }
    if (!quoted && argument == "%F") {
      argv.insert(argv.end(), paths.begin(), paths.end());
      continue;
    }
    std::string unpercent;
    for (std::size_t k = 0; k < argument.size(); ++k) {
      if (argument[k] == '%') ++k;  // only %% may stand in a literal
      unpercent += argument.at(k);
    }
    argv.push_back(unpercent);
  }
  return argv;
}

std::string XmlText(const std::string& text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      plain += text[i];
      continue;
    }
    const std::size_t end = text.find(';', i);
    const std::string entity = text.substr(i + 1, end - i - 1);
    plain += entity == "amp"    ? '&'
             : entity == "lt"   ? '<'
             : entity == "gt"   ? '>'
             : entity == "quot" ? '"'
                                : '\'';
    i = end;
  }
  return plain;
}

std::string GlibShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

Launch NautilusLaunch(const std::string& script, const std::string& folder,
                      const std::vector<std::string>& names) {
  Launch launch{{"/bin/sh", script}, folder, {}};
  std::string list;
  for (const std::string& name : names) {
    launch.argv.push_back(name);
    list += folder + "/" + name + "\n";
  }
  launch.environment.push_back("NAUTILUS_SCRIPT_SELECTED_FILE_PATHS=" + list);
  return launch;
}

Launch NemoLaunch(const std::string& actionFile, const std::vector<std::string>& paths) {
  std::string list;
  for (const std::string& path : paths) {
    std::string escaped;
    for (const char c : path) {
      if (c == '"' || c == '\\') escaped += '\\';
      escaped += c;
    }
    list += (list.empty() ? "\"" : " \"") + escaped + "\"";
  }
  const std::string exec = KeyValue(actionFile, "[Nemo Action]", "Exec");
  return {GlibShellSplit(Replace(exec, "%F", list)), {}, {}};
}

Launch DolphinLaunch(const std::string& serviceMenu, const std::string& actionId,
                     const std::vector<std::string>& paths) {
  const std::string exec = KeyValue(serviceMenu, "[Desktop Action " + actionId + "]", "Exec");
  return {DesktopExecSplit(exec, paths), {}, {}};
}

Launch AutostartLaunch(const std::string& entry) {
  return {DesktopExecSplit(KeyValue(entry, "[Desktop Entry]", "Exec"), {}), {}, {}};
}

Launch ThunarLaunch(const std::string& ucaXml, const std::string& actionName,
                    const std::vector<std::string>& paths) {
  const std::string text = ReadFileBytes(ucaXml);
  const std::size_t name = text.find("<name>" + actionName + "</name>");
  const std::size_t begin = text.find("<command>", name) + 9;
  const std::string command = XmlText(text.substr(begin, text.find("</command>", begin) - begin));
  std::string line;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] != '%') {
      line += command[i];
    } else if (command.at(++i) == 'F') {
      for (std::size_t p = 0; p < paths.size(); ++p) {
        if (p > 0) line += ' ';
        line += GlibShellQuote(paths[p]);
      }
    } else {
      line += command[i];  // %%
    }
  }
  return {{"/bin/sh", "-c", line}, {}, {}};
}

std::vector<std::string> RunAndRecord(const Launch& launch, const std::string& recordFile) {
  ::unlink(recordFile.c_str());
  std::vector<std::string> envStrings{"QXM_RECORDER_OUT=" + recordFile};
  envStrings.insert(envStrings.end(), launch.environment.begin(), launch.environment.end());
  for (char** entry = environ; *entry != nullptr; ++entry) envStrings.push_back(*entry);
  std::vector<char*> envp;
  for (std::string& entry : envStrings) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> argStrings = launch.argv;
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    if (!launch.folder.empty() && ::chdir(launch.folder.c_str()) != 0) ::_exit(126);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) throw std::runtime_error("cannot run");
  if (::access(recordFile.c_str(), F_OK) != 0) return {"(nothing recorded)"};
  const std::string bytes = ReadFileBytes(recordFile);
  std::vector<std::string> recorded;
  for (std::size_t from = 0; from < bytes.size();) {
    const std::size_t nul = bytes.find('\0', from);
    recorded.push_back(bytes.substr(from, nul - from));
    from = nul + 1;
  }
  return recorded;
}

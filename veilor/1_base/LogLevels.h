#pragma once

// How serious a message to the user or the log is, and where it goes: the
// log, a box, or both. The logger acts on them; lower layers name them.
struct LogLevels {
  enum Severity : int { Error = 0, Warning = 1, Information = 2 };
  enum Mode : int { LogOnly = 0, BoxOnly = 1, LogAndBox = 2 };
};

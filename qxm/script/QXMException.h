#pragma once

#include <exception>
#include <string>

// The single error type of the context-menu code. It carries the text that is
// shown to the user as it is, so every message is complete where it is raised.
class CQXMException : public std::exception {
public:
  explicit CQXMException(std::string message) : message_(std::move(message)) {}

  const std::string& GetMessage() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

#pragma once

#include <exception>

#include <wx/object.h>
#include <wx/string.h>

// Root of the program's own errors. Its standard description is empty on
// purpose: the top-level handlers tell the program's errors from foreign ones
// (the crypto library's, the runtime's) by exactly that.
class rkException : public std::exception, public wxObject {
public:
  rkException(const wxString& message, const wxString& module);

  const char* what() const noexcept override { return ""; }

  const wxString& GetMessage() const { return message_; }
  const wxString& GetModule() const { return module_; }

private:
  wxString message_;
  wxString module_;
};

class CVeilorException : public rkException {
public:
  using rkException::rkException;
};

class CFSVeilorException : public CVeilorException {
public:
  explicit CFSVeilorException(const wxString& message);
};

class CKeysException : public CVeilorException {
public:
  explicit CKeysException(const wxString& message);
};

class CLoggerException : public CVeilorException {
public:
  explicit CLoggerException(const wxString& message);
};

class CPassManException : public CVeilorException {
public:
  explicit CPassManException(const wxString& message);
};

class CPassManagerException : public CVeilorException {
public:
  explicit CPassManagerException(const wxString& message);
};

class CXPDialogException : public CVeilorException {
public:
  explicit CXPDialogException(const wxString& message);
};

class rkSettingsException : public rkException {
public:
  explicit rkSettingsException(const wxString& message);
};

class CSettingsException : public rkSettingsException {
public:
  using rkSettingsException::rkSettingsException;
};

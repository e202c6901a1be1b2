#include "1_base/Exceptions.h"

#include "1_base/MessageCatalogue.h"
#include "1_base/MessageIds.h"

rkException::rkException(const wxString& message, const wxString& module)
    : message_(message), module_(module) {}

CFSVeilorException::CFSVeilorException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModuleFileSystem)) {}

CKeysException::CKeysException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModuleKeys)) {}

CLoggerException::CLoggerException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModuleLogger)) {}

CPassManException::CPassManException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModulePassMan)) {}

CPassManagerException::CPassManagerException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModulePassManagerDlg)) {}

CXPDialogException::CXPDialogException(const wxString& message)
    : CVeilorException(message, Msg(msg::ModuleXPDialog)) {}

rkSettingsException::rkSettingsException(const wxString& message)
    : rkException(message, Msg(msg::SettingsModule)) {}

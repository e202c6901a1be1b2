#pragma once

#include <wx/string.h>

#include "2_crypto/ByteString.h"

// Upper-case hexadecimal without separators: the form in which keys and
// protected strings travel and are stored.
wxString ToHex(const ByteString& bytes);

// Decodes hexadecimal in either case; characters that are not hex digits are
// skipped, as the crypto library's decoder does.
ByteString FromHex(const wxString& text);

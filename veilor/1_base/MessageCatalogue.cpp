#include "1_base/MessageCatalogue.h"

#include <wx/translation.h>

namespace {

struct Entry {
  int id;
  const char* text;
  bool translatable;
};

// The texts are the program's own, spelling included: stored files and users'
// habits depend on several of them, so they are kept exactly as they stand.
constexpr Entry kEntries[] = {
    // Verbs and names.
    {0, "aese", false},
    {1, "aesd", false},
    {2, "des3e", false},
    {3, "des3d", false},
    {4, "settings", false},
    {5, "about", false},
    {6, "pm", false},
    {7, "agee", false},
    {8, "aged", false},
    {50, ".aes", false},
    {51, ".des3", false},
    {52, ".age", false},
    {201, "Log", false},
    {202, "PassEnterFrm.png", false},
    {203, "themes", false},
    {5002, "veilor.ini", false},

    // Logger formats.
    {5012, " : ", false},
    {5013, "%d %b %Y", false},
    {5015, "[ %d %b %Y  %H:%M:%S ]", false},
    {5016, " logger[ ", false},
    {5017, " ].log", false},

    // Separators.
    {5020, "'", false},
    {5057, " ", true},
    {5078, ",", false},
    {5104, ":", true},

    // Program-wide.
    {5000, "Out of memory", true},
    {5001, "Veilor", true},
    {5004, "Initializing veilor...", true},
    {5005, "Power up self test failed. Cryptopp.dll is not ready.", true},
    {5009, "Veilor Error", true},
    {5010, "Veilor Warning", true},
    {5011, "Veilor Information", true},
    {5018, "Can't create log directory", true},
    {5022, "Core", true},
    {5067, "Error", true},
    {5088, "About", true},

    // Module texts.
    {5023, "File System module exception", true},
    {5063, "Logger exception", true},
    {5065, "Password manager dialog exception", true},
    {5068, "Key manager exception", true},
    {5083, "Password manager exception", true},
    {5089, "XP dialog exception", true},

    // Settings.
    {5019, "Wrong settings item type. Item: '", true},
    {5043, "item", true},
    {5049, "String is too long. Maximum lenght is 128 byte", true},

    // Keys and passwords.
    {5021, "Password manager", true},
    {5029, "Wrong AES key lenght", true},
    {5030, "Wrong Triple DES key lenght", true},
    {5033, "Are you sure want to remove the password?", true},
    {5034, "Question", true},
    {5035, "Add password", true},
    {5036, "Edit password", true},
    {5037, "Entered passwords are different. Please try again.", true},
    {5038, "Passwords are not entered", true},
    {5039, "Prompt for this password in not entered.", true},
    {5040, "Passwords name is not entered.", true},
    {5042,
     "Settings file corrupted. Number of passwords is not equal to number of password prompts and "
     "names.",
     true},
    {5045, "Password not selected", true},
    {5046, "Internal error. Wrong client data in Password changer class", true},
    {5047, "Set", true},
    {5048, "Add", true},
    {5051, "Entered administrator passwords are different. Please try again.", true},
    {5052, "Entered administrator password is invalid. Please try again.", true},
    {5080, "Please change default administrator password for higher level of security", true},
    {5082, "Empty password", true},
    {5084, "Password is to long for current encryption alghorithm", true},
    {5086, "Enter administrator password", true},
    {5093, "Please enter password for AES encryption", true},
    {5094, "Please enter password for AES decryption", true},
    {5095, "Please enter password for Triple-DES encryption", true},
    {5096, "Please enter password for Triple-DES decryption", true},
    {5097, "Entered password is empty. Please enter valid password", true},
    {5098, "Attention. Deleted password was a default password for encryption. Please change it",
     true},
    {5099, "Attention. Deleted password was a default password for decryption. Please change it",
     true},
    {5114, "Password: ", true},

    // Dialogs.
    {5028, "Ordal Veilor's Settings", true},
    {5090, "PNG file not found", true},
    {5091, "PNG file is invalid", true},
    {5092, "Verdana", false},

    // File processing.
    {5087, "Error remove source file", true},
    {5100, "Invalid file or folder", true},
    {5102, "Encryption error", true},
    {5103, "Decryption error", true},
    {5105, "Encryption report", true},
    {5106, "Decryption report", true},
    {5107, "Wrong password or algorithm", true},
    {5108, "Done", true},
    {5109, "Skipped", true},
    {5110, "No specific extention found", true},
    {5111, "Incomplete", true},
    {5112, "Source file already exists", true},
    {5113, "Second encryption by this algorithm will show real file data", true},

    // Texts of the settings store, the logger and the error display.
    {6000, "Log file opening error:", true},
    {6001, "Settings exception", true},
    {6002, "Element with specified ID is already exists", true},
    {6003, "Group with specified ID is already exists", true},
    {6004, "Internal error. Wrong value query", true},
    {6005, "Internal error. Wrong group ID", true},
    {6006, "Dynamic group must contains items of string type", true},
    {6007, "Can't read the settings file: ", true},
    {6008, "The settings file is damaged and was left as it is. Repair or remove it: ", true},
    {6009, "Can't save the settings file: ", true},
    {6010, "The text contains characters that the system code page can't store", true},
    {6011, "\r\nModule:", true},

    // Where the about box sends users.
    {6012, "https://veilor.app", false},
    {6013, "mailto:support@veilor.app", false},

    // Batch, command line and version.
    {6200, "--help", false},
    {6201, "--version", false},
    {6202,
     "Usage: veilor [about | settings | pm | --help | --version]\n"
     "       veilor agee | aged | aese | aesd | des3e | des3d FILES\n"
     "\n"
     "  about, no verb  show the about box\n"
     "  settings        open the settings\n"
     "  pm              open the password manager\n"
     "  agee, aged      encrypt, decrypt with age (files that age and rage open)\n"
     "  aese, aesd      encrypt, decrypt with AES\n"
     "  des3e, des3d    encrypt, decrypt with Triple-DES\n"
     "  --help          print this text\n"
     "  --version       print the version\n"
     "\n"
     "FILES are files and folders, one argument each (commas and all), or a\n"
     "single argument with them joined by commas.\n",
     true},

    // Settings store and its file.
    {6014, ".lock", false},
    {6015, "Can't find a home folder for the settings file. Set HOME to your home folder.", true},

    // Passwords: typed twice for encryption, keys in one code page, entries
    // that fit the stored list.
    {6140, "Please enter the password again", true},
    {6141,
     "The password contains a character that can't be part of an encryption key. Please use "
     "another password.",
     true},
    {6142, "The password is too long to be stored. Maximum length is 125 characters.", true},
    {6143, "The password prompt is too long to be stored. Maximum length is 125 characters.", true},
    {6144, "The password name is too long to be stored. Maximum length is 125 characters.", true},

    // Files: what a file procedure refuses or keeps.
    {6016, "Not a regular file (a link, pipe or device): not processed", true},
    {6017, "The source file changed or was replaced while it was processed: it was kept", true},
    {6030,
     "Another file of this batch has the same output name, and its output was not replaced: "
     "this file was kept",
     true},
    {6031, "The output was replaced by another file before the source was removed: it was kept",
     true},

    // The report at scale: a way to stop and the batch's overall progress.
    {6300, "Stop", true},
    // Files done of all files, bytes done of all bytes.
    {6301, "%s of %s files, %s of %s", true},
    {6302, "0 B", true},
    {6303, "Stopped: no output was written and the source was kept", true},
    {6304, "Stopped", true},
    {6305, "Not processed: the batch was stopped before this file", true},

    // Linux desktop: start-up without a display.
    {6401,
     "Cannot open a display: veilor shows its windows on a desktop. Start it in a desktop "
     "session, where DISPLAY or WAYLAND_DISPLAY names a running display.",
     true},

    // age files: prompts, what decryption found, the work factor.
    {6500, "Please enter password for age encryption", true},
    {6501, "Please enter password for age decryption", true},
    {6502,
     "The file was changed after it was encrypted (or is damaged): no output was written and the "
     "source was kept",
     true},
    {6503,
     "The file is cut short: it ends before its last part. No output was written and the source "
     "was kept",
     true},
    {6504, "Not an age file, or its header is damaged: not decrypted", true},
    {6505,
     "This age file was encrypted for recipients' keys, not with a password: open it with age and "
     "the matching identity",
     true},
    {6506, "Already an age file: not encrypted again", true},
    {6507,
     "The file asks for a password work factor above 2^22, more than this program allows: not "
     "decrypted",
     true},
    {6508, "Deriving the key from the password...", true},
    {6509, "The age work factor in the settings (AgeWorkFactor) must be a number from 10 to 22",
     true},
    {6510, "The password is too long. Maximum length is 125 characters.", true},
    {6511, "Please enter a password: an empty one would protect nothing.", true},

    // The settings file: values that can't be read, lists out of step, a file
    // that is locked, not a regular file or read-only.
    {6520,
     "A stored password, name or administrator password in the settings file can't be read "
     "(it is damaged or in an unknown encoding); it was not used.",
     true},
    {6521,
     "Another window changed the password list while this one was open. The changes made to the "
     "list here were not saved; open the password manager again to see the list as it is now.",
     true},
    // The number of stored entries left out.
    {6522,
     "The password lists in the settings file are out of step or damaged: %zu stored entries "
     "can't be read or paired and are not shown. Closing the password manager stores the list "
     "as shown.",
     true},
    {6523, "The settings file stayed locked by another Veilor window. Lock file: ", true},
    {6524, "The settings file is not a regular file: ", true},
    {6525, "The settings file is read-only and was left as it is: ", true},
};

}  // namespace

CMessageCatalogue& CMessageCatalogue::Instance() {
  // Built on first use, which makes it the first process-wide object whatever
  // order static initialisation runs in.
  static CMessageCatalogue catalogue;
  return catalogue;
}

CMessageCatalogue::CMessageCatalogue() {
  for (const Entry& entry : kEntries) {
    const wxString text = wxString::FromUTF8(entry.text);
    texts_.emplace(entry.id, entry.translatable ? wxString(wxGetTranslation(text)) : text);
  }
}

// Looked up without inserting: worker threads of a batch read texts too.
wxString CMessageCatalogue::Get(int id) const {
  const auto found = texts_.find(id);
  return found == texts_.end() ? wxString() : found->second;
}

wxString Msg(int id) { return CMessageCatalogue::Instance().Get(id); }

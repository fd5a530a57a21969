#ifndef TRAMO_STORE_HISTORY_H_
#define TRAMO_STORE_HISTORY_H_

#include <functional>
#include <string>
#include <vector>

class CGlobal;

// The logs of a data folder in reading order: every "*.eb" by name, then
// every "*.txt" by name except the event protocol "!Protokol.txt". Suffixes
// match case-blind as on Windows; names sort by their upper-case form, so
// monthly logs come in chronological order. False when the folder cannot be
// listed.
bool ListHistoryLogs(const std::string& data_dir, std::vector<std::string>* encrypted,
                     std::vector<std::string>* plain, std::string* error);

// Loads every log of data_dir (with its trailing separator) into db, clearing
// a previous load first; sets loaded and earliest. False when the folder
// cannot be listed (db is then cleared and empty).
bool LoadHistory(CGlobal* db, const std::string& data_dir, std::string* error);

// What a load of several data folders tells as it goes: the folder it
// starts reading, and a folder that cannot be listed (with the reason).
struct FolderLoadNotes {
  std::function<void(const std::string& folder)> reading = [](const std::string&) {};
  std::function<void(const std::string& folder, const std::string& error)> unreadable;
};

// Loads every data folder (one per computer, with or without its trailing
// separator) on its own, as LoadHistory does, and merges them newest first
// into db; a single folder is loaded as it stands. A folder that cannot be
// listed is left out. Returns how many folders were read.
size_t LoadDataFolders(CGlobal* db, const std::vector<std::string>& folders,
                       const FolderLoadNotes& notes);

// Writes the plaintext of an encrypted log into a new file (padding included,
// the clean-exit marker left out). False, writing nothing, unless the source
// exists and the target does not; false after any read or write failure,
// which removes the cut-off target.
bool DecryptLogFile(const std::string& source, const std::string& target);

// Converts every "*.eb" of source_dir into a ".txt" file in target_dir and
// returns the report text for the user ("Prevedenych: N\r\nvynechanych: M",
// or the text of what went wrong).
std::string ConvertLogs(const std::string& source_dir, const std::string& target_dir);

// Stores plain text as one write of the container into a new file; false,
// leaving no target behind, when the target exists, the source cannot be read
// or the write fails.
bool EncryptLogFile(const std::string& source, const std::string& target, std::string* error);

#endif  // TRAMO_STORE_HISTORY_H_

#ifndef TRAMO_VIEWS_DETAIL_STATS_H_
#define TRAMO_VIEWS_DETAIL_STATS_H_

#include <string>
#include <vector>

// The detailed-statistics list: executables whose windows are recorded one
// record per title. The editor TForm2 shows and edits its text; the sampler
// asks ZaznamenatPodrobne at every sample. The text is the list: lines
// separated by CR LF, the first a caption, each further line
// "<flag>,<name>" with flag "1" (case counts) or "0" (a-z fold to A-Z) and
// name any part of an executable's full path.

// The file name of the list inside the data folder.
extern const char kDetailListFileName[];  // "PodrobneStatistiky.cvs"

// The text when the file cannot be opened: the caption line and "0,tramo",
// without a final line break.
extern const char kDefaultDetailListText[];

class DetailList {
 public:
  DetailList();

  // The editor's text, exactly as held.
  const std::string& text() const { return text_; }
  // The user's edit: replaces the text; takes effect on the next sample.
  void SetText(const std::string& text);

  // Nacti: the file's content (line breaks made CR LF, as the editor shows
  // them) or, when the file cannot be opened, the default text. A read
  // failure after opening records an event at level 3 and keeps the text.
  void Load(const std::string& path);

  // ButtonUlozClick without hiding: writes the text to the file, creating
  // or replacing it whole. False after a failure, which records one event at
  // level 3 and leaves the file as it was; the text stays as it is either way.
  bool Save(const std::string& path);

  // "Přidat do podrobných statistik": appends the line "1," + path (on a new
  // line) to the text. The caller then saves (and hides the editor); an
  // empty path adds nothing and returns false.
  bool AddPath(const std::string& path);

  // True when the path contains the name of at least one entry: exactly for
  // "1" entries, with a-z folded to A-Z on both sides for "0" entries.
  // Lines shorter than 3 bytes, with another first byte, without "," or
  // with an empty name are no entries. Cost: one scan of the entries kept
  // from the last text change and at most one folding of the path.
  bool ZaznamenatPodrobne(const std::string& path) const;

 private:
  struct Entry {
    bool case_sensitive;
    std::string name;  // folded to upper case for "0" entries
  };

  void Parse();

  std::string text_;
  std::vector<Entry> entries_;
  bool any_folded_ = false;
};

// The path of the list in a data folder that ends with its separator.
std::string DetailListPath(const std::string& data_dir);

// The editor's field fills the window: width - 16 by height - 61.
void DetailEditorFieldSize(int window_width, int window_height, int* width,
                           int* height);

#endif  // TRAMO_VIEWS_DETAIL_STATS_H_

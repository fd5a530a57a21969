#ifndef TRAMO_STORE_CGLOBAL_H_
#define TRAMO_STORE_CGLOBAL_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/csez.h"

// One node of a CGlobal: a logged period (key = its start), a session marker
// (key = session start - 1e-8 day) or an aggregate bucket (key = 0..255).
struct PeriodNode {
  PeriodNode* next = nullptr;
  double key = 0;
  double end = 0;
  CSez list{0.0};
  bool isSession = false;
  bool crashed = false;
  bool timeChanged = false;
  bool hibernated = false;
  // Which of several merged histories (one per computer) the node came from;
  // 0 in a history read from one folder.
  uint32_t source = 0;
};

// A list of period nodes: the history database read from the logs, or the
// aggregate that search and overview merge into (256 CRC-32 buckets). New
// nodes go to the head, so logs read in order leave the newest period first.
class CGlobal {
 public:
  CGlobal();
  ~CGlobal();
  CGlobal(const CGlobal&) = delete;
  CGlobal& operator=(const CGlobal&) = delete;

  // Re-initialises after Clear; periodEnd, sessionStart, the iterator and the
  // cipher keep their values.
  void Create();
  // Releases every node and its records.
  void Clear();

  // Moves the nodes of several histories (one per computer, each read on
  // its own) into this one, which is cleared first: merged newest first, so
  // that the node with the later key goes first while each history keeps its
  // own order (a merge, not a sort), ties going to the history listed first.
  // Sets loaded, and earliest to the earliest of all; the sources are left
  // empty.
  void MergeHistories(const std::vector<CGlobal*>& sources);

  // The first node from the head whose key equals key exactly.
  PeriodNode* FindNode(double key);
  // Opens a session marker after a session header, else extends the current one.
  void MarkSession(double date);
  // Adds one logged record to its period's node; false (and nothing changes)
  // for a record dated after periodEnd.
  bool AddHistoryRecord(TextId path, TextId title, uint32_t seconds, double date);
  bool AddHistoryRecord(const std::string& path, const std::string& title, uint32_t seconds,
                        double date);

  // Merges one record into its CRC-32 bucket.
  void JProlniZaznam(const ActivityRecord* record);
  // JProlniZaznam of a record whose key (folded path and title) is not in
  // its bucket, as a caller that merged the keys itself knows: the record it
  // creates, made without looking the key up.
  ActivityRecord* AddNewKey(const ActivityRecord& record);
  // JProlniZaznam of every record of another database in NextRecord's order
  // (its iterator is left alone), with exactly the outcome of the calls one
  // by one. Buckets share no records, so each bucket's records are merged in
  // one run while its list stays in the cache, instead of a cache miss or
  // more per record in lists spread over the whole aggregate.
  void MergeAllRecords(const CGlobal& history);
  // Merges a session marker, named by its start, into the aggregate.
  void KProlniZaznam(const PeriodNode* node);
  // Merges a period's span into the entry named by period_key.
  void KProlniZaznam(const PeriodNode* node, double period_key);

  // Record iteration over all nodes: one empty "true" at every node boundary
  // and after the last node, then false.
  void Rewind();
  bool NextRecord(ActivityRecord** record);
  void RewindNodes() { iterator_ = head_; }
  bool NextNode(PeriodNode** node);

  // Interprets one log line; 0 when accepted or ignored, 32 for a bad line.
  // from_date is the reading loop's own variable, unset at each file's start.
  // Throws ConversionError for a session header whose date cannot be read:
  // that ends the reading of the file.
  int ParseLogLine(std::string_view line, double* from_date);
  // Reads one log file (encrypted when its name ends in "eb"); returns the
  // earliest period start read, now when there is none, 0 when the file
  // cannot be opened. Needs OpenCipher before encrypted files.
  double LoadLog(const std::string& file_name);
  // Reads the text of one write just appended to the log read last, as
  // LoadLog would read it there: a flush adds its period without a reload.
  void ReadWrittenText(std::string_view text);

  void OpenCipher();
  void CloseCipher();

  PeriodNode* head() const { return head_; }
  PeriodNode* currentSession() const { return currentSession_; }

  bool newSessionPending = false;
  double periodEnd = 0;
  double sessionStart = 0;
  bool loaded = false;
  double earliest = 0;

 private:
  PeriodNode* NewNode(double key);
  PeriodNode* Bucket(uint32_t crc);
  // The bucket a record merges into: by its title's CRC-32, or its folded
  // path's for a total.
  PeriodNode* BucketOf(const ActivityRecord& record);
  // A history record copied for the merge, which then reads its bucket's
  // records in order instead of all over the history. A period's records
  // share their stamp, kept once.
  struct GroupedRecord {
    TextId path;
    TextId title;
    uint32_t time;
    uint32_t stamp;  // index into the stamps
  };
  // Copies the records of history into their buckets' vectors, in history
  // order, making the bucket nodes in that order as JProlniZaznam would.
  void GroupByBucket(const CGlobal& history, std::vector<GroupedRecord> grouped[256],
                     std::vector<double>* stamps);
  void MergeNamed(const std::string& name, uint32_t span, double date, bool merge_span);
  void ParsePeriodHeader(const std::string& line, double* from_date, bool* bad);
  bool ParseRecordLine(std::string_view seconds_field, std::string_view path,
                       std::string_view title, double from_date, bool* bad);

  PeriodNode* head_ = nullptr;
  PeriodNode* cursor_ = nullptr;
  PeriodNode* iterator_ = nullptr;
  PeriodNode* currentSession_ = nullptr;
  std::unique_ptr<LogCipher> cipher_;
  FlatIndex<PeriodNode> node_index_;
  PeriodNode* buckets_[256] = {};
};

// Milliseconds between two date-times rounded to whole milliseconds, then
// whole seconds with the remainder dropped: an hour is 3600, never 3599.
uint32_t SpanSeconds(double from, double to);

#endif  // TRAMO_STORE_CGLOBAL_H_

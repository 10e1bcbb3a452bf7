#pragma once
// The change journal: what each user action changed on the machine and what was
// there before, so that any action can be taken back. It is a text file in the
// program's folder ("journal\journal.txt"), one record per action, appended
// whole and flushed; the copies of files the journal keeps lie beside it.
//
// A record, in UTF-8, lines ending in CR LF:
//
//   action 42 2026-12-07 20:15:03       its number, in order of writing, and when
//   place 网络系统设置                  the page or tool it was made on
//   log 网络系统设置成功%20%20          each operation-log entry it wrote
//   value HKLM SOFTWARE\Foo Bar         a change: what it changed ...
//    before absent                      ... what was there before ...
//    after sz t:576                     ... and what the action left there
//   end 42
//
// A record without its end line was torn by a death while it was written: it is
// passed over, and so is nothing else. Every field is one token, with '%', the
// bytes below '!' and bytes that are not UTF-8 written as %XX; "%" alone is an
// empty field.
//
// What a change names, and its states:
//   value <root> <key> <name>     absent | <type> t:<text> | <type> d:<number> | <type> x:<hex>
//   key <root> <key>              absent | present
//   entry <file> <section> <key>  absent | t:<text> | x:<hex>       (a profile file's key)
//   section <file> <section>      absent | present
//   file <path>                   absent | present <size> <time> | copy <path> | lost
//   folder <path>                 absent | present
//   attributes <path>             <number>
// Roots are HKCR, HKCU and HKLM; text is the machine's ANSI text in UTF-8 where
// it reads back unchanged (a string value's one terminating zero left out), else
// the bytes in hex. A file's "copy" is where its content from before lies (a
// backup the action made, or the journal's own copy); "lost" is a file whose
// content was not kept (too large), which cannot be given back.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "store/file_system.h"

namespace korvanta::store {

struct JournalChange {
  std::string kind;
  std::vector<std::string> where;
  std::vector<std::string> before, after;
};

struct JournalRecord {
  long id = 0;
  std::string time;  // "yyyy-mm-dd hh:mm:ss"
  std::string place;
  std::vector<std::string> log;
  std::vector<JournalChange> changes;
};

// The text of a record as the journal holds it, and back: false for a text that
// is not one whole record.
std::string FormatRecord(const JournalRecord& record);
bool ParseRecord(std::string_view text, JournalRecord& record);
// Every whole record of a journal's text, oldest first; torn ones are left out.
std::vector<JournalRecord> ParseJournal(std::string_view text);

// One field as a token, and back.
std::string EncodeField(std::string_view field);
std::string DecodeField(std::string_view token);

class Journal {
 public:
  // folder: where the journal and its copies lie ("<program>\journal").
  Journal(FileSystem& files, std::string folder) : files_(files), folder_(std::move(folder)) {}

  const std::string& folder() const { return folder_; }
  std::string File() const { return folder_ + "\\journal.txt"; }

  // The records, oldest first.
  std::vector<JournalRecord> Load();
  // The number the next record gets.
  long NextId();
  // Appends the record and puts it on the disk; when more than keep records are
  // then held (and a tenth more, so that it is not rewritten at every action),
  // the oldest are dropped with the copies they kept.
  Status Append(const JournalRecord& record, std::size_t keep);

 private:
  void Count();
  void Drop(std::size_t keep);

  FileSystem& files_;
  std::string folder_;
  bool counted_ = false;
  std::size_t records_ = 0;
  long last_id_ = 0;
};

}  // namespace korvanta::store

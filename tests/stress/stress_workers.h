// The two sides of the stress workload, each run in a child process: the reminder
// stepping through the verses and deleting blank ones, the editor adding, changing
// and deleting its own. Each tells the parent what it is about to do and what came
// of it, over a pipe, so the parent knows what was acknowledged when a child dies.
#pragma once

#include <cstdint>
#include <string>

namespace stress {

// One message to the parent. An operation is announced (kBegin) before it starts and
// settled (kDone or kFailed) after it returned; a child killed in between leaves
// it unsettled: it may or may not have reached the file.
struct Message {
  enum Kind : std::uint8_t { kBegin, kDone, kFailed, kStep, kBadRead, kSummary };
  enum Op : std::uint8_t { kNone, kInsert, kInsertBlank, kUpdate, kDelete, kDeleteBlank, kFillBlank };
  Kind kind = kBegin;
  Op op = kNone;
  std::int32_t key = 0;      // the row's number: its Book is "E<key>" or "B<key>"
  std::int32_t version = 0;  // the row's Chapter after the operation
  std::int32_t error = 0;    // the failure's number (kFailed)
};

struct WorkerPlan {
  std::string path;  // the store
  int writeFd = -1;  // messages to the parent
  int stopFd = -1;   // readable once the parent wants the child to stop
  std::uint32_t seed = 0;
  int operations = 0;              // the most operations to try
  std::int32_t firstKey = 0;       // the editor's new rows are numbered from here
  std::uint32_t killAtChange = 0;  // > 0: the child kills itself halfway through this file change
};

// Both never return: they end the process with _exit.
[[noreturn]] void RunReminder(const WorkerPlan& plan);
[[noreturn]] void RunEditor(const WorkerPlan& plan);

// The row's Book for a key.
std::string EditorBook(std::int32_t key);
std::string BlankBook(std::int32_t key);

}  // namespace stress

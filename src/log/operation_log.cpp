#include "log/operation_log.h"

#include <cstdio>

namespace korvanta::log {
namespace {

// The entry line for a moment: text + "mm-dd-yyyy  hh:mm:ss".
std::string FormatLogLine(std::string_view text, const store::LocalTime& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d-%02d-%04d  %02d:%02d:%02d", t.month, t.day, t.year,
                t.hour, t.minute, t.second);
  return std::string(text) + stamp;
}

}  // namespace

std::string OperationLog::Path() const {
  return machine_.paths().ProgramFolder() + "\\tamrik.Log";
}

void OperationLog::AppendLogEntry(std::string_view text) noexcept {
  try {
    std::string bytes =
        " \r\n" + machine_.codepage().ToAnsi(FormatLogLine(text, clock_.Now())) + "\r\n";
    machine_.files().AppendFile(Path(), bytes);
    machine_.NoteLogEntry(std::string(text));
  } catch (...) {
    // The log never stops the action that writes it.
  }
}

std::string OperationLog::ReadForViewer() noexcept {
  try {
    std::string bytes;
    if (machine_.files().ReadFile(Path(), bytes) != store::kSuccess || bytes.empty()) {
      Clear();
      return " ";
    }
    return machine_.codepage().FromAnsi(bytes);
  } catch (...) {
    return " ";
  }
}

bool OperationLog::Clear() noexcept {
  try {
    return machine_.files().WriteFile(Path(), " ") == store::kSuccess;
  } catch (...) {
    return false;
  }
}

}  // namespace korvanta::log

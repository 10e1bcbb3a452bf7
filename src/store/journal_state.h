#pragma once
// The states a journal change records (journal.h), read from a machine, put
// back on it, and told to people: shared by the journal as it records an action
// and by the undo of one.

#include <optional>
#include <string>
#include <vector>

#include "store/journal.h"
#include "store/machine_backend.h"

namespace korvanta::store {

using JournalState = std::vector<std::string>;

std::string ShortRootName(RegRoot root);
std::optional<RegRoot> RootOfShortName(std::string_view name);

// A registry value's state, and the value of a state ("absent" gives nothing).
JournalState ValueState(const Codepage& codepage, const std::optional<RegData>& data);
std::optional<RegData> ValueOfState(const Codepage& codepage, const JournalState& state);

// A profile entry's state: its ANSI text, or absent.
JournalState EntryState(const Codepage& codepage, const std::optional<std::string>& ansi);

// What the change's target holds now on the machine.
JournalState CurrentState(MachineBackend& machine, const JournalChange& change);

// Puts the change's state from before back on the machine: false when it could
// not (a copy that is gone, a file the journal did not keep, a refused write).
bool RestoreBefore(MachineBackend& machine, const JournalChange& change);

// For the history: what the change changed, and a state of it.
std::string DescribeTarget(const JournalChange& change);
std::string DescribeState(const JournalChange& change, const JournalState& state);

}  // namespace korvanta::store

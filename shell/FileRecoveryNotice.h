#pragma once
// The customer is told once, at launch, about the files of the Documents
// folder found damaged (GuardedFile.h keeps each one aside): which data came
// back from its last good copy and which starts again. One alert for all of
// them; the next launch says nothing unless a file is damaged again.
#include <string>
#include <vector>

#include "platform/foundation/GuardedFile.h"

namespace FileRecoveryNotice {

inline constexpr const char* kTitle = "数据文件已损坏";

// The alert's message for these files: a line for each kind of data, then that
// the damaged files are kept.
std::string message(const std::vector<RecoveredFile>& files);

// Shows the alert for what was noted in the Documents folder and not yet
// told; false when there was nothing.
bool showIfAny();

}  // namespace FileRecoveryNotice

#pragma once
// The checks a download makes before anything goes on the wire, serial and Ethernet alike. The window
// and veltrane-cli both call these, so a rule is written once; each shows its refusals and questions
// through the prompter and returns false when the download must not go on.

#include "core/common/result.h"
#include "core/interaction/prompter.h"
#include "core/mapping/conflict_state.h"
#include "core/model/project_state.h"
#include "core/model/records.h"

#include <string>

namespace veltrane {

class Document;

// Opens the project file a command sends to a gateway. A file that holds no project (a zero-length
// file, which opening reads as "keep the current records") would send the defaults: it is refused
// with a message that names it. False after the open's own message or that refusal.
bool openProjectToSend(Document& document, const std::string& path);

// Serial download, as its dialog opens (the CLI: before the port is opened): the completeness
// check, which brings subnet 1's byte counts up to date. False after its report and the refusal
// were shown.
bool serialDownloadMayOpen(Project& project, const ProjectState& state, Prompter& prompter);

// Serial download, the refusals that come before any exchange: PROFIBUS sizes that differ where
// they must match, a used node without an address, a number wider than the field its frame
// writes. Refused with the message to show.
Status serialDownloadPreconditions(const Project& project, const ProjectState& state);

// Serial download, at "Download": the PROFIBUS sizes and the node addresses, then a conflict check
// of this very project whose conflict is put to the user. A verdict left by an earlier check or
// by another project never decides the question. False after a refusal or a No.
bool prepareSerialDownload(const Project& project, const ProjectState& state, Prompter& prompter,
                           MappingConflictState& conflicts);

// Ethernet download, as its dialog opens: a fresh conflict check; any conflict refuses.
bool ethernetDownloadMayOpen(const Project& project, const ProjectState& state, Prompter& prompter,
                             MappingConflictState& conflicts);

// Ethernet download, at "Download": the node addresses, the byte counts (written into the project
// and kept there, even when a later check refuses), the buffer ranges and the numbers that must
// fit their fields in the image.
bool prepareEthernetDownload(Project& project, Prompter& prompter);

}  // namespace veltrane

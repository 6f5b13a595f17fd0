// Not public API: whole-file reads and crash-safe whole-file replacement for the INI
// files and the per-user key store, plus the system error texts their messages carry.
#pragma once

#include "platform/rtl/RtlTypes.h"

#include <string>
#include <string_view>

namespace mv {

// The C library's text for an errno value ("Permission denied").
String SystemErrorText(int errorCode);

// Replaces the file at path with bytes so that a reader (or the file after a crash) has
// either the old or the new content, never a mixture: the bytes go to a temporary file in
// the same folder, are flushed to disk, and the temporary file is renamed over path; the
// folder is flushed after the rename. A symbolic link at path is followed, so the file it
// points to is replaced. An existing file keeps its permission bits; a new one gets 0666
// less the umask. Returns 0, or the errno of the first failing step; on failure the
// temporary file is gone and path is untouched.
int WriteFileAtomically(const std::string& path, std::string_view bytes);

// Reads the whole file into bytes. Returns 0, or the errno (ENOENT for a missing file,
// EISDIR for a folder).
int ReadWholeFile(const std::string& path, std::string& bytes);

// Fault points of WriteFileAtomically, inert until a test arms one. An armed step fails
// once with errorCode as if the system call had, then the fault disarms itself.
enum TAtomicWriteStep { awsNone, awsCreate, awsWrite, awsSync, awsRename };
void ArmAtomicWriteFault(TAtomicWriteStep step, int errorCode);

} // namespace mv

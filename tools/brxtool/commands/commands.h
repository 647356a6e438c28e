// The commands of brxtool: each one's help text and handler, gathered into
// the one table (Commands(), in table.cpp) that the command line reads.
#pragma once

#include "tools/brxtool/command.h"

namespace brx::tool {

// As diff(1): equal, different, trouble.
enum DiffExit : int { kEqual = 0, kDifferent = 1, kTrouble = 2 };

extern const char kDumpHelp[];
extern const char kCheckHelp[];
extern const char kBuildHelp[];
extern const char kDiffHelp[];
extern const char kSetHelp[];
extern const char kMergeHelp[];
extern const char kExportHelp[];
extern const char kImportHelp[];
extern const char kApplyHelp[];
extern const char kAtlasHelp[];

int RunDump(const Invocation& call, Console& io);
int RunCheck(const Invocation& call, Console& io);
int RunBuild(const Invocation& call, Console& io);
int RunDiff(const Invocation& call, Console& io);
int RunSet(const Invocation& call, Console& io);
int RunMerge(const Invocation& call, Console& io);
int RunExport(const Invocation& call, Console& io);
int RunImport(const Invocation& call, Console& io);
int RunApply(const Invocation& call, Console& io);
int RunAtlas(const Invocation& call, Console& io);

}  // namespace brx::tool

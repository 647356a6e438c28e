// What each brxtool command is made of, and what it is given when it runs.
#pragma once

#include <cstddef>
#include <istream>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_system.h"
#include "tools/documents/input.h"

namespace brx::tool {

enum ExitCode : int {
  kExitOk = 0,
  kExitError = 1,  // the file or the JSON could not be read, converted or written
  kExitUsage = 2,  // the command line itself is wrong
};

// The process's standard streams, whether standard output is a terminal,
// and the file system the commands read and write files through.
struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  FileSystem& files;
  bool out_is_terminal = false;

  InputSources inputs() const { return {in, files}; }
};

// A command's arguments, sorted out: its options and its operands.
struct Invocation {
  std::vector<std::string> options;
  std::vector<std::string> operands;
  std::string_view usage;  // the command's usage line, for a usage error it finds itself
  // The options that take a value, with the value given ("--output OUT.brx").
  std::map<std::string, std::string, std::less<>> values;

  bool Has(std::string_view option) const;
  // The value given to an option that takes one; nothing when it is not given.
  std::optional<std::string> Value(std::string_view option) const;
};

using CommandHandler = int (*)(const Invocation&, Console&);

// One line of the command table.
struct Command {
  std::string_view name;
  std::string_view usage;    // the command line, after "brxtool "
  std::string_view summary;  // its line in "brxtool --help"; '\n' starts a continuation line
  std::string_view help;     // the whole text of "brxtool COMMAND --help"
  std::vector<std::string_view> options;
  std::size_t min_operands;
  std::size_t max_operands;
  std::string_view operands;  // what the operands are, for a usage error ("1 file")
  int error_code;             // the exit code of an error: 1, or 2 for diff
  CommandHandler run;
  std::vector<std::string_view> value_options = {};  // each followed by its value
};

// Every command, in the order "brxtool --help" lists them.
const std::vector<Command>& Commands();

// "brxtool: FILE: reason" on the error stream; returns `code`.
int Failed(const std::string& file, const std::string& reason, std::ostream& err, int code);

// "more mistakes follow; only the first `shown` are shown", for the line
// after the mistakes shown.
std::string MoreMistakes(std::size_t shown);

// "brxtool: cannot write to the standard output" on the error stream; returns `code`.
int OutputFailed(std::ostream& err, int code);

// A usage error: the problem, the command's usage and where to find help.
int UsageError(const std::string& problem, std::string_view usage, std::ostream& err);

// For a command that changes FILE, its first operand, in place or writes it
// to --output: standard input is no file to change in place (unless the run
// is a dry run, which writes nothing). The usage error's code, if so.
std::optional<int> RefusedInPlaceStandardInput(const Invocation& call, std::ostream& err);
// --output names a file, and none of the inputs; `code` when it names one.
std::optional<int> RefusedOutput(const Invocation& call, Console& io, int code);

}  // namespace brx::tool

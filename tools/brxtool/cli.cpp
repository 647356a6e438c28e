#include "tools/brxtool/cli.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace brx::tool {
namespace {

constexpr char kToolHelpStart[] = R"(Usage: brxtool COMMAND ARGUMENTS...
       brxtool --help | --version

Inspects, checks, compares, edits and converts BRXEDIT structure data files
(.brx).

Commands:
)";

constexpr char kToolHelpEnd[] = R"(
A FILE, IN.json, A or B given as "-" is read from standard input; an OUT.brx
given as "-" is written to standard output.
Run "brxtool COMMAND --help" for the details of a command.

Exit status: 0 success, 1 error, 2 wrong usage; diff: 0 equal, 1 different,
2 trouble; merge: 0 clean, 1 conflicts, 2 trouble.
)";

// Where the summaries of "brxtool --help" start.
constexpr std::size_t kSummaryColumn = 35;

std::string ToolHelp() {
  std::string help = kToolHelpStart;
  for (const Command& command : Commands()) {
    std::string line = "  " + std::string(command.usage);
    // A usage too long for the column has its summary on the lines below.
    line += line.size() + 2 > kSummaryColumn ? "\n" + std::string(kSummaryColumn, ' ')
                                             : std::string(kSummaryColumn - line.size(), ' ');
    for (char c : command.summary)
      line += c == '\n' ? "\n" + std::string(kSummaryColumn, ' ') : std::string(1, c);
    help += line + "\n";
  }
  return help + kToolHelpEnd;
}

std::string ToolUsage() {
  std::string names;
  for (const Command& command : Commands())
    names += (names.empty() ? "" : ", ") + std::string(command.name);
  return "COMMAND ARGUMENTS... (commands: " + names + ")";
}

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

int RunCommand(const Command& command, const std::vector<std::string>& args, Console& io) {
  Invocation call;
  call.usage = command.usage;
  for (std::size_t k = 1; k < args.size(); ++k) {
    const std::string& arg = args[k];
    if (arg == "--help") {
      io.out << command.help;
      return kExitOk;
    }
    // An option that takes a value: "--output OUT.brx" or "--output=OUT.brx".
    const std::string name = arg.substr(0, arg.find('='));
    if (std::find(command.value_options.begin(), command.value_options.end(), name) !=
        command.value_options.end()) {
      const bool attached = name.size() < arg.size();
      if ((!attached && k + 1 == args.size()) ||
          !call.values.emplace(name, attached ? arg.substr(name.size() + 1) : args[++k]).second)
        return UsageError(name + " takes one value", command.usage, io.err);
      continue;
    }
    const bool known =
        std::find(command.options.begin(), command.options.end(), arg) != command.options.end();
    if (known) {
      call.options.push_back(arg);
    } else if (IsOption(arg)) {
      return UsageError("unknown option for " + std::string(command.name) + ": " + arg,
                        command.usage, io.err);
    } else {
      call.operands.push_back(arg);
    }
  }
  const std::size_t count = call.operands.size();
  if (count < command.min_operands || count > command.max_operands) {
    return UsageError(std::string(command.name) + " takes " + std::string(command.operands) +
                          ", not " + std::to_string(count),
                      command.usage, io.err);
  }
  const int code = command.run(call, io);
  io.out.flush();
  if (code != command.error_code && !io.out) return OutputFailed(io.err, command.error_code);
  return code;
}

}  // namespace

bool Invocation::Has(std::string_view option) const {
  return std::find(options.begin(), options.end(), option) != options.end();
}

std::optional<std::string> Invocation::Value(std::string_view option) const {
  const auto given = values.find(option);
  if (given == values.end()) return std::nullopt;
  return given->second;
}

int Failed(const std::string& file, const std::string& reason, std::ostream& err, int code) {
  err << "brxtool: " << file << ": " << reason << "\n";
  return code;
}

std::string MoreMistakes(std::size_t shown) {
  return "more mistakes follow; only the first " + std::to_string(shown) + " are shown";
}

int OutputFailed(std::ostream& err, int code) {
  err << "brxtool: cannot write to the standard output\n";
  return code;
}

std::optional<int> RefusedInPlaceStandardInput(const Invocation& call, std::ostream& err) {
  if (call.operands[0] != kStandardStream || call.Value("--output") || call.Has("--dry-run"))
    return std::nullopt;
  const std::string_view command = call.usage.substr(0, call.usage.find(' '));
  return UsageError(std::string(command) +
                        " changes FILE.brx in place; standard input (\"-\") is not a file (name "
                        "one with --output)",
                    call.usage, err);
}

std::optional<int> RefusedOutput(const Invocation& call, Console& io, int code) {
  const std::optional<std::string> output = call.Value("--output");
  if (!output) return std::nullopt;
  if (*output == kStandardStream)
    return UsageError("--output names a file; standard output (\"-\") is not one", call.usage,
                      io.err);
  for (const std::string& input : call.operands) {
    if (input == *output || io.files.SameFile(input, *output))
      return Failed(*output, "is the input file " + input + "; nothing was read or written", io.err,
                    code);
  }
  return std::nullopt;
}

int UsageError(const std::string& problem, std::string_view usage, std::ostream& err) {
  err << "brxtool: " << problem << "\n"
      << "Usage: brxtool " << usage << "\n"
      << "Run \"brxtool --help\" for help.\n";
  return kExitUsage;
}

int RunBrxTool(const std::vector<std::string>& args, Console& console) {
  const std::string usage = ToolUsage();
  if (args.empty()) return UsageError("no command given", usage, console.err);
  const std::string& first = args[0];
  if ((first == "--help" || first == "--version") && args.size() > 1)
    return UsageError(first + " takes no arguments", usage, console.err);
  if (first == "--help") {
    console.out << ToolHelp();
    return kExitOk;
  }
  if (first == "--version") {
    console.out << "brxtool " << BRX_VERSION << "\n";
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (first == command.name) return RunCommand(command, args, console);
  }
  if (IsOption(first)) return UsageError("unknown option: " + first, usage, console.err);
  return UsageError("unknown command: " + first, usage, console.err);
}

}  // namespace brx::tool

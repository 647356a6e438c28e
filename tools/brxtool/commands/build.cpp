// brxtool build: a structure data file from JSON.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "model/structure_data.h"
#include "model/structure_files.h"
#include "tools/brxtool/commands/commands.h"
#include "tools/documents/input.h"
#include "tools/documents/json_document.h"

namespace brx::tool {
namespace {

std::string Location(const std::string& name, const text::JsonProblem& problem) {
  return name + ":" + std::to_string(problem.at.line) + ":" + std::to_string(problem.at.column) +
         ": " + (problem.path.empty() ? "top level" : problem.path) + ": ";
}

int ReportProblems(const std::string& name, const std::vector<text::JsonProblem>& problems,
                   std::ostream& err) {
  const std::size_t shown = std::min(problems.size(), kMostProblemsShown);
  for (std::size_t k = 0; k < shown; ++k)
    err << Location(name, problems[k]) << problems[k].message << "\n";
  if (problems.size() > shown) {
    Failed(name, MoreMistakes(shown), err, kExitError);
  }
  return kExitError;
}

std::string ReadError(const std::string& operand, const text::TextDecoder& text) {
  return operand == kStandardStream ? text.read_error()
                                    : "cannot read the file: " + text.read_error();
}

}  // namespace

const char kBuildHelp[] = R"(Usage: brxtool build IN.json OUT.brx

Writes the structure data file OUT.brx from IN.json, a document in the form
"brxtool dump --json" prints. OUT.brx is replaced in one step: it holds either
its old content or the whole new one. OUT.brx must not be IN.json itself
(also not through a link): that is refused before anything is read. IN.json
"-" is standard input; OUT.brx "-" is standard output, refused when that is a
terminal.

IN.json may be UTF-8, with or without a byte-order mark, or UTF-16 with one;
any other encoding, or a structure data file given as IN.json, is named as
such. The JSON is read strictly: a syntax error, an unknown or missing key
(StructureNumber and the two Reserved keys may be left out and are then 0), a
key given twice, a number outside its field's range, an unknown flag label or
one given twice, a shape that is not 5 x 5, more than 255 tiles in a structure
or more than 65535 structures stop the build and nothing is written.

Every mistake found is reported, in the order of the text, one per line as
FILE:LINE:COLUMN: PATH: message (COLUMN counts characters; PATH is the JSON
path, e.g. structures[3].Tiles[0].Shape[2][4]). An unknown key or flag label
close to a known one names it: unknown key "Densty"; did you mean "Density"?
After 50 mistakes a last line says that more follow.

Each structure's StructureNumber is written as its position, as the editor does.
)";

int RunBuild(const Invocation& call, Console& io) {
  const std::string& in = call.operands[0];
  const std::string& out_path = call.operands[1];
  const bool to_standard_output = out_path == kStandardStream;
  if (to_standard_output && io.out_is_terminal) {
    return Failed("<stdout>",
                  "a structure data file is binary; not written to a terminal (redirect the "
                  "output, or name OUT.brx)",
                  io.err, kExitError);
  }
  // Swapped or repeated names would put binary over the JSON source.
  if (!to_standard_output && in != kStandardStream && io.files.SameFile(in, out_path)) {
    return Failed(out_path, "is the input file " + in + "; nothing was read or written", io.err,
                  kExitError);
  }
  const std::string name = DisplayName(in);
  std::string error;
  const std::unique_ptr<InputFile> source = OpenInput(in, io.inputs(), error);
  if (!source) return Failed(name, error, io.err, kExitError);
  InputText input_text(*source);
  text::TextDecoder text(input_text);
  if (!text.Start()) return Failed(name, ReadError(in, text), io.err, kExitError);
  if (!IsNotStructureData(text.first_bytes(), "JSON", error))
    return Failed(name, error + " Usage: brxtool " + std::string(call.usage), io.err, kExitError);
  StructureSet set;
  std::vector<text::JsonProblem> problems;
  const bool read = ReadDocumentJson(text, set, problems);
  if (!text.read_error().empty()) return Failed(name, ReadError(in, text), io.err, kExitError);
  if (!text.problem().empty()) return Failed(name, text.problem(), io.err, kExitError);
  if (!read) return ReportProblems(name, problems, io.err);
  if (to_standard_output) {
    if (!FitsTheFormat(set, error)) return Failed("<stdout>", error, io.err, kExitError);
    WriteStructureData(set, [&io](const std::uint8_t* data, std::size_t size) {
      io.out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
      return static_cast<bool>(io.out);
    });
    return kExitOk;
  }
  if (!SaveToFile(set, out_path.c_str(), io.files, error))
    return Failed(out_path, error, io.err, kExitError);
  return kExitOk;
}

}  // namespace brx::tool

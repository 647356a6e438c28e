// Patches applied to a loaded document one after another, as a game loads
// its mods: where a patch's test does not hold, that is a conflict, not the
// end; the patch goes on and its values win. What a patch gets wrong (a path
// that is no part of the document, a value outside its field's range, text
// that is not a patch) is a mistake, and the run's result must not be kept.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/structure_set.h"
#include "tools/documents/json_document.h"
#include "tools/documents/patch/patch_document.h"
#include "tools/documents/patch/patch_reader.h"
#include "tools/text/text_encoding.h"

namespace brx::tool {

struct PatchConflict {
  enum class Kind {
    kValue,           // a value not as the test expected: `found`, then `set` unless it stood alone
    kRecord,          // the same of a record, a list or a shape, told without the values
    kMissing,         // the test names what the file does not have
    kNotRemoved,      // a record to remove not as the test expected: kept
    kAddedElsewhere,  // added at the end, as `added_as`: the file had the place filled
  };
  Kind kind = Kind::kValue;
  std::string patch;  // as named on the command line
  std::size_t line = 0;
  PatchPath path;
  PatchValue expected;
  PatchValue found;
  std::optional<PatchValue> set;
  std::size_t added_as = 0;
};

class PatchApplier {
 public:
  explicit PatchApplier(std::vector<StructureEntry>& entries) : document_(entries) {}

  // Applies the patch read from `patch_text`; `name` is how messages name it.
  void Apply(const std::string& name, text::TextDecoder& patch_text);
  // A mistake that is no patch's: a patch that cannot be opened.
  void NoteMistake(std::string line);

  const std::vector<PatchConflict>& conflicts() const { return conflicts_; }
  // "PATCH:LINE:COLUMN: message", in the order of the patches and their
  // lines; no more than kMostProblemsShown.
  const std::vector<std::string>& mistakes() const { return mistakes_; }
  bool more_mistakes() const { return more_mistakes_; }

 private:
  // An operation with its paths taken apart and its value read.
  struct Step {
    PatchOp op = PatchOp::kTest;
    text::TextPosition at;  // of the operation
    PatchPath path;
    PatchPath from;
    PatchValue value;
  };

  void Operation(const PatchOperation& operation);
  void Number(const NumberOperation& operation);
  // An operation read: the pending test or the change it goes with.
  void Take(Step& step, bool has_from);
  bool Resolve(std::string_view pointer, const text::TextPosition& at, PatchPath& path);
  void ValueMistakes(const std::vector<text::JsonProblem>& problems);
  void Relocated(PatchPath& path) const;
  static bool Pairs(const Step& test, const Step& step);
  void Pair(const Step& test, Step& step);
  void LoneTest(const Step& test);
  void Do(Step& step);
  void Add(Step& step, PatchValue value);
  void Conflict(PatchConflict::Kind kind, const Step& step, const PatchValue* expected,
                const PatchValue* found, const PatchValue* set);
  void Mistake(const text::TextPosition& at, std::string message);
  void Failed(const Step& step, const std::string& error) { Mistake(step.at, error); }

  PatchDocument document_;
  std::vector<PatchConflict> conflicts_;
  std::vector<std::string> mistakes_;
  bool more_mistakes_ = false;
  std::string name_;
  // Of the patch being applied; one past those shown tells that more follow.
  text::ToldProblems patch_mistakes_{kMostProblemsShown + 1};
  // A test waits for the operation after it, which may be the change it goes with.
  Step pending_test_;
  bool has_pending_test_ = false;
  PatchPathReader paths_;
  text::TextPosition last_at_;  // of the patch's last operation
  // Of this patch: where the structures and tiles it added elsewhere went.
  std::map<std::size_t, std::size_t> moved_structures_;
  std::map<std::pair<std::size_t, std::size_t>, std::size_t> moved_tiles_;
};

}  // namespace brx::tool

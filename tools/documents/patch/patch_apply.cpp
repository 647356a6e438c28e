#include "tools/documents/patch/patch_apply.h"

#include <utility>

#include "tools/documents/json_document.h"
#include "tools/documents/patch/patch_value.h"

namespace brx::tool {
namespace {

bool IsValueKind(PatchNode node) {
  const PatchValueKind kind = KindOf(node);
  return kind == PatchValueKind::kNumber || kind == PatchValueKind::kLabel ||
         kind == PatchValueKind::kFlags;
}

}  // namespace

void PatchApplier::Apply(const std::string& name, text::TextDecoder& patch_text) {
  name_ = name;
  std::vector<text::JsonProblem> problems;
  ReadPatch(
      patch_text, [this](const PatchOperation& operation) { Operation(operation); },
      [this](const NumberOperation& operation) { Number(operation); }, problems,
      kMostProblemsShown + 1);
  if (has_pending_test_) LoneTest(pending_test_);
  has_pending_test_ = false;
  std::string error;
  if (!document_.SettleAll(error)) Mistake(last_at_, error);
  moved_structures_.clear();
  moved_tiles_.clear();
  std::vector<text::JsonProblem> found = patch_mistakes_.Take();
  if (!patch_text.problem().empty() || !patch_text.read_error().empty()) {
    NoteMistake(name + ": " +
                (patch_text.problem().empty() ? "cannot read the file: " + patch_text.read_error()
                                              : patch_text.problem()));
    return;
  }
  // Those of reading and those of applying, in the order of the text.
  found.insert(found.end(), problems.begin(), problems.end());
  text::SortByPlace(found);
  for (const text::JsonProblem& problem : found) {
    NoteMistake(name + ":" + std::to_string(problem.at.line) + ":" +
                std::to_string(problem.at.column) + ": " + problem.message);
  }
}

void PatchApplier::NoteMistake(std::string line) {
  if (mistakes_.size() < kMostProblemsShown) {
    mistakes_.push_back(std::move(line));
  } else {
    more_mistakes_ = true;
  }
}

void PatchApplier::Mistake(const text::TextPosition& at, std::string message) {
  patch_mistakes_.Add({at, "", std::move(message)});
}

bool PatchApplier::Resolve(std::string_view pointer, const text::TextPosition& at,
                           PatchPath& path) {
  std::string error;
  if (paths_.Read(pointer, path, error)) return true;
  Mistake(at, error);
  return false;
}

void PatchApplier::ValueMistakes(const std::vector<text::JsonProblem>& problems) {
  for (const text::JsonProblem& problem : problems)
    Mistake(problem.at,
            (problem.path.empty() ? "" : "value." + problem.path + ": ") + problem.message);
}

void PatchApplier::Relocated(PatchPath& path) const {
  if (path.node < PatchNode::kStructure || (path.node == PatchNode::kStructure && path.end)) return;
  if (const auto moved = moved_structures_.find(path.structure); moved != moved_structures_.end())
    path.structure = moved->second;
  if (!IsInTile(path.node) || (path.node == PatchNode::kTile && path.end)) return;
  if (const auto moved = moved_tiles_.find({path.structure, path.tile});
      moved != moved_tiles_.end())
    path.tile = moved->second;
}

void PatchApplier::Operation(const PatchOperation& operation) {
  Step step;
  step.op = operation.op;
  step.at = operation.at;
  if (!Resolve(operation.path.text, operation.path.at, step.path)) return;
  const bool has_from = step.op == PatchOp::kMove || step.op == PatchOp::kCopy;
  if (has_from && !Resolve(operation.from.text, operation.from.at, step.from)) return;
  if (!operation.value.events.empty()) {
    std::vector<text::JsonProblem> problems;
    if (!ReadPatchValue(operation.value, step.path, step.value, problems))
      return ValueMistakes(problems);
  }
  Take(step, has_from);
}

void PatchApplier::Number(const NumberOperation& operation) {
  Step step;
  step.op = operation.op;
  step.at = operation.at;
  if (!Resolve(operation.pointer, operation.pointer_at, step.path)) return;
  // A label, a list or a record given a number: the reader's own words.
  if (KindOf(step.path.node) != PatchValueKind::kNumber) return Operation(operation.Whole());
  std::vector<text::JsonProblem> problems;
  if (!ReadPatchNumber(operation.number, operation.number_at, step.path, step.value, problems))
    return ValueMistakes(problems);
  Take(step, false);
}

void PatchApplier::Take(Step& step, bool has_from) {
  Relocated(step.path);
  if (has_from) Relocated(step.from);
  last_at_ = step.at;
  std::string error;
  if (!document_.Settle(step.path, error) || (has_from && !document_.Settle(step.from, error)))
    return Mistake(step.at, error);
  if (has_pending_test_) {
    has_pending_test_ = false;
    if (Pairs(pending_test_, step)) return Pair(pending_test_, step);
    LoneTest(pending_test_);
  }
  if (step.op == PatchOp::kTest) {
    pending_test_ = std::move(step);
    has_pending_test_ = true;
    return;
  }
  Do(step);
}

bool PatchApplier::Pairs(const Step& test, const Step& step) {
  if (!(test.path == step.path) || test.path.end) return false;
  return step.op == PatchOp::kReplace || step.op == PatchOp::kRemove ||
         (step.op == PatchOp::kAdd && !IsListElement(step.path.node));
}

// A test and the change of the same place: the change is what the patch
// means, the test what it expected to find there.
void PatchApplier::Pair(const Step& test, Step& step) {
  std::string error;
  PatchValue found;
  if (step.op == PatchOp::kRemove) {
    // Removed already, by an earlier patch: what the patch wants.
    if (IsListElement(step.path.node) && !document_.Has(step.path, false, error)) return;
    if (!document_.Get(step.path, found, error)) return Failed(step, error);
    if (!SameValue(found, test.value))
      return Conflict(PatchConflict::Kind::kNotRemoved, step, &test.value, &found, nullptr);
    if (!document_.Remove(step.path, error)) Failed(step, error);
    return;
  }
  if (!document_.Get(step.path, found, error)) return Failed(step, error);
  if (step.path.node == PatchNode::kFlags) {
    // The labels the patch sets and clears, on whatever the file has.
    const std::uint32_t changed = FlagWordOf(test.value.items) ^ FlagWordOf(step.value.items);
    const std::uint32_t word =
        (FlagWordOf(found.items) & ~changed) | (FlagWordOf(step.value.items) & changed);
    step.value.items = LabelsOf(word);
  } else if (SameValue(found, step.value)) {
    return;
  } else if (!SameValue(found, test.value)) {
    Conflict(
        IsValueKind(step.path.node) ? PatchConflict::Kind::kValue : PatchConflict::Kind::kRecord,
        step, &test.value, &found, &step.value);
  }
  if (!document_.Replace(step.path, std::move(step.value), error)) Failed(step, error);
}

void PatchApplier::LoneTest(const Step& test) {
  std::string error;
  if (test.path.end) return Failed(test, "\"-\" names no element to test");
  if (!document_.Has(test.path, false, error))
    return Conflict(PatchConflict::Kind::kMissing, test, &test.value, nullptr, nullptr);
  PatchValue found;
  if (!document_.Get(test.path, found, error)) return Failed(test, error);
  if (SameValue(found, test.value)) return;
  Conflict(IsValueKind(test.path.node) ? PatchConflict::Kind::kValue : PatchConflict::Kind::kRecord,
           test, &test.value, &found, nullptr);
}

void PatchApplier::Do(Step& step) {
  std::string error;
  switch (step.op) {
    case PatchOp::kAdd:
      return Add(step, std::move(step.value));
    case PatchOp::kRemove:
      if (!document_.Remove(step.path, error)) Failed(step, error);
      return;
    case PatchOp::kReplace:
      if (!document_.Replace(step.path, std::move(step.value), error)) Failed(step, error);
      return;
    case PatchOp::kMove:
    case PatchOp::kCopy:
      break;
    case PatchOp::kTest:
      return LoneTest(step);
  }
  PatchValue value;
  if (!document_.Get(step.from, value, error)) return Failed(step, error);
  if (step.op == PatchOp::kMove) {
    const std::string from = PatchPointer(step.from);
    if (PatchPointer(step.path) == from) return;
    if (PatchPointer(step.path).rfind(from + "/", 0) == 0)
      return Failed(step, "a value cannot be moved into itself");
    if (!document_.Remove(step.from, error)) return Failed(step, error);
  }
  Add(step, std::move(value));
}

// A structure or tile added where the file already has one goes to the end
// instead: other data refers to structures by their number, which an insert
// would shift. A value of another kind is refused where the patch put it.
void PatchApplier::Add(Step& step, PatchValue value) {
  std::string error;
  PatchPath& path = step.path;
  const bool structure = path.node == PatchNode::kStructure;
  const bool tile = path.node == PatchNode::kTile;
  if ((structure || tile) && !path.end && KindOf(value.node) == KindOf(path.node) &&
      document_.Has(path, false, error)) {
    const std::size_t expected = structure ? path.structure : path.tile;
    const std::size_t end =
        structure ? document_.StructureCount() : document_.TileCount(path.structure);
    PatchPath at_end = path;
    at_end.end = true;
    if (!document_.Add(at_end, std::move(value), error)) return Failed(step, error);
    if (structure) {
      moved_structures_[expected] = end;
    } else {
      moved_tiles_[{path.structure, expected}] = end;
    }
    Conflict(PatchConflict::Kind::kAddedElsewhere, step, nullptr, nullptr, nullptr);
    conflicts_.back().added_as = end;
    return;
  }
  if (!document_.Add(path, std::move(value), error)) Failed(step, error);
}

void PatchApplier::Conflict(PatchConflict::Kind kind, const Step& step, const PatchValue* expected,
                            const PatchValue* found, const PatchValue* set) {
  PatchConflict conflict;
  conflict.kind = kind;
  conflict.patch = name_;
  conflict.line = step.at.line;
  conflict.path = step.path;
  if (expected) conflict.expected = *expected;
  if (found) conflict.found = *found;
  if (set) conflict.set = *set;
  conflicts_.push_back(std::move(conflict));
}

}  // namespace brx::tool

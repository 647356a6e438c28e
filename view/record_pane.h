// A property pane over a private copy of one record, with the field list
// that binds the record's fields to the pane's controls.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/flags.h"
#include "view/field_exchange.h"

namespace brx {

template <typename Record>
class CRecordPane : public CPropertyPane {
 public:
  const Record& record() const { return record_; }

  std::optional<FieldFailure> ExchangeFields(ExchangeDirection direction) override {
    for (const FieldBinding& field : fields_) {
      if (field.kind == FieldBinding::Kind::kFlag) {
        ExchangeFlag(field.control, field.offset, field.width, field.bit, direction);
      } else if (!ExchangeInt(field.control, field.offset, field.width, direction)) {
        return Failure(field.control);
      }
    }
    return std::nullopt;
  }

  // One integer field. Load shows it widened (signed kinds with their sign);
  // store cuts the number read to the field's width, and writes 0 when the
  // text is not a number.
  bool ExchangeInt(int control, std::size_t offset, IntKind kind, ExchangeDirection direction) {
    if (direction == ExchangeDirection::kLoad)
      return ShowInt(control, record_.Get(offset, kind), IsSignedKind(kind));
    bool converted = false;
    record_.Put(offset, kind, ReadInt(control, kind, converted));
    return converted;
  }

  // One bit of a flag word through its checkbox; the word's other bits pass
  // through unchanged.
  void ExchangeFlag(int control, std::size_t word_offset, IntKind word_width, std::size_t bit,
                    ExchangeDirection direction) {
    FlagWord<std::uint32_t> work(static_cast<std::uint32_t>(record_.Get(word_offset, word_width)));
    int check = work.Test(bit) ? BST_CHECKED : BST_UNCHECKED;
    ExchangeCheck(control, check, direction);
    work.Set(bit, check != BST_UNCHECKED);
    record_.Put(word_offset, word_width, work.word());
  }

 protected:
  CRecordPane(int template_id, const std::vector<FieldBinding>& fields, const Record& record)
      : CPropertyPane(template_id), fields_(fields), record_(record) {}

 private:
  const std::vector<FieldBinding>& fields_;
  Record record_;
};

}  // namespace brx

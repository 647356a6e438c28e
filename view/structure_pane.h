// The form of one structure's header: eight integer properties and the 32
// bits of its flags (dialog 201).
#pragma once

#include <vector>

#include "model/records.h"
#include "view/record_pane.h"

namespace brx {

class CStructurePane : public CRecordPane<StructureHeader> {
 public:
  explicit CStructurePane(const StructureHeader& header);

  // Integer fields first (the offsets before the partner fields, unlike the
  // byte order), then flag bits 0 to 31.
  static const std::vector<FieldBinding>& Fields();
};

}  // namespace brx

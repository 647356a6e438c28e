// Field exchange: moving values between a pane's controls and its private
// copy of one record. Load fills the controls from the copy when the pane's
// window opens; store reads them back when the view takes the pane's edits.
// Integers go through edit boxes, flag bits through checkboxes; a number too
// wide for its field is cut to the field's width, and text that is not a
// number stops the exchange at that field.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "framework/dialog.h"
#include "model/fields.h"

namespace brx {

enum class ExchangeDirection { kLoad, kStore };

// One entry of a pane's field list: a control and what it shows of the record.
struct FieldBinding {
  enum class Kind { kInt, kFlag };

  Kind kind;
  int control;
  std::size_t offset;  // of the integer field, or of the flag word, in the record
  IntKind width;       // the integer's kind, or the flag word's width (U32 or U8)
  std::size_t bit;     // flag bindings: the bound bit of the word

  static FieldBinding Int(int control, const Field& field) {
    return {Kind::kInt, control, field.offset, field.kind, 0};
  }
  static FieldBinding Flag(int control, std::size_t word_offset, IntKind word_width,
                           std::size_t bit) {
    return {Kind::kFlag, control, word_offset, word_width, bit};
  }
};

// The field that stopped an exchange, for whoever asked for the exchange to
// report: the pane's window and the field's control (where the focus goes),
// the field's label on the form and the text its edit box held.
struct FieldFailure {
  HWND pane = nullptr;
  int control = 0;
  std::string label;
  std::string text;
};

// Puts the focus on a field with its whole text selected, so that typing replaces it.
void FocusField(HWND pane, int control);

// The common base of the property panes: a modeless child dialog that
// exchanges its fields once when it opens and again whenever the view stores
// it. It handles WM_INITDIALOG only; everything else is the dialog manager's.
class CPropertyPane : public framework::CDialog {
 public:
  // The pane's window from its template, as a hidden or visible child of `parent`.
  HWND Create(HWND parent) { return CreateModeless(template_id_, parent); }

  // Walks the field list in order and stops at the first integer field that
  // fails, which it returns; nothing when every field was exchanged.
  // Reporting the failure is the caller's: what it holds back decides how.
  virtual std::optional<FieldFailure> ExchangeFields(ExchangeDirection direction) = 0;

  // One checkbox: 0 unchecked, 1 checked, 2 indeterminate. Cannot fail; a
  // value outside 0 to 2 loads as unchecked.
  void ExchangeCheck(int control, int& check, ExchangeDirection direction);

  // The failure response: the simple beep, then the focus on the field.
  void ReportExchangeFailure(int control);

  // A field as a message names it: its label on the form.
  virtual std::string FieldName(int control) const;

  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT& result) override;

 protected:
  explicit CPropertyPane(int template_id) : template_id_(template_id) {}

  // Shows a number widened to 32 bits; false when the text could not be set.
  bool ShowInt(int control, std::int64_t value, bool is_signed);
  // Reads an edit box as a number for a field of `kind`, by the form's rule
  // (model/number_text.h); 0 and `converted` false when the text is not one.
  std::uint32_t ReadInt(int control, IntKind kind, bool& converted);
  // What a failed exchange returns of the field with this control.
  FieldFailure Failure(int control) const;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnFocusField(UINT, WPARAM, LPARAM, bool&);

  const int template_id_;
};

}  // namespace brx

#include "views/list_focus.h"

#include "views/list_model.h"

namespace {

// Overview rows have no title; their column 3 is a duration.
std::string_view TitleOf(const ListModel& model, size_t row) {
  return model.view_mode() == 3 ? std::string_view() : model.Cell(row, 3);
}

}  // namespace

RowIdentity IdentityOfRow(const ListModel& model, ptrdiff_t row) {
  RowIdentity identity;
  if (row < 0 || static_cast<size_t>(row) >= model.size()) return identity;
  identity.valid = true;
  identity.row_text = std::string(model.RowText(row));
  identity.title = std::string(TitleOf(model, row));
  return identity;
}

ptrdiff_t FindRow(const ListModel& model, const RowIdentity& identity) {
  if (!identity.valid) return -1;
  for (size_t row = 0; row < model.size(); ++row) {
    if (model.RowText(row) == identity.row_text && TitleOf(model, row) == identity.title) {
      return static_cast<ptrdiff_t>(row);
    }
  }
  return -1;
}

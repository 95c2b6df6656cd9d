#include "forms/FormModel.h"

namespace pelasim {

FormModel::FormModel(std::string_view formName, std::span<const ElementDef> defs)
    : formName_(formName), elements_(defs.size()), dirty_(defs.size(), 0) {
  for (std::size_t i = 0; i < defs.size(); ++i) {
    const ElementDef& d = defs[i];
    Element& e = elements_[i];
    e.name = d.name;
    e.kind = d.kind;
    e.parent = d.parent;
    e.left = d.left;
    e.top = d.top;
    e.width = d.width;
    e.height = d.height;
    e.caption = d.caption;
    e.toolTip = d.toolTip;
    e.picture = d.picture;
    e.transparent = d.kind == ElementKind::HotSpot;
  }
}

int FormModel::find(std::string_view name) const {
  for (std::size_t i = 0; i < elements_.size(); ++i)
    if (elements_[i].name == name) return static_cast<int>(i);
  return -1;
}

Element& FormModel::mut(int id) {
  const auto i = static_cast<std::size_t>(id);
  if (!dirty_[i]) {
    dirty_[i] = 1;
    changed_.push_back(id);
  }
  return elements_[i];
}

#define PELASIM_SET(field, value)                    \
  do {                                               \
    const auto& cur = at(id).field;                  \
    if (!(cur == value)) mut(id).field = value;      \
  } while (false)

void FormModel::setCaption(int id, std::string_view text) {
  if (at(id).caption != text) mut(id).caption = std::string(text);
}
void FormModel::setToolTip(int id, std::string_view text) {
  if (at(id).toolTip != text) mut(id).toolTip = std::string(text);
}
void FormModel::setPicture(int id, std::string_view file) {
  if (at(id).picture != file) mut(id).picture = std::string(file);
}
void FormModel::setVisible(int id, bool visible) { PELASIM_SET(visible, visible); }
void FormModel::setEnabled(int id, bool enabled) { PELASIM_SET(enabled, enabled); }
void FormModel::setChecked(int id, bool checked) { PELASIM_SET(checked, checked); }
void FormModel::setForeColour(int id, Rgb c) { PELASIM_SET(foreColour, c); }
void FormModel::setBackColour(int id, Rgb c) { PELASIM_SET(backColour, c); }
void FormModel::setFillColour(int id, Rgb c) { PELASIM_SET(fillColour, c); }
void FormModel::setBorderColour(int id, Rgb c) { PELASIM_SET(borderColour, c); }
void FormModel::setBorderWidth(int id, int px) { PELASIM_SET(borderWidth, px); }
void FormModel::setHeight(int id, double height) { PELASIM_SET(height, height); }
void FormModel::setTag(int id, std::string_view tag) {
  if (at(id).tag != tag) mut(id).tag = std::string(tag);
}
void FormModel::setValue(int id, int value) { PELASIM_SET(value, value); }
void FormModel::setItems(int id, std::vector<std::string> items) {
  if (at(id).items != items) mut(id).items = std::move(items);
}
void FormModel::setGeometry(int id, double left, double top, double width, double height) {
  const Element& e = at(id);
  if (e.left == left && e.top == top && e.width == width && e.height == height) return;
  Element& m = mut(id);
  m.left = left;
  m.top = top;
  m.width = width;
  m.height = height;
}

#undef PELASIM_SET

std::vector<int> FormModel::takeChanged() {
  std::vector<int> out;
  out.swap(changed_);
  for (int id : out) dirty_[static_cast<std::size_t>(id)] = 0;
  return out;
}

}  // namespace pelasim

#pragma once
// A Qt-free model of one window (form) and its named elements. The logic writes captions,
// colours, visibility, geometry, pictures and check states here; the Qt widgets only mirror
// the model (they read the elements marked changed after each handler) and forward mouse
// events back to the handlers. Tests assert on the model.
//
// Geometry is in twips (1/1440 inch; 15 twips are one pixel at 96 dpi), relative to the
// element's container.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Types.h"

namespace pelasim {

enum class ElementKind : std::uint8_t {
  Form,
  Frame,      // captioned group box
  Label,      // text
  HotSpot,    // transparent label without caption that takes the mouse
  Picture,    // image loaded from a file beside the program
  Shape,      // filled rectangle with a border
  CheckBox,
  Button,
  Slider,
  ComboBox,
  TextBox,
  StatusPanel,
};

enum class Align : std::uint8_t { Left, Centre };

struct Font {
  std::string family;       // empty: the toolkit's default
  double pointSize = 0;     // 0: the toolkit's default
  bool bold = false;
};

// Static description of an element, as laid out at design time.
struct ElementDef {
  std::string_view name;
  ElementKind kind;
  int parent;               // index of the container element, -1 for the form itself
  double left, top, width, height;  // twips
  std::string_view caption = {};
  std::string_view toolTip = {};
  std::string_view picture = {};  // picture file name for pictures
};

// The run-time state of an element.
struct Element {
  std::string name;
  ElementKind kind = ElementKind::Label;
  int parent = -1;
  double left = 0, top = 0, width = 0, height = 0;  // twips
  std::string caption;
  std::string toolTip;
  std::string picture;        // file name beside the program; empty for none
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  bool transparent = false;   // label without background
  Rgb foreColour{0, 0, 0};
  Rgb backColour{255, 255, 255};
  Rgb fillColour{255, 255, 255};
  Rgb borderColour{0, 0, 0};
  int borderWidth = 1;        // pixels
  Font font;
  Align align = Align::Left;
  std::string tag;            // free text the handlers keep with an element
  int value = 0;              // slider value, combo selection (-1 none)
  std::vector<std::string> items;  // combo entries
};

class FormModel {
 public:
  FormModel(std::string_view formName, std::span<const ElementDef> defs);

  const std::string& formName() const { return formName_; }
  int size() const { return static_cast<int>(elements_.size()); }
  const Element& at(int id) const { return elements_[static_cast<std::size_t>(id)]; }
  // Index of the element with this name, or -1.
  int find(std::string_view name) const;

  // Writers; each marks the element changed when the value differs.
  void setCaption(int id, std::string_view text);
  void setToolTip(int id, std::string_view text);
  void setPicture(int id, std::string_view file);
  void setVisible(int id, bool visible);
  void setEnabled(int id, bool enabled);
  void setChecked(int id, bool checked);
  void setForeColour(int id, Rgb c);
  void setBackColour(int id, Rgb c);
  void setFillColour(int id, Rgb c);
  void setBorderColour(int id, Rgb c);
  void setBorderWidth(int id, int px);
  void setGeometry(int id, double left, double top, double width, double height);
  void setHeight(int id, double height);
  void setTag(int id, std::string_view tag);
  void setValue(int id, int value);
  void setItems(int id, std::vector<std::string> items);

  // Element set-up at construction time (does not mark changes).
  Element& init(int id) { return elements_[static_cast<std::size_t>(id)]; }

  // The elements changed since the last call, in the order of their first change.
  std::vector<int> takeChanged();
  bool hasChanges() const { return !changed_.empty(); }

 private:
  Element& mut(int id);
  std::string formName_;
  std::vector<Element> elements_;
  std::vector<std::uint8_t> dirty_;
  std::vector<int> changed_;
};

// Typed access for a form whose elements are named by an enum.
template <class Id>
class Form : public FormModel {
 public:
  using FormModel::FormModel;
  const Element& operator[](Id id) const { return at(static_cast<int>(id)); }
  void setCaption(Id id, std::string_view t) { FormModel::setCaption(static_cast<int>(id), t); }
  void setToolTip(Id id, std::string_view t) { FormModel::setToolTip(static_cast<int>(id), t); }
  void setPicture(Id id, std::string_view f) { FormModel::setPicture(static_cast<int>(id), f); }
  void setVisible(Id id, bool v) { FormModel::setVisible(static_cast<int>(id), v); }
  void setEnabled(Id id, bool v) { FormModel::setEnabled(static_cast<int>(id), v); }
  void setChecked(Id id, bool v) { FormModel::setChecked(static_cast<int>(id), v); }
  void setForeColour(Id id, Rgb c) { FormModel::setForeColour(static_cast<int>(id), c); }
  void setBackColour(Id id, Rgb c) { FormModel::setBackColour(static_cast<int>(id), c); }
  void setFillColour(Id id, Rgb c) { FormModel::setFillColour(static_cast<int>(id), c); }
  void setBorderColour(Id id, Rgb c) { FormModel::setBorderColour(static_cast<int>(id), c); }
  void setBorderWidth(Id id, int px) { FormModel::setBorderWidth(static_cast<int>(id), px); }
  void setGeometry(Id id, double l, double t, double w, double h) {
    FormModel::setGeometry(static_cast<int>(id), l, t, w, h);
  }
  void setHeight(Id id, double h) { FormModel::setHeight(static_cast<int>(id), h); }
  void setTag(Id id, std::string_view t) { FormModel::setTag(static_cast<int>(id), t); }
  void setValue(Id id, int v) { FormModel::setValue(static_cast<int>(id), v); }
  void setItems(Id id, std::vector<std::string> items) {
    FormModel::setItems(static_cast<int>(id), std::move(items));
  }
  Element& init(Id id) { return FormModel::init(static_cast<int>(id)); }
  bool checked(Id id) const { return at(static_cast<int>(id)).checked; }
};

}  // namespace pelasim

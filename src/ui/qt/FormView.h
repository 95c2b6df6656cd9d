#pragma once
// Qt widgets that mirror one form model: one widget per element, built from the element
// table, placed in pixels (15 twips a pixel) inside their container. The widgets never
// change the simulation themselves: they forward mouse events to the form's event callback
// and show what the model says after each handler (`sync`).

#include <QHash>
#include <QPixmap>
#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/Dispatch.h"
#include "forms/FormModel.h"

namespace pelasim {

// Twips to pixels at 96 dpi.
constexpr int px(double twips) { return static_cast<int>(twips / 15.0 + 0.5); }

class FormView : public QObject {
  Q_OBJECT
 public:
  using EventFn = std::function<void(int id, MouseEvent ev, const MouseArgs& args)>;
  using ValueFn = std::function<void(int id, int value)>;
  using TextFn = std::function<void(int id, const std::string& text)>;

  // Builds the widgets of `model` inside `root` (which stands for the form element itself).
  FormView(FormModel& model, QWidget* root, QString pictureDir);

  void setEventHandler(EventFn fn) { onEvent_ = std::move(fn); }
  // Slider moves and combo selections.
  void setValueHandler(ValueFn fn) { onValue_ = std::move(fn); }
  // Text typed into a text box.
  void setTextHandler(TextFn fn) { onText_ = std::move(fn); }
  // Called after every forwarded event (the owner mirrors all models then).
  void setAfterEvent(std::function<void()> fn) { afterEvent_ = std::move(fn); }

  // Applies every change of the model to the widgets.
  void sync();
  // Draws the form `scale` times its designed size (1: 15 twips a pixel): places, sizes and
  // fonts of every element follow, and mouse positions are given back in designed twips.
  void setScale(double scale);
  double scale() const { return scale_; }
  // Twips to pixels at the present scale.
  int toPixels(double twips) const { return static_cast<int>(twips / 15.0 * scale_ + 0.5); }
  // The window title of a form whose caption is empty (a task bar shows it).
  void setUntitledName(QString title) {
    untitledName_ = std::move(title);
    apply(0);
  }
  // Text typed into the text boxes reaches the model only when it is needed: before any
  // click, selection or slider move of the form is handed on, and when the owner asks (so
  // typing stays cheap however long the text grows).
  void flushTypedText();
  QWidget* widget(int id) const { return widgets_[static_cast<std::size_t>(id)]; }
  QWidget* root() const { return root_; }
  FormModel& model() { return model_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void apply(int id);
  void applyForm(const Element& e);
  void applyCommon(const Element& e, QWidget* w);
  void applyKind(int id, const Element& e, QWidget* w);
  void forward(int id, MouseEvent ev, const MouseArgs& args);
  QPixmap picture(const std::string& file);

  FormModel& model_;
  QWidget* root_;
  QString pictureDir_;
  std::vector<QWidget*> widgets_;
  QHash<QObject*, int> ids_;
  QHash<QString, QPixmap> pictures_;
  EventFn onEvent_;
  ValueFn onValue_;
  TextFn onText_;
  std::function<void()> afterEvent_;
  bool applying_ = false;
  double scale_ = 1.0;
  QFont baseFont_;
  QString untitledName_;
  std::vector<int> typedText_;  // text boxes typed into since the model last read them
};

}  // namespace pelasim

#include "ui/qt/FormView.h"

#include <QCheckBox>
#include <algorithm>
#include <cstdlib>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "ui/qt/LabelText.h"

namespace pelasim {
namespace {

QColor qc(Rgb c) { return QColor(c.r, c.g, c.b); }
QString q(const std::string& s) { return QString::fromStdString(s); }

QFont fontOf(const Element& e, const QFont& base, double scale) {
  QFont f = base;
  if (!e.font.family.empty()) f.setFamily(q(e.font.family));
  f.setPointSizeF((e.font.pointSize > 0 ? e.font.pointSize : base.pointSizeF()) * scale);
  f.setBold(e.font.bold);
  return f;
}

// A label that wraps its text at blanks within its width, as the window's labels do, and
// draws it from the top, left-aligned or centred, on a transparent or filled background.
class TextLabel : public QWidget {
 public:
  using QWidget::QWidget;
  std::string text;
  bool centred = false;
  bool transparent = true;
  QColor fore, back;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (!transparent) p.fillRect(rect(), back);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(fore);
    for (const DrawnLine& line : layoutLabelText(text, font(), width(), centred))
      p.drawText(line.at, line.text);
  }
};

// A picture loaded from a file beside the program, stretched to the element.
class PictureBox : public QWidget {
 public:
  using QWidget::QWidget;
  QPixmap pixmap;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (pixmap.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), pixmap);
  }
};

// A filled rectangle with a border.
class ShapeBox : public QWidget {
 public:
  using QWidget::QWidget;
  QColor fill, border;
  int borderWidth = 1;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), fill);
    if (borderWidth > 0) {
      QPen pen(border, borderWidth);
      pen.setJoinStyle(Qt::MiterJoin);
      p.setPen(pen);
      p.setBrush(Qt::NoBrush);
      const double h = borderWidth / 2.0;
      p.drawRect(QRectF(h, h, width() - borderWidth, height() - borderWidth));
    }
  }
};

// A check box whose tick only the model changes.
class ModelCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

// A caption wider than the space for it goes on two lines, broken at the blank nearest the
// middle, so every word of it stays readable.
QString fitCaption(QString text, const QFont& font, int width) {
  const QFontMetrics fm(font);
  if (fm.horizontalAdvance(QString(text).remove(QLatin1Char('&'))) <= width) return text;
  int best = -1;
  for (int i = 0; i < text.size(); ++i)
    if (text[i] == QLatin1Char(' ') &&
        (best < 0 || std::abs(i - text.size() / 2) < std::abs(best - text.size() / 2)))
      best = i;
  if (best > 0) text[best] = QLatin1Char('\n');
  return text;
}

int buttonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 1;
  }
}

}  // namespace

FormView::FormView(FormModel& model, QWidget* root, QString pictureDir)
    : model_(model), root_(root), pictureDir_(std::move(pictureDir)), baseFont_(root->font()) {
  build();
}

void FormView::setScale(double scale) {
  if (scale <= 0 || scale == scale_) return;
  flushTypedText();
  scale_ = scale;
  for (int id = 0; id < model_.size(); ++id) apply(id);
}

void FormView::flushTypedText() {
  std::vector<int> ids;
  ids.swap(typedText_);
  for (int id : ids)
    if (onText_) onText_(id, static_cast<QPlainTextEdit*>(widget(id))->toPlainText().toStdString());
}

QPixmap FormView::picture(const std::string& file) {
  if (file.empty()) return {};
  const QString name = q(file);
  auto it = pictures_.find(name);
  if (it != pictures_.end()) return *it;
  QPixmap pm;
  // A missing or unreadable picture leaves its element empty.
  pm.load(pictureDir_ + QLatin1Char('/') + name);
  pictures_.insert(name, pm);
  return pm;
}

void FormView::build() {
  widgets_.assign(static_cast<std::size_t>(model_.size()), nullptr);
  for (int id = 0; id < model_.size(); ++id) {
    const Element& e = model_.at(id);
    QWidget* parent = e.parent < 0 ? root_ : widgets_[static_cast<std::size_t>(e.parent)];
    QWidget* w = nullptr;
    switch (e.kind) {
      case ElementKind::Form: w = root_; break;
      case ElementKind::Frame: w = new QGroupBox(parent); break;
      case ElementKind::Label: w = new TextLabel(parent); break;
      case ElementKind::HotSpot: w = new QWidget(parent); break;
      case ElementKind::Picture: w = new PictureBox(parent); break;
      case ElementKind::Shape: w = new ShapeBox(parent); break;
      case ElementKind::CheckBox: {
        auto* cb = new ModelCheckBox(parent);
        connect(cb, &QCheckBox::clicked, this, [this, id] { forward(id, MouseEvent::Click, {}); });
        w = cb;
        break;
      }
      case ElementKind::Button: {
        auto* b = new QPushButton(parent);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { forward(id, MouseEvent::Click, {}); });
        w = b;
        break;
      }
      case ElementKind::Slider: {
        auto* s = new QSlider(Qt::Horizontal, parent);
        s->setRange(0, 15);
        s->setSingleStep(1);
        s->setPageStep(5);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(1);
        connect(s, &QSlider::valueChanged, this, [this, id](int v) {
          if (applying_) return;
          flushTypedText();
          if (onValue_) onValue_(id, v);
          if (afterEvent_) afterEvent_();
        });
        w = s;
        break;
      }
      case ElementKind::ComboBox: {
        auto* c = new QComboBox(parent);
        connect(c, &QComboBox::currentIndexChanged, this, [this, id](int v) {
          if (applying_) return;
          flushTypedText();
          if (onValue_) onValue_(id, v);
        });
        w = c;
        break;
      }
      case ElementKind::TextBox: {
        auto* t = new QPlainTextEdit(parent);
        // A keystroke only notes that the box has new text: copying a long text into the
        // model at every key made typing slow down as the text grew.
        connect(t, &QPlainTextEdit::textChanged, this, [this, id] {
          if (applying_) return;
          if (std::find(typedText_.begin(), typedText_.end(), id) == typedText_.end())
            typedText_.push_back(id);
        });
        w = t;
        break;
      }
      case ElementKind::StatusPanel: w = new QLabel(); break;
    }
    widgets_[static_cast<std::size_t>(id)] = w;
    ids_.insert(w, id);
    if (e.kind == ElementKind::Label || e.kind == ElementKind::HotSpot ||
        e.kind == ElementKind::Picture || e.kind == ElementKind::Shape) {
      w->setMouseTracking(true);
      w->installEventFilter(this);
    }
    apply(id);
  }
}

void FormView::apply(int id) {
  const Element& e = model_.at(id);
  QWidget* w = widgets_[static_cast<std::size_t>(id)];
  if (!w) return;
  applying_ = true;
  if (e.kind == ElementKind::Form) {
    applyForm(e);
  } else {
    applyCommon(e, w);
    applyKind(id, e, w);
  }
  applying_ = false;
}

// The form itself: its title and background.
void FormView::applyForm(const Element& e) {
  // A form without a caption still names itself in the title bar and the task bar.
  const QString title = e.caption.empty() ? untitledName_ : q(e.caption);
  root_->window()->setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
  QPalette pal = root_->palette();
  pal.setColor(QPalette::Window, qc(e.backColour));
  root_->setPalette(pal);
  root_->setAutoFillBackground(true);
}

// What every element shows alike: place, visibility, enabled state, tool tip, accessible
// name and font.
void FormView::applyCommon(const Element& e, QWidget* w) {
  if (e.kind != ElementKind::StatusPanel) {
    w->setGeometry(toPixels(e.left), toPixels(e.top), toPixels(e.width), toPixels(e.height));
    w->setVisible(e.visible);
  }
  w->setEnabled(e.enabled);
  w->setToolTip(q(e.toolTip));
  // Screen readers hear a label's text, or a picture's tool tip; a window that names its
  // elements itself (the main window's aids) marks them so.
  if (!w->property("namedByOwner").toBool() && e.kind != ElementKind::StatusPanel) {
    const QString name = q(!e.caption.empty() ? e.caption : !e.toolTip.empty() ? e.toolTip : e.name)
                             .remove(QLatin1Char('&'));
    if (w->accessibleName() != name) w->setAccessibleName(name);
  }
  w->setFont(fontOf(e, baseFont_, scale_));
}

// What each kind of element shows of its own.
void FormView::applyKind(int id, const Element& e, QWidget* w) {
  switch (e.kind) {
    case ElementKind::Frame: {
      auto* g = static_cast<QGroupBox*>(w);
      g->setTitle(q(e.caption));
      g->setStyleSheet(QStringLiteral(
          "QGroupBox { background-color: %1; border: 1px solid #808060; margin-top: 7px; }"
          "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; color: %2; }")
          .arg(qc(e.backColour).name(), qc(e.foreColour).name()));
      break;
    }
    case ElementKind::Label: {
      auto* l = static_cast<TextLabel*>(w);
      l->text = e.caption;
      l->centred = e.align == Align::Centre;
      l->transparent = e.transparent;
      l->fore = qc(e.foreColour);
      l->back = qc(e.backColour);
      l->update();
      break;
    }
    case ElementKind::Picture: {
      auto* p = static_cast<PictureBox*>(w);
      p->pixmap = picture(e.picture);
      p->update();
      break;
    }
    case ElementKind::Shape: {
      auto* s = static_cast<ShapeBox*>(w);
      s->fill = qc(e.fillColour);
      s->border = qc(e.borderColour);
      s->borderWidth = e.borderWidth;
      s->update();
      break;
    }
    case ElementKind::CheckBox: {
      auto* c = static_cast<QCheckBox*>(w);
      // The box and its gap take about 20 pixels of the width.
      c->setText(fitCaption(q(e.caption), w->font(), w->width() - 22));
      c->setChecked(e.checked);
      // Scaled down, the tick box keeps its size while the text shrinks: a one-line caption
      // takes the room it needs to the right, so no letter is cut off.
      if (scale_ != 1.0 && !c->text().contains(QLatin1Char('\n')))
        c->resize(std::max(c->width(), c->sizeHint().width()), c->height());
      c->setStyleSheet(QStringLiteral("QCheckBox { background-color: %1; color: %2; }")
                           .arg(qc(e.backColour).name(), qc(e.foreColour).name()));
      break;
    }
    case ElementKind::Button:
      static_cast<QPushButton*>(w)->setText(fitCaption(q(e.caption), w->font(), w->width() - 12));
      break;
    case ElementKind::Slider: static_cast<QSlider*>(w)->setValue(e.value); break;
    case ElementKind::ComboBox: {
      auto* c = static_cast<QComboBox*>(w);
      QStringList items;
      for (const std::string& s : e.items) items << q(s);
      QStringList have;
      for (int i = 0; i < c->count(); ++i) have << c->itemText(i);
      if (have != items) {
        c->clear();
        c->addItems(items);
      }
      c->setCurrentIndex(e.value);
      break;
    }
    case ElementKind::TextBox: {
      auto* t = static_cast<QPlainTextEdit*>(w);
      // The model has written the text itself: what it says replaces what was typed.
      typedText_.erase(std::remove(typedText_.begin(), typedText_.end(), id), typedText_.end());
      if (t->toPlainText() != q(e.caption)) t->setPlainText(q(e.caption));
      break;
    }
    case ElementKind::StatusPanel: static_cast<QLabel*>(w)->setText(q(e.caption)); break;
    default: break;
  }
}

void FormView::sync() {
  for (int id : model_.takeChanged()) apply(id);
}

void FormView::forward(int id, MouseEvent ev, const MouseArgs& args) {
  flushTypedText();
  if (onEvent_) onEvent_(id, ev, args);
  if (afterEvent_) afterEvent_();
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
  const auto it = ids_.find(watched);
  if (it == ids_.end()) return QObject::eventFilter(watched, event);
  const int id = *it;
  auto* w = static_cast<QWidget*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(event);
      MouseArgs args;
      args.button = buttonOf(me->button());
      args.x = me->position().x() * 15 / scale_;
      args.y = me->position().y() * 15 / scale_;
      args.shift = me->modifiers().testFlag(Qt::ShiftModifier);
      if (event->type() == QEvent::MouseButtonPress) {
        forward(id, MouseEvent::Down, args);
      } else if (event->type() == QEvent::MouseButtonDblClick) {
        forward(id, MouseEvent::DoubleClick, args);
      } else if (event->type() == QEvent::MouseButtonRelease) {
        forward(id, MouseEvent::Up, args);
        // The click follows the release when the button comes up over the same element.
        if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint()))
          forward(id, MouseEvent::Click, args);
      } else {
        forward(id, MouseEvent::Move, args);
      }
      return true;
    }
    default: break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pelasim

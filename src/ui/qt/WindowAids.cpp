#include "ui/qt/WindowAids.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "access/Accessible.h"
#include "sim/Simulation.h"
#include "ui/qt/FormView.h"

namespace pelasim {
namespace {

QWidget* widgetOf(FormView& view, Main id) { return view.widget(static_cast<int>(id)); }

// The key as the key map names it ("Shift+Q", "Ctrl+Up", "PgDown"), or empty for a key of
// its own that no binding uses (a lone Shift).
QString chordOf(const QKeyEvent* ke) {
  const int key = ke->key();
  if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
      key == Qt::Key_unknown || key == 0)
    return {};
  const Qt::KeyboardModifiers mods =
      ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key))).toString(QKeySequence::PortableText);
}

// The same physical key with or without Shift: its scan code where the platform gives one.
int codeOf(const QKeyEvent* ke) {
  return ke->nativeScanCode() != 0 ? static_cast<int>(ke->nativeScanCode()) + 0x1000000 : ke->key();
}

}  // namespace

double fittingScale(QSize designed, QSize extra, QSize available, double ceiling) {
  const double sw = static_cast<double>(available.width() - extra.width()) / designed.width();
  const double sh = static_cast<double>(available.height() - extra.height()) / designed.height();
  return std::max(kSmallestScale, std::min({ceiling, sw, sh}));
}

QSize openingSize(QSize remembered, QSize available, QSize frame, int menuBarHeight) {
  const QSize fixed(0, menuBarHeight + kStatusBarPixels);
  const QSize designed = kDesignedContent + fixed;
  QSize want = remembered.isValid() && !remembered.isEmpty() ? remembered : designed;
  const QSize room = available - frame;
  if (want.width() <= room.width() && want.height() <= room.height()) return want;
  const double s = fittingScale(kDesignedContent, fixed + frame, available, 4.0);
  return QSize(static_cast<int>(kDesignedContent.width() * s),
               static_cast<int>(kDesignedContent.height() * s)) + fixed;
}

PairHighlight::PairHighlight(FormView& view, QWidget* parent) : QWidget(parent), view_(view) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void PairHighlight::setZone(Main zone) {
  if (zone == zone_) return;
  zone_ = zone;
  update();
}

void PairHighlight::paintEvent(QPaintEvent*) {
  const PairZone* z = pairZoneOf(zone_);
  if (!z) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const double w = std::max(2.0, 3.0 * view_.scale());
  // The zone itself, dashed, and the two buttons it stands for.
  p.setPen(QPen(QColor(255, 140, 0), std::max(1.0, view_.scale()), Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(widgetOf(view_, z->zone)->geometry()));
  for (Main b : {z->first, z->second}) {
    QWidget* spot = widgetOf(view_, b);
    const QRectF r = QRectF(spot->geometry()).adjusted(-w, -w, w, w);
    p.setPen(QPen(QColor(255, 140, 0), w));
    p.setBrush(QColor(255, 200, 0, 70));
    p.drawRoundedRect(r, 3 * w, 3 * w);
  }
}

KeyboardWindow::KeyboardWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Keyboard"));
  setAccessibleName(QStringLiteral("Keyboard"));
  setAccessibleDescription(QStringLiteral("Every key of the simulator's main window"));
  const auto lines = keyboardHelp();
  auto* table = new QTableWidget(static_cast<int>(lines.size()), 2, this);
  table->setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("What it does")});
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setAccessibleName(QStringLiteral("Keys"));
  for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
    const auto& [key, what] = lines[static_cast<std::size_t>(r)];
    table->setItem(r, 0, new QTableWidgetItem(QString::fromStdString(key)));
    table->setItem(r, 1, new QTableWidgetItem(QString::fromStdString(what)));
  }
  table->resizeColumnsToContents();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table);
  resize(table->horizontalHeader()->length() + 40, 520);
}

WindowAids::WindowAids(Simulation& sim, FormView& view, QWidget* window, std::function<void()> after)
    : sim_(sim), view_(view), window_(window), after_(std::move(after)),
      highlight_(new PairHighlight(view, widgetOf(view, Main::Frame3))) {
  for (const PairZone& z : pairZones()) {
    sim_.win.setToolTip(z.zone, z.toolTip);
    widgetOf(view_, z.zone)->installEventFilter(this);
  }
  relayout();
  refresh(false);
  // Keys reach the window's focus widget first, whichever it is: the application's filter
  // sees them before any of them.
  qApp->installEventFilter(this);
  window_->installEventFilter(this);
}

void WindowAids::relayout() {
  highlight_->setGeometry(highlight_->parentWidget()->rect());
  highlight_->raise();
}

void WindowAids::refresh(bool textsOnly) {
  for (int i = 1; i < sim_.win.size(); ++i) {
    const Main id = static_cast<Main>(i);
    const ElementKind kind = sim_.win[id].kind;
    // Only labels change what they say while the simulator runs.
    if (kind == ElementKind::StatusPanel || (textsOnly && kind != ElementKind::Label)) continue;
    QWidget* w = widgetOf(view_, id);
    w->setProperty("namedByOwner", true);
    const ElementAccess a = accessOf(sim_.win, id);
    const QString name = QString::fromStdString(a.name);
    const QString description = QString::fromStdString(a.description);
    if (w->accessibleName() != name) w->setAccessibleName(name);
    if (w->accessibleDescription() != description) w->setAccessibleDescription(description);
  }
}

bool WindowAids::keyEvent(QWidget* target, QEvent* event) {
  if (target->window() != window_ || !window_->isVisible()) return false;
  auto* ke = static_cast<QKeyEvent*>(event);
  const int code = codeOf(ke);
  bool taken = false;
  if (event->type() == QEvent::KeyPress) {
    const QString chord = chordOf(ke);
    if (chord.isEmpty()) return false;
    taken = keys_.press(sim_, chord.toStdString(), code);
  } else if (ke->isAutoRepeat()) {
    // The keyboard's repeat lets a held key up and down again: the button stays held.
    return keys_.held(code);
  } else {
    taken = keys_.release(sim_, code);
  }
  if (taken && after_) after_();
  return taken;
}

bool WindowAids::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (watched->isWidgetType() && keyEvent(static_cast<QWidget*>(watched), event)) return true;
      break;
    case QEvent::WindowDeactivate:
    case QEvent::Hide:
      if (watched == window_ && keys_.anyHeld()) {
        keys_.releaseAll(sim_);
        if (after_) after_();
      }
      break;
    case QEvent::Enter:
    case QEvent::MouseMove:
    case QEvent::Leave:
      for (const PairZone& z : pairZones())
        if (watched == widgetOf(view_, z.zone))
          highlight_->setZone(event->type() == QEvent::Leave ? Main::Count : z.zone);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace pelasim

#pragma once
// The lesson's windows in the simulator: the list of lessons to choose from, the briefing
// shown before the start (and printable), the small panel beside the main window during the
// lesson (title, elapsed time, messages, hints, the objectives as they are judged), which
// becomes the assessment when the dive ends.

#include <QDialog>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

#include "lesson/Lesson.h"
#include "lesson/LessonRun.h"

class QLabel;
class QListWidget;
class QTreeWidget;
class QTimer;

namespace pelasim {
class Simulation;
class DiveObserverList;
}

namespace pelasim::lesson {

// The course to choose from: the bundled lessons and the instructor's own.
class LessonChooser : public QDialog {
  Q_OBJECT
 public:
  LessonChooser(const QString& programFolder, QWidget* parent);
  QListWidget* list() const { return list_; }
  // The chosen lesson file; empty when none was chosen.
  QString chosenPath() const;

 private:
  QListWidget* list_ = nullptr;
};

// The briefing: what the trainee is asked to do. "Start lesson" accepts it.
class LessonBriefing : public QDialog {
  Q_OBJECT
 public:
  LessonBriefing(const Lesson& lesson, QWidget* parent);
  // Writes the briefing and the objectives as a PDF page (what "Print…" sends to a printer).
  static bool writePdf(const Lesson& lesson, const QString& path);
  static QString briefingHtml(const Lesson& lesson);
};

// A lesson being flown in the simulator's window.
class LessonSession : public QObject {
  Q_OBJECT
 public:
  LessonSession(Simulation& sim, DiveObserverList& observers, Lesson lesson, QWidget* mainWindow);
  ~LessonSession() override;

  LessonRun& run() { return *run_; }
  QWidget* panel() const { return panel_; }
  // The dive has ended: every objective is decided and the panel shows the assessment.
  void finish();
  // The panel's text lines, as a person reads them (tests).
  QString panelText() const;

 Q_SIGNALS:
  void changed();

 private:
  void refresh();

  Simulation& sim_;
  DiveObserverList& observers_;
  std::unique_ptr<LessonRun> run_;
  QWidget* panel_ = nullptr;
  QLabel* heading_ = nullptr;
  QLabel* message_ = nullptr;
  QTreeWidget* objectives_ = nullptr;
  QTimer* clock_ = nullptr;
};

}  // namespace pelasim::lesson

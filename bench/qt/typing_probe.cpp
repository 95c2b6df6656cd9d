// Typing into the bug report's text box, key by key, with a long text already in it.
//   pelasim_typing_probe [KILOBYTES] [KEYS]     (default 100 kB, 2000 keys; offscreen platform)
// Prints the milliseconds per keystroke, and what copying the whole text out of the box and
// comparing it (as every keystroke once did) costs at that length.
#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <string>

#include "forms/DialogForms.h"
#include "ui/qt/FormView.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int kilobytes = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 100;
  const int keys = argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 2000;

  pelasim::BugReportModel model;
  QWidget root;
  pelasim::FormView view(model, &root, QString());
  view.setTextHandler([&model](int id, const std::string& t) {
    model.setCaption(static_cast<pelasim::BugId>(id), t);
    model.takeChanged();
  });
  auto* edit = static_cast<QPlainTextEdit*>(view.widget(static_cast<int>(pelasim::BugId::Text1)));
  root.show();
  // Lines of 80 characters, as a trainee writes them.
  QString text;
  while (text.size() < kilobytes * 1024) text += QString(79, QLatin1Char('a')) + QLatin1Char('\n');
  edit->setPlainText(text);
  edit->moveCursor(QTextCursor::End);

  QElapsedTimer t;
  t.start();
  for (int i = 0; i < keys; ++i) QTest::keyClick(edit, static_cast<Qt::Key>(Qt::Key_A + i % 26));
  const double perKey = static_cast<double>(t.nsecsElapsed()) / 1e6 / keys;

  t.restart();
  const int copies = 200;
  std::size_t sink = 0;
  for (int i = 0; i < copies; ++i) {
    const std::string copy = edit->toPlainText().toStdString();
    sink += copy == model[pelasim::BugId::Text1].caption ? 1 : copy.size();
  }
  const double perCopy = static_cast<double>(t.nsecsElapsed()) / 1e6 / copies;

  t.restart();
  view.flushTypedText();
  const double flush = static_cast<double>(t.nsecsElapsed()) / 1e6;
  std::printf("text: %d kB, keys typed: %d\n", kilobytes, keys);
  std::printf("per keystroke: %.3f ms\n", perKey);
  std::printf("whole-text copy and compare (once per keystroke before): %.3f ms (%zu)\n", perCopy, sink % 10);
  std::printf("text handed to the model at send: %.3f ms, %zu bytes\n", flush,
              model[pelasim::BugId::Text1].caption.size());
  return 0;
}

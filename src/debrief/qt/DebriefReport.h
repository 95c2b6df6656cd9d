#pragma once
// The printed debrief of a dive: a landscape page with the title (trainee, date, dive length)
// and the chart with its event lanes and their labels, then portrait pages with the summary
// (beside a compared dive's, when there is one) and the full event table. The same pages go
// to a PDF file or to a printer.

#include <QString>
#include <QStringList>

#include "core/DiveLog.h"

class QPagedPaintDevice;

namespace pelasim {

// "Trainee · 2026-12-07 09:30:00 · 12 min 05 s", the line that names a dive.
QString diveCaption(const DiveData& dive);

// Paints the report onto a PDF writer or a printer. `compare` may be null.
void paintReport(QPagedPaintDevice& device, const DiveData& dive, const DiveData* compare = nullptr);

// Writes the report as a PDF to `path` through a temporary file that replaces `path` only when
// complete. False with `error` set when it cannot be written.
bool writeReportPdf(const QString& path, const DiveData& dive, QString& error,
                    const DiveData* compare = nullptr);

// The viewer's command line without a window: `--report OUT.pdf FILE.csv`. Returns the exit
// code (0 written, 1 the data file could not be read, 2 the report could not be written,
// 64 wrong arguments) and prints what went wrong to standard error.
bool isReportCommand(const QStringList& args);
int runReportCommand(const QStringList& args);
// Writes the report of `dive` to `out` for the command line (a library dive by its id goes
// through here too); 0 when written, 2 with the reason on standard error when not.
int writeReportFor(const QString& out, const DiveData& dive);

}  // namespace pelasim

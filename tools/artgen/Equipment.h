#pragma once
// The diver's gas controls and the other small pictures. Each function paints a whole
// picture (backdrop included) filling `size`.

#include <QPainter>
#include <QSize>

namespace artgen {

enum class Gas { Oxygen, Diluent };

void paintArrow(QPainter& p, QSize size, bool up);
void paintBailout(QPainter& p, QSize size);
void paintBreathing(QPainter& p, QSize size);
void paintMouthpiece(QPainter& p, QSize size, bool open);
void paintDump(QPainter& p, QSize size, bool failed);
void paintInjectorButton(QPainter& p, QSize size, Gas gas);
void paintInjectorMissing(QPainter& p, QSize size);
void paintCylinderValve(QPainter& p, QSize size, Gas gas);
void paintAdvButton(QPainter& p, QSize size);
// The club's badge, with or without its name under it.
void paintClubLogo(QPainter& p, QSize size, bool withName);
// The handset small, for the start-up dialog and the program icon.
void paintDeviceSplash(QPainter& p, QSize size);
void paintProgramIcon(QPainter& p, QSize size);
void paintViewerIcon(QPainter& p, QSize size);

}  // namespace artgen

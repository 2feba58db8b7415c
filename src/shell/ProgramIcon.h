// The program's icon (a larkspur spike with radio waves), in its 32 x 32 and 16 x 16 images.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

QIcon ProgramIcon();
// The icon at the largest of its sizes (at most 32 x 32) that fits into room.
QPixmap ProgramIconPixmap(const QSize& room);

#pragma once

#include <QPixmap>
#include <QString>

// The image at `path`, or its "@2x" drawing when a screen has more than one device pixel per
// pixel. Icons and style sheets find the "@2x" files themselves; a pixmap handed to a label or a
// message box is taken as it is loaded.
QPixmap FormPixmap(const QString &path);

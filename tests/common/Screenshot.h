#pragma once

#include <QSize>
#include <QString>

class QWidget;

// Keeps a picture of a window for a person to look at: shows the widget at the given size
// (offscreen in tests), lets it lay out and paint, and saves it as "<name>.png" in the folder
// named by the environment variable TAVRIX_SCREENSHOTS, by default "screenshots" in the current
// folder (made when missing). Returns the file's path; empty when it could not be saved.
QString SaveScreenshot(QWidget* widget, const QString& name, const QSize& size);

#pragma once

#include <QSize>
#include <QString>

class QImage;
class QWidget;

// Keeps a picture of a window for a person to look at: shows the widget at the given size
// (offscreen in tests), lets it lay out and paint, and saves it as "<name>.png" in the folder
// named by the environment variable TAVRIX_SCREENSHOTS, by default "screenshots" in the current
// folder (made when missing). Returns the file's path; empty when it could not be saved.
QString SaveScreenshot(QWidget* widget, const QString& name, const QSize& size);

// What the screen holds of the window's area after the events so far (the parts that were
// repainted), and what the window would draw afresh; the two differ where a change left stale
// pixels behind.
QImage OnScreenPicture(QWidget* window);
QImage FreshPicture(QWidget* window);

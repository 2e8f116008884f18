#include "tests/common/Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

QString SaveScreenshot(QWidget* widget, const QString& name, const QSize& size)
{
    if (!widget)
        return QString();
    QString folder = qEnvironmentVariable("TAVRIX_SCREENSHOTS");
    if (folder.isEmpty())
        folder = QDir::current().filePath(QStringLiteral("screenshots"));
    if (!QDir().mkpath(folder))
        return QString();

    widget->resize(size);
    widget->show();
    // Layouts, polish and the first paint all arrive as posted events.
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
    const QPixmap picture = widget->grab();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(path, "PNG"))
        return QString();
    return path;
}

#include "support/ui/RClipBrd.h"

#include <QClipboard>
#include <QGuiApplication>

void SetClipboardWideText(const QString& text)
{
    if (text.isEmpty())
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

QString GetClipboardWideText()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->text() : QString();
}

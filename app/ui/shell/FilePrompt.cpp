#include "app/ui/shell/FilePrompt.h"

#include "support/ROwnFiles.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <utility>

namespace {

TFilePromptHandler& Handler()
{
    static TFilePromptHandler handler;
    return handler;
}

bool ShowQtFileDialog(QWidget* owner, const TFilePrompt& prompt, QString& fileName)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(prompt.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(prompt.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFileFilter(prompt.Filter));
    dialog.setDefaultSuffix(prompt.DefaultExt);
    if (!prompt.FileName.isEmpty()) {
        const QFileInfo start(prompt.FileName);
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    return true;
}

} // namespace

TFilePromptHandler SetFilePromptHandler(TFilePromptHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

bool PromptForFileName(QWidget* owner, const TFilePrompt& prompt, QString& fileName)
{
    const auto ask = [&](const TFilePrompt& current, QString& answer) {
        return Handler() ? Handler()(owner, current, answer) : ShowQtFileDialog(owner, current, answer);
    };
    if (!prompt.Save)
        return ask(prompt, fileName);
    // Whatever a command writes to, a file the program keeps for itself is never it.
    QString answer = prompt.FileName;
    if (!AskWritableFileName(
            [&](QString& name) {
                TFilePrompt current = prompt;
                current.FileName = name;
                return ask(current, name);
            },
            answer))
        return false;
    fileName = answer;
    return true;
}

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString masks = parts[i + 1].trimmed();
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (masks == QLatin1String("*.*"))
            masks = QStringLiteral("*");
        // Qt reads the masks from the last parentheses; a description that shows them already
        // is used as it is.
        if (description.endsWith(QLatin1Char(')')) && description.contains(QLatin1Char('(')))
            filters.append(description);
        else
            filters.append(description + QLatin1String(" (") + masks + QLatin1Char(')'));
    }
    return filters.join(QLatin1String(";;"));
}

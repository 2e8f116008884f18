#include "app/ui/shell/ProgramEnv.h"

#include "app/core/shell/MainState.h"
#include "app/ui/shell/FrameClose.h"
#include "app/ui/shell/TemplateMain.h"
#include "support/RDateUtils.h"
#include "support/ui/FormUpdateInformer.h"
#include "support/ui/RDialogsUi.h"
#include "support/ui/RMsgViewer.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <csignal>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

QDate ParseFixedToday(const QString& text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
}

bool IsUnattendedRun(const QStringList& arguments, const QString& unattendedValue)
{
    if (unattendedValue == QLatin1String("1"))
        return true;
    for (const char* name : {SwitchLoadOnly, SwitchFullRecreate, SwitchFullRefresh})
        if (HasSwitch(arguments, QLatin1String(name)))
            return true;
    return false;
}

void InstallProgramEnvironment(const QStringList& arguments)
{
    if (IsUnattendedRun(arguments, qEnvironmentVariable(UnattendedEnv)))
        SetMessageBoxHandler(ShowUnattendedBox);
    else {
        InstallQtMessageBoxes();
        // The update check may show its progress and ask before it installs; a batch run never waits.
        InstallSelfUpdateWindows();
    }
    InstallMessageViewer();

    const QDate today = ParseFixedToday(qEnvironmentVariable(FixedTodayEnv));
    if (today.isValid()) {
        // After the day's evening draw, so that the day's draws are all held.
        const QDateTime evening(today, QTime(20, 0));
        SetClock([evening] { return evening; });
    }
}

int RunMainWindow(TTemplateMain& form)
{
    // The program ends with its main window, not with its last window: the message viewer has
    // no owner, and a program left with only that would go on holding its folder. Leaving the
    // loop from here also keeps the window's exit status, which a later quit could overwrite.
    QApplication::setQuitOnLastWindowClosed(false);
    const QMetaObject::Connection end =
        QObject::connect(&form, &TTemplateMain::Closed, qApp, [&form] { QCoreApplication::exit(form.ExitCode()); });
    const std::unique_ptr<TFrameCloseFilter> frameClose = InstallFrameCloseFilter(form);
    form.show();
    const int status = QApplication::exec();
    QObject::disconnect(end);
    return status;
}

void UseRussianInterfaceLocale()
{
    // The variables Qt's system locale reads, as the process has them now.
    const char* const names[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LC_MONETARY", "LC_MESSAGES",
                                 "LC_MEASUREMENT", "LC_COLLATE", "LANG", "LANGUAGE"};
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    for (const char* name : names)
        saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    const auto value = [&](const char* name) {
        for (const auto& [n, v] : saved)
            if (qstrcmp(n, name) == 0 && v && !v->isEmpty())
                return *v;
        return QByteArray();
    };

    // LC_ALL would win over every category: its value moves to the categories that stay.
    const QByteArray all = value("LC_ALL");
    const QByteArray lang = value("LANG").isEmpty() ? QByteArray("C") : value("LANG");
    qunsetenv("LC_ALL");
    for (const char* kept : {"LC_NUMERIC", "LC_MONETARY", "LC_MEASUREMENT", "LC_COLLATE"}) {
        const QByteArray own = all.isEmpty() ? value(kept) : all;
        qputenv(kept, own.isEmpty() ? lang : own);
    }
    const QByteArray russian = "ru_RU.UTF-8";
    qputenv("LC_TIME", russian);
    qputenv("LC_MESSAGES", russian);
    qputenv("LANGUAGE", "ru");
    (void)QLocale::system();   // read now, and kept for the life of the process

    for (const auto& [name, old] : saved) {
        if (old)
            qputenv(name, *old);
        else
            qunsetenv(name);
    }
}

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

namespace {

TModalFormHandler& ModalHandler()
{
    static TModalFormHandler handler;
    return handler;
}

} // namespace

TModalFormHandler SetModalFormHandler(TModalFormHandler handler)
{
    TModalFormHandler previous = std::move(ModalHandler());
    ModalHandler() = std::move(handler);
    return previous;
}

int ExecModalForm(QDialog& form)
{
    if (ModalHandler())
        return ModalHandler()(form);
    return ExecModalWindow(form, IsUnattendedRun(QCoreApplication::arguments().mid(1),
                                                 qEnvironmentVariable(UnattendedEnv)));
}

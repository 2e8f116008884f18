#include "tests/app_ui/AppUiTestEnv.h"

#include "app/ui/shell/FormMain.h"
#include "app/ui/charts/UnitGraph.h"
#include "engine/PrjConst.h"
#include "platform/IniFile.h"
#include "support/RSysUtils.h"
#include "support/ui/TmplDialogSimple.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return condition();
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

std::unique_ptr<TFormMain> OpenMainWindow(const QStringList& arguments, QSize size)
{
    auto form = std::make_unique<TFormMain>(arguments);
    form->resize(size);
    form->show();
    EXPECT_TRUE(WaitUntil([&] { return form->Initialized(); }));
    return form;
}

TProgramFolder::TProgramFolder()
{
    OverrideAppFileName(FDir.filePath(QLatin1String(ProgramFileName)));
}

TProgramFolder::~TProgramFolder()
{
    OverrideAppFileName(QString());
}

QString TProgramFolder::DataFile(const QString& extension) const
{
    return FDir.filePath(QLatin1String(ProgramFileName) + extension);
}

void TProgramFolder::WriteArchive(const TDrawsArray& draws) const
{
    WriteFileBytes(DataFile(QStringLiteral(".ldr")), ArchiveBytes(draws));
}

void TProgramFolder::WriteFormState(const QString& text) const
{
    WriteFileBytes(DataFile(QStringLiteral(".frm")), QByteArray("[TFormMain]\r\n") + text.toLatin1());
}

TProcessResult RunProgram(const QString& program, const QStringList& arguments, const QString& folder,
                          const QProcessEnvironment& environment, int timeoutMs,
                          const std::function<void()>& inChild)
{
    TProcessResult result;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    process.start();
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        result.Finished = process.error() != QProcess::FailedToStart;
    }
    result.ExitCode = process.exitCode();
    result.Crashed = process.exitStatus() == QProcess::CrashExit;
    result.Stdout = QString::fromUtf8(process.readAllStandardOutput());
    result.Stderr = QString::fromUtf8(process.readAllStandardError());
    return result;
}

bool PressOk(TDialogSTemplate& form)
{
    form.setResult(QDialog::Rejected);
    form.OkBtn()->click();
    return form.result() == QDialog::Accepted;
}

void WhenModal(const std::function<void(TDialogSTemplate&)>& action)
{
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<TDialogSTemplate*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        action(*dialog);
    });
}

TModalFormHandler GraphWindowHandler(const std::function<void(TFormGraph&)>& action)
{
    return [action](QDialog& dialog) {
        auto* graph = qobject_cast<TFormGraph*>(&dialog);
        EXPECT_NE(graph, nullptr) << dialog.metaObject()->className();
        if (graph)
            action(*graph);
        return int(QDialog::Rejected);
    };
}

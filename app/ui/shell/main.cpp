#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    IgnoreFileSizeSignal();
    UseRussianInterfaceLocale();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TAVRIX_VERSION));
    // A batch run answers its own boxes: it must end without anybody at the screen.
    InstallProgramEnvironment(QApplication::arguments().mid(1));

    // Only the main window is made here; every other window belongs to the command that
    // needs it.
    auto form = std::make_unique<TFormMain>();
    if (form->EndRequested())
        return form->ExitCode();
    const int exitCode = RunMainWindow(*form);
    form.reset();
    return exitCode;
}

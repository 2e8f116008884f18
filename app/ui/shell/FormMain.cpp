#include "app/ui/shell/FormMain.h"

TFormMain::TFormMain(std::optional<QStringList> arguments, QWidget* parent)
    : TTemplateMain(std::move(arguments), parent)
{
    setObjectName(QStringLiteral("FormMain"));
    // The game's draw-key texts are installed by the core's start-up before anything reads a
    // date; the range fetch of this game is the core's results-page download.
    FormCreate();
}

TFormMain::~TFormMain()
{
    FormDestroy();
}

#pragma once

#include "app/ui/shell/TemplateMain.h"

// The game's main window ("FormMain"). Its form state lives in the section "TFormMain".
class TFormMain : public TTemplateMain {
    Q_OBJECT

public:
    // Creates the window and runs its creation steps (see TTemplateMain::FormCreate); the
    // start-up timer then does the rest once the event loop runs.
    explicit TFormMain(std::optional<QStringList> arguments = std::nullopt, QWidget* parent = nullptr);
    ~TFormMain() override;
};

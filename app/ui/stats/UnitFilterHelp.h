#pragma once

#include <QDialog>

class QTextBrowser;
class TStatMethod;

// The description of a statistic method: its page of the help, shown in a text browser, when
// the help pages are installed; otherwise a line saying that the help is not installed.
class TFormFilterHelp : public QDialog {
    Q_OBJECT

public:
    // Restores the kept placement.
    explicit TFormFilterHelp(QWidget* parent = nullptr);
    // Keeps the placement for the next one.
    ~TFormFilterHelp() override;

    // Shows the page at the help address (TStatMethod::HelpUrl); false when it is not there.
    bool Navigate(const QString& helpUrl);
    QTextBrowser* Browser() const { return FBrowser; }

private:
    QTextBrowser* FBrowser = nullptr;
};

// Shows the method's help page modally (the commands FiltersInfo and the favourites' Info).
void ShowFilterHelp(const TStatMethod& method, QWidget* owner = nullptr);

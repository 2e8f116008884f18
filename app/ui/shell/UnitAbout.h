#pragma once

#include "app/core/shell/HelpLinks.h"
#include "support/ui/TmplDialogSimple.h"

class QLabel;

// The about box: the program's title and version, the project's pages and the contact address.
// A click on a page's address opens it in the browser, a click on the address of the mail
// opens a new message to it. Only the close button is shown.
class TFormAbout : public TDialogSTemplate {
    Q_OBJECT

public:
    // title: the program's title as the main window had it when the language was set up;
    // version: the program's version ("2.2.10").
    TFormAbout(const QString& title, const QString& version, QWidget* parent = nullptr);

    QLabel* TitleLabel() const { return FTitle; }
    QLabel* VersionLabel() const { return FVersion; }
    // The label of an address (lblWeb1, lblWeb2, lblBlog1, lblBlog2, lblSoc1, lblSoc2, lblMail).
    QLabel* LinkLabel(const char* name) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    struct TLink {
        const char* Name;
        bool Mail;
        TLinkPage Page;
    };
    static const TLink Links[7];

    void BuildControls();
    void TranslateTexts();
    void OpenLink(const QString& name);

    QString FTitleText;
    QString FVersionText;
    QLabel* FTitle = nullptr;
    QLabel* FVersionCaption = nullptr;
    QLabel* FVersion = nullptr;
    QLabel* FWebCaption = nullptr;
    QLabel* FBlogCaption = nullptr;
    QLabel* FSocCaption = nullptr;
    QLabel* FUpdatesCaption = nullptr;
    QLabel* FMailCaption = nullptr;
};

// Shows the about box over the owner, modal.
void ShowAboutBox(QWidget* owner, const QString& title, const QString& version);

#pragma once

#include "support/RLngUtils.h"

#include <QString>

class TMainState;

// The help file, the web pages of the help menu, the about box and the first-run dialog.

// "Kelmar_<abbreviation>.chm": the help file of a language ("Kelmar_RUS.chm" for Russian).
QString HelpFileTitle(LCID lcid);
// Where the help file is looked for, in order: the program's folder, its "help" folder, the
// "help" folder beside it (in the parent folder). The first that exists is returned; when none
// does, the last one.
QString FindHelpFile(const QString& programDir, const QString& title);
// True when the help file exists: the help commands are offered only then.
bool HelpFileExists(const QString& helpFile);
// Opens the help file with the desktop's viewer; raises when it cannot, with a sentence that
// names the file and the reason ("Не удалось открыть файл справки "X": <reason>.").
void OpenHelpFile(const QString& helpFile);

// The pages of the help menu, the about box and the first-run dialog.
enum class TLinkPage {
    MainSite,   // the project's site
    AuthSite,   // the download page of updates
    AuthText,   // articles for beginners
    Blog,
    YouTube,    // the video channel
    VK,         // the page on the social network VK
    OK,         // the page on the social network Odnoklassniki
    Telegram,   // the news channel
};

// The page's address, from the message table (a language module may point to pages in its
// language).
QString LinkAddress(TLinkPage page);
// Opens the page in the user's browser.
void OpenLinkPage(TLinkPage page);
// The contact e-mail address, from the message table.
QString ContactMail();
void OpenContactMail();

// The operator's page of the game, on the operator's site (TAVRIX_OPERATOR_URL replaces the
// site). The command that opens it is offered only when the address is not empty.
QString OperatorGamePage();
void OpenOperatorGamePage();

// "%s ( %s )" of the product version and the file version, as the about box shows them. The
// product version is the first two numbers of the program's version.
QString AboutVersionText(const QString& programVersion);

// The first-run dialog is due when the option "FirstRun" is on (set from outside the program,
// by an installer for instance).
bool FirstRunDue(const TMainState& state);
// The user asked not to see it again: "FirstRun" := false, written at once.
void DisableFirstRun(TMainState& state);

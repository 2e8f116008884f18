#pragma once

#include <QWidget>

class QComboBox;
class TOnlineScripts;
struct tScriptInfo;
class TRListView;
class TSwScripts;

// The online scenario library below the scenario list: the filter box and the catalogue list
// over the library commands. The panel fills the commands' seams with the program's dialogs
// (properties, comment prompt, ratings) and shows the catalogue whenever it changes; the
// window's library commands call the public methods below. The list's popup menu shows the
// actions the window adds to it.
class TOnlineScriptsPanel : public QWidget {
    Q_OBJECT

public:
    TOnlineScriptsPanel(TOnlineScripts& library, TSwScripts& client, QWidget* parent = nullptr);

    TRListView* LvOnlineScripts() const { return FList; }
    QComboBox* CbOnlineScriptsFilter() const { return FFilter; }
    TOnlineScripts& Library() const { return FLibrary; }

    // Shows the catalogue as the commands left it: rows, selection scrolled into view, filter.
    void ShowEntries();
    // Appends the row of an entry; returns its index.
    int AddScriptListItem(const tScriptInfo& info);
    // Rewrites what an entry's properties change in its row: type, image, title, author,
    // program, version, language, created and description (the rating columns stay).
    void UpdateScriptListItem(int index, const tScriptInfo& info);

    // The commands (each one call of the library; the window checks their enabled state).
    void Refresh();
    void Download();
    void Rate(int rating);
    void Hide();
    void PublishScript();
    void ReplaceScript();
    void UnpublishScript();
    void ShowScriptProperties();
    void ShowScriptRates();

protected:
    void changeEvent(QEvent* event) override;

private:
    void TranslateTexts();
    void InstallSeams(TSwScripts& client);
    void SelectionChanged();

    TOnlineScripts& FLibrary;
    TRListView* FList = nullptr;
    QComboBox* FFilter = nullptr;
    bool FFilling = false;
};

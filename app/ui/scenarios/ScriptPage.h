#pragma once

#include "app/core/scenarios/ScriptList.h"

#include <QList>
#include <QObject>

class TRListView;
class TStatList;
class TStatusBar;

// The scenario page: lvScript shows the scenario's lines as an owner-data list (the comment, the
// options and the seven filters of each), and sbScript counts them in its first panel; the
// other four panels belong to the runs.
class TScriptPage : public QObject {
    Q_OBJECT

public:
    TScriptPage(TScriptList& script, const TStatList& methods, TRListView* list, TStatusBar* statusBar,
                QObject* parent);
    ~TScriptPage() override;

    static constexpr int LinesPanel = 0;
    static constexpr int RunPanelCount = 4;

    // Item count, repaint and "Строк: %d".
    void UpdateScriptListStatus();
    // After a command: when the list changed the selection goes to the row the command names
    // alone (scrolled into view), or is cleared when it names none.
    void Apply(const TScriptCommandResult& result);

    QList<int> SelectedRows() const;
    // The first selected row, or -1.
    int Selected() const;
    bool HasSelection() const;

private:
    TScriptList& FScript;
    const TStatList& FMethods;
    TRListView* FList;
    TStatusBar* FStatusBar;
};

#pragma once

#include "app/core/archive/DrawArchive.h"
#include "app/core/shell/MainState.h"
#include "app/ui/archive/RowColors.h"

#include <QObject>

class QSpinBox;
class TRListView;
class TStatusBar;

// Paints the draw list's cells in the colours the archive gives each row.
using TDrawsDelegate = TDigitRowDelegate<TDrawArchive, &TDrawArchive::DrawRow>;

// The archive page of the main window: the owner-data list lvDraws (row k is the draw at
// position k from the newest), the status panels of the archive, the offset editor, and the
// commands that change draws by hand.
class TDrawsPage : public QObject {
    Q_OBJECT

public:
    TDrawsPage(TMainState& state, TDrawArchive& archive, TRListView* list, QSpinBox* offsetEditor,
               TStatusBar* statusBar, QObject* parent);

    TRListView* List() const { return FList; }

    // The archive changed: the row count (reset with force), the status panels and the
    // offset editor's upper limit.
    void ShowDrawsInfo(const TDrawsInfo& info, bool force);
    // The offset changed elsewhere: the editor follows and the list is repainted.
    void ShowDrawsOffset(int offset);
    void Repaint();

    // The draw under the first selected row, by archive index; -1 without a selection.
    int SelectedIndex() const;
    // The archive indexes of every selected row.
    QList<int> SelectedIndexes() const;

    // Commands.
    void DrawsAdd();
    void DrawsEdit();
    void DrawsDel();
    void DrawsSorted();
    bool HasSelection() const;

private:
    void OffsetEdited(int value);

    TMainState& FState;
    TDrawArchive& FArchive;
    TRListView* FList;
    QSpinBox* FOffsetEditor;
    TStatusBar* FStatusBar;
};

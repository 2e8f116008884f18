#pragma once

#include "app/core/combs/CombList.h"
#include "app/ui/archive/RowColors.h"

#include <QIcon>
#include <QObject>
#include <QStyledItemDelegate>

#include <optional>

class QSpinBox;
class TRListView;
class TStatusBar;

// Paints the digit cells of the combination list in their channel's colour (option ColorCombs).
using TCombsDelegate = TDigitRowDelegate<TCombListOps, &TCombListOps::CombRow>;

// Shows each applied-filters row with its image: 11 the undo row, 12 a step without success,
// 13 a step with it.
class TFilterHistoryDelegate : public QStyledItemDelegate {
public:
    TFilterHistoryDelegate(const TRListView& list, QObject* parent);

    // The picture of an image number; a null icon for other numbers.
    static QIcon HistoryIcon(int image);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const TRListView& FList;
};

// The combination page of the main window: the owner-data list lvCombs (100 000 rows scroll
// as fast as 100: the texts are asked only for the rows on screen), the applied-filters list
// lvFilters, the editor of the number of newest draws to exclude, the combination count in
// the status line, and the list commands. What the commands do is TCombListOps's; the page
// gathers the rows, the clipboard text and the file names.
class TCombsPage : public QObject {
    Q_OBJECT

public:
    TCombsPage(TCombListOps& combs, TRListView* list, TRListView* filters, QSpinBox* exclude, TStatusBar* statusBar,
               QObject* parent);
    ~TCombsPage() override;

    TRListView* List() const { return FList; }
    TRListView* Filters() const { return FFilters; }
    QSpinBox* ExcludeEditor() const { return FExclude; }

    // The list's count changed (or its contents): the row count, a repaint and the status panel.
    void ShowCombs(int count);
    // The applied-filters rows as the core keeps them.
    void ShowFilterHistory();
    void Repaint();

    QList<int> SelectedRows() const;
    // The combinations of the selected rows, top to bottom.
    QList<TCombWord> SelectedCombs() const;
    bool HasSelection() const;
    // Whether the clipboard holds text. Asked at every idle moment, so the answer is kept until
    // the clipboard changes: asking another program's clipboard is not free.
    bool ClipboardHasText() const;

    // Commands (their enabling rules are the window's command table).
    void Open();
    void Save();
    void Undo();
    void DelExists();
    void DelSelected();
    void SelectAll();
    void Copy();
    void Paste();
    void CheckNums();
    void FindInDraws();

    // Runs Enter in the exclusion editor through this check (the enabling rule of
    // CombsDelExists); set by the window.
    std::function<bool()> CanDelExists;

    // Default value of the exclusion editor.
    static constexpr int DefaultExclude = 10;
    static constexpr int DefaultFiltersHeight = 120;
    // The status panel of the combination count.
    static constexpr int CountPanel = 3;

private:
    TCombListOps& FCombs;
    TRListView* FList;
    TRListView* FFilters;
    QSpinBox* FExclude;
    TStatusBar* FStatusBar;
    mutable std::optional<bool> FClipboardHasText;
};

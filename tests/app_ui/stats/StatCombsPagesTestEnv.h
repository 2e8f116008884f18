#pragma once

// The statistics page and the combination page of the main window, offscreen: the fixture and
// the helpers their tests share.

#include "support/ui/QorListView.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QString>
#include <QStringList>

// The main window's fixture with the lists of the two pages at hand; outside any unnamed
// namespace, as the tests of several files share it.
class StatCombsPagesTest : public MainWindowTest {
protected:
    static TRSortListView* StatList(const TFormMain& form) { return Child<TRSortListView>(form, "lvDrawsStat"); }
    static TRListView* Combs(const TFormMain& form) { return Child<TRListView>(form, "lvCombs"); }
    static TRListView* Filters(const TFormMain& form) { return Child<TRListView>(form, "lvFilters"); }
    static QStringList Column(const TRListView* list, int column)
    {
        QStringList texts;
        for (int row = 0; row < list->ItemCount(); ++row)
            texts.append(list->Items()->CellText(row, column));
        return texts;
    }
    // The row of the statistics table that shows the value.
    static int StatRow(const TFormMain& form, const QString& value)
    {
        return static_cast<int>(Column(StatList(form), 0).indexOf(value));
    }
    static QStringList CombTexts(const TFormMain& form)
    {
        QStringList texts;
        const TRListView* list = Combs(form);
        for (int row = 0; row < list->ItemCount(); ++row)
            texts.append(list->Items()->CellText(row, 1) + list->Items()->CellText(row, 2));
        return texts;
    }
};

// Digit 1 three times, 2, 3 and 4 once each: six digits in three draws.
inline TDrawsArray ThreeDraws()
{
    return MakeDraws({{1, 2}, {3, 1}, {1, 4}});
}

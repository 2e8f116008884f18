#pragma once

#include "app/core/online/SwScripts.h"

#include <QDialog>
#include <QList>

class QPushButton;
class TRListView;
class TRSortListView;

// Makes the columns of a list anew with these captions (the list model has no caption setter),
// keeping the widths the columns have; new columns take the given widths.
void SetListColumns(TRListView* view, const QStringList& captions, const QList<int>& widths,
                    const QList<int>& rightAligned = {});

// The ratings of an online scenario: one sortable row per rating and a close button. Its
// column widths are restored when it opens and stored when it closes.
class TFormScrRates : public QDialog {
    Q_OBJECT

public:
    explicit TFormScrRates(QWidget* parent = nullptr);
    ~TFormScrRates() override;

    // One row per rating, in the order given.
    void LoadRates(const QList<tScriptRate>& rates);

    TRSortListView* LvRates() const { return FRates; }
    QPushButton* CloseBtn() const { return FClose; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void TranslateTexts();

    TRSortListView* FRates = nullptr;
    QPushButton* FClose = nullptr;
};

// Shows the ratings modally.
void ShowScriptRatesWindow(QWidget* owner, const QList<tScriptRate>& rates);

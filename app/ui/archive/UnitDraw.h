#pragma once

#include "app/core/archive/DrawArchive.h"
#include "engine/KelmaUtils.h"
#include "support/ui/TmplDialogSimple.h"

#include <functional>
#include <memory>

namespace Ui {
class FormDraw;
}

// What the archive says of the draw the dialog holds (TDrawArchive::CheckDraw).
using TDrawChecker = std::function<TDrawCheck(const TDrawRec& draw)>;

// The draw dialog: number, the two digits as text and, when asked for, the date and time of
// the draw. OK is accepted only for a text of exactly two digits 0..9 and, with a checker, a
// draw the archive takes; otherwise the dialog tells why and puts the focus on the field. The
// number field holds 0 as typed, for the checker to refuse: a field that takes only 1 and more
// would put its previous number back without a word when it is left.
class TFormDraw : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormDraw(QWidget* parent = nullptr);
    ~TFormDraw() override;

    // Fills the controls from the record; without date the date and time are hidden.
    void LoadDraw(const TDrawRec& draw, bool withDate);
    // Writes the controls back (call after an accepted OK).
    void StoreDraw(TDrawRec& draw) const;
    // Asked on OK with the draw as StoreDraw would write it over the loaded one.
    void SetChecker(TDrawChecker checker) { FChecker = std::move(checker); }

    Ui::FormDraw* Controls() const { return FUi.get(); }

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    // Sizes the dialog to show every label and value in full, never below its designed size.
    void FitToContents();

    std::unique_ptr<Ui::FormDraw> FUi;
    bool FWithDate = true;
    TDrawRec FLoaded;
    TDrawChecker FChecker;
};

// Shows the draw dialog with the caption over the record; true and the record updated on OK.
// With a checker OK takes only a draw that it does not refuse.
bool EditDrawData(const QString& caption, TDrawRec& draw, bool withDate, TDrawChecker checker = {});

#pragma once

#include "engine/KelmaUtils.h"
#include "support/ui/TmplDialogSimple.h"

#include <memory>

namespace Ui {
class FormDraw;
}

// The draw dialog: number, the two digits as text and, when asked for, the date and time of
// the draw. OK is accepted only for a text of exactly two digits 0..9.
class TFormDraw : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormDraw(QWidget* parent = nullptr);
    ~TFormDraw() override;

    // Fills the controls from the record; without date the date and time are hidden.
    void LoadDraw(const TDrawRec& draw, bool withDate);
    // Writes the controls back (call after an accepted OK).
    void StoreDraw(TDrawRec& draw) const;

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
};

// Shows the draw dialog with the caption over the record; true and the record updated on OK.
bool EditDrawData(const QString& caption, TDrawRec& draw, bool withDate);

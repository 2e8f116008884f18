#pragma once

#include <QSpinBox>

// A spin box for a small range that takes any whole number typed into it: a number outside
// the limits stays on view as typed and becomes the nearest limit when the field is left, Enter
// is pressed or the text is taken (interpretText), so the correction is seen. A plain spin box
// drops such a key without a sign and keeps its old value.
class TRSpinEdit : public QSpinBox {
public:
    explicit TRSpinEdit(QWidget* parent = nullptr);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};

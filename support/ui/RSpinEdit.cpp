#include "support/ui/RSpinEdit.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

// The typed number without the box's prefix and suffix, when the text is a whole number.
bool TypedNumber(const QSpinBox& box, const QString& input, QString& number)
{
    QString text = input;
    if (!box.prefix().isEmpty() && text.startsWith(box.prefix()))
        text.remove(0, box.prefix().size());
    if (!box.suffix().isEmpty() && text.endsWith(box.suffix()))
        text.chop(box.suffix().size());
    text = text.trimmed();
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    if (!wholeNumber.match(text).hasMatch())
        return false;
    number = text;
    return true;
}

} // namespace

TRSpinEdit::TRSpinEdit(QWidget* parent) : QSpinBox(parent) {}

QValidator::State TRSpinEdit::validate(QString& input, int& pos) const
{
    const QValidator::State state = QSpinBox::validate(input, pos);
    QString number;
    if (state == QValidator::Invalid && TypedNumber(*this, input, number))
        return QValidator::Intermediate;
    return state;
}

void TRSpinEdit::fixup(QString& input) const
{
    QString number;
    if (!TypedNumber(*this, input, number)) {
        QSpinBox::fixup(input);
        return;
    }
    bool ok = false;
    long long value = number.toLongLong(&ok);
    if (!ok)   // more digits than any limit: the limit on its side
        value = number.startsWith(QLatin1Char('-')) ? LLONG_MIN : LLONG_MAX;
    value = std::clamp<long long>(value, minimum(), maximum());
    input = prefix() + textFromValue(static_cast<int>(value)) + suffix();
}

#include "support/ui/RDialogsUi.h"

#include "support/RStrUtils.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextLayout>

#include <algorithm>

namespace {

// What a box takes besides its text: across, the icon and the margins; down, the buttons, the
// margins and a window manager's title bar. Generous on purpose: a box a little shorter than it
// could be costs nothing, one taller than the screen hides its buttons.
constexpr int kChromeWidth = 120;
constexpr int kChromeHeight = 180;
// A longer text is never an ordinary message, and measuring it would cost more than showing it.
constexpr qsizetype kMeasuredChars = 4000;
// What one line of a shortened text keeps at most; the rows that it takes are cut further.
constexpr int kLineChars = 1000;

struct TRows {
    QStringList Texts;
    qreal Widest = 0;
    bool Whole = true;   // every character of the line is in Texts
};

// The rows a line takes in a label of the given width: wrapped at blanks, and with wrapAnywhere
// also inside a word wider than the label. At most maxRows of them.
TRows WrapLine(const QString& line, const QFont& font, int width, bool wrapAnywhere, int maxRows)
{
    TRows rows;
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(wrapAnywhere ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    int end = 0;
    for (QTextLine row = layout.createLine(); row.isValid() && rows.Texts.size() < maxRows;
         row = layout.createLine()) {
        row.setLineWidth(width);
        rows.Texts.append(line.mid(row.textStart(), row.textLength()));
        rows.Widest = std::max(rows.Widest, row.naturalTextWidth());
        end = row.textStart() + row.textLength();
    }
    layout.endLayout();
    if (rows.Texts.isEmpty())
        rows.Texts.append(QString());
    rows.Whole = end >= line.size();
    return rows;
}

// The text a box shows on a screen of the given free area. An ordinary text is shown as it is.
// One that would make the box taller than the screen (a page a server sent, thousands of pasted
// lines) or wider (a word longer than the screen is wide) is shown as its first rows and its
// last lines, where a question stands, with "…" for what is left out; every row is then
// broken to the width of an ordinary box, so the box can neither grow out of the screen nor
// spend its time laying out megabytes.
QString BoxTextForScreen(const QString& text, const QFont& font, const QRect& available)
{
    const int lineHeight = std::max(1, QFontMetrics(font).lineSpacing());
    const int maxRows = std::max(3, (available.height() - kChromeHeight) / lineHeight);
    // The width of the text in a box of its usual width, and the widest word a box takes by
    // growing wider before it would reach the edges of a small screen.
    const int rowWidth = std::max(100, std::min(available.width() / 2, 500) - kChromeWidth);
    const int widestWord = std::min(available.width() - 2 * kChromeWidth, 1000 - kChromeWidth);
    const QStringList lines = text.split(QLatin1Char('\n'));

    if (text.size() <= kMeasuredChars) {
        int rows = 0;
        bool fits = true;
        for (const QString& line : lines) {
            const TRows wrapped = WrapLine(line, font, rowWidth, false, maxRows + 1);
            rows += static_cast<int>(wrapped.Texts.size());
            if (rows > maxRows || wrapped.Widest > widestWord) {
                fits = false;
                break;
            }
        }
        if (fits)
            return text;
    }

    const auto wrap = [&](qsizetype index, int maxLineRows) {
        // A line cut to its excerpt ends in "…" of its own.
        return WrapLine(QuotedExcerpt(lines.at(index), kLineChars), font, rowWidth, true, maxLineRows);
    };
    // Whole lines from the end, a third of the rows at most; the first line is always shown.
    const int tailRows = maxRows / 3;
    QStringList tail;
    qsizetype end = lines.size();
    while (end > 1) {
        const TRows rows = wrap(end - 1, tailRows + 1);
        if (!rows.Whole || tail.size() + rows.Texts.size() > tailRows)
            break;
        tail = rows.Texts + tail;
        --end;
    }
    // Then from the start as many rows as are left, one of them kept for the mark.
    const int headRows = maxRows - 1 - static_cast<int>(tail.size());
    QStringList shown;
    bool whole = true;
    qsizetype next = 0;
    for (; next < end && shown.size() < headRows; ++next) {
        const TRows rows = wrap(next, headRows - static_cast<int>(shown.size()));
        shown += rows.Texts;
        whole = whole && rows.Whole;
    }
    if (!whole || next < end)
        shown.append(QString(QChar(0x2026)));
    return (shown + tail).join(QLatin1Char('\n'));
}

QMessageBox::Icon QtIcon(TBoxIcon icon)
{
    switch (icon) {
    case TBoxIcon::Error:
        return QMessageBox::Critical;
    case TBoxIcon::Exclamation:
        return QMessageBox::Warning;
    case TBoxIcon::Question:
        return QMessageBox::Question;
    case TBoxIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QWidget* BoxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

std::unique_ptr<QMessageBox> CreateQtMessageBox(const TBoxRequest& box, QWidget* parent)
{
    auto result = std::make_unique<QMessageBox>(parent);
    result->setIcon(QtIcon(box.Icon));
    // A box quotes what servers, files and users gave: characters that would make a name in it
    // read as another one are not shown.
    result->setWindowTitle(ShownText(box.Title));
    // The text is shown as given otherwise: a user's text must never be taken for markup.
    result->setTextFormat(Qt::PlainText);
    const QString text = ShownText(box.Text);
    if (const QScreen* screen = result->screen())
        result->setText(BoxTextForScreen(text, result->font(), screen->availableGeometry()));
    else
        result->setText(text);
    result->setWindowModality(Qt::ApplicationModal);
    if (box.Buttons == TBoxButtons::YesNo) {
        result->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        result->setDefaultButton(box.DefaultButton == IDNO ? QMessageBox::No : QMessageBox::Yes);
        // Escape answers No: the question cannot be left unanswered.
        result->setEscapeButton(QMessageBox::No);
    } else {
        result->setStandardButtons(QMessageBox::Ok);
        result->setDefaultButton(QMessageBox::Ok);
        result->setEscapeButton(QMessageBox::Ok);
    }
    return result;
}

int QtMessageBoxResult(const QMessageBox& box)
{
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int ShowQtMessageBox(const TBoxRequest& box)
{
    const std::unique_ptr<QMessageBox> dialog = CreateQtMessageBox(box, BoxParent());
    dialog->exec();
    return QtMessageBoxResult(*dialog);
}

void InstallQtMessageBoxes()
{
    SetMessageBoxHandler(ShowQtMessageBox);
}

int ExecModalWindow(QDialog& form, bool nobodyThere)
{
    if (!nobodyThere)
        return form.exec();
    form.show();
    QCoreApplication::processEvents();
    form.close();
    return QDialog::Rejected;
}

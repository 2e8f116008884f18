#include "app/ui/stats/UnitConfig.h"

#include "app/core/stats/EngineSettings.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/ui/QorFloatEdit.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QValidator>

#include <algorithm>
#include <climits>
#include <functional>

namespace {

const TResString SCaption = RESSTR("FormConfig", "Параметры системы");
const TResString SMatrixCol = RESSTR("FormConfig", "Размер матрицы:");
const TResString SMatrixColHint = RESSTR("FormConfig", "Количество столбцов");
const TResString SMatrixRowHint = RESSTR("FormConfig", "Количество строк");
const TResString SChannelSize = RESSTR("FormConfig", "Размер канала:");
const TResString SChannelSizeHint = RESSTR("FormConfig", "Ширина канала");
const TResString SCost = RESSTR("FormConfig", "Стоимость ставки:");
const TResString SCostHint = RESSTR("FormConfig", "Стоимость одной ставки");
const TResString SStakeMaxLen = RESSTR("FormConfig", "Расширенная ставка:");
const TResString SProfits = RESSTR("FormConfig", "Размеры выигрышей:");
const TResString SCoefficients = RESSTR("FormConfig", " Коэффициенты для поля \"Вес\" ");
const TResString SCoefCount = RESSTR("FormConfig", "Количество:");
const TResString SCoefDeviation = RESSTR("FormConfig", "Отклонение:");
const TResString SCoefLevel = RESSTR("FormConfig", "Глубина:");
const TResString SCoefPercents = RESSTR("FormConfig", "Использовать значения в %");
const TResString SCoefAbs = RESSTR("FormConfig", "Использовать абсолютные значения");
const TResString SSegments = RESSTR("FormConfig", "Сегменты матрицы:");

enum TLabelIndex {
    lblMatrixCol, lblChannelSize, lblCost, lblStakeMaxLen, lblProfits, lblCoefCount, lblCoefDeviation,
    lblCoefLevel, lblSegments, LabelCount
};
const std::array<const TResString*, LabelCount> kLabelTexts = {
    &SMatrixCol, &SChannelSize, &SCost, &SStakeMaxLen, &SProfits, &SCoefCount, &SCoefDeviation, &SCoefLevel,
    &SSegments,
};
const std::array<const char*, LabelCount> kLabelNames = {
    "lblMatrixCol", "lblChannelSize", "lblCost", "lblStakeMaxLen", "lblProfits", "lblCoefCount",
    "lblCoefDeviation", "lblCoefLevel", "lblSegments",
};

const QString kCostFormat = QStringLiteral(",0.00");
const QString kWeightFormat = QStringLiteral(",0.000");
constexpr int kProfitKeyColumn = 0;
constexpr int kProfitValueColumn = 1;
constexpr int kSegmentColumnWidth = 40;

// Keeps what a cell editor may hold: characters it cannot hold are dropped from whatever
// reaches it (typed or pasted) instead of refusing the whole change.
class TCellTextValidator : public QValidator {
public:
    TCellTextValidator(std::function<QString(const QString&)> keep, QObject* parent)
        : QValidator(parent), FKeep(std::move(keep))
    {
    }
    State validate(QString& input, int& pos) const override
    {
        const QString before = input.left(pos);
        input = FKeep(input);
        pos = std::clamp(int(FKeep(before).size()), 0, int(input.size()));
        return Acceptable;
    }

private:
    std::function<QString(const QString&)> FKeep;
};

// The editor of a grid's cells: a line whose text is filtered as typed, centred where the
// cells are, and checked after every key. A text the check refuses is replaced by its
// correction at once, then the message is shown over the open editor.
class TCellDelegate : public QStyledItemDelegate {
public:
    // Returns the message for a refused text and puts the correction into it; empty when the
    // text may stay.
    using TCheck = std::function<QString(QString& text)>;

    TCellDelegate(std::function<QString(const QString&)> keep, Qt::Alignment alignment, TCheck check,
                  QObject* parent)
        : QStyledItemDelegate(parent), FKeep(std::move(keep)), FAlignment(alignment), FCheck(std::move(check))
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setAlignment(FAlignment);
        editor->setValidator(new TCellTextValidator(FKeep, editor));
        if (FCheck)
            QObject::connect(editor, &QLineEdit::textEdited, editor, [this, editor] { CheckEdited(editor); });
        return editor;
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        // While the message is open the editor has lost its focus to it; the view would take
        // that for the end of the edit, write the text back and delete the editor under the
        // key handler that is still running in it.
        if (FBoxOpen > 0 && (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide))
            return false;
        if (event->type() == QEvent::KeyPress && LeaveByTab(object, static_cast<QKeyEvent*>(event)))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    // Tab in an open editor ends the edit and goes on to the next control of the dialog, as it
    // does from the grid itself; the item view would go on to the next cell, round and round.
    bool LeaveByTab(QObject* object, const QKeyEvent* key)
    {
        if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab)
            return false;
        auto* editor = qobject_cast<QWidget*>(object);
        QWidget* view = editor ? editor->parentWidget() : nullptr;
        while (view && !qobject_cast<QAbstractItemView*>(view))
            view = view->parentWidget();
        if (view == nullptr || static_cast<QAbstractItemView*>(view)->tabKeyNavigation())
            return false;
        emit commitData(editor);
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        QKeyEvent tab(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
        QCoreApplication::sendEvent(view, &tab);
        return true;
    }

    void CheckEdited(QLineEdit* editor) const
    {
        QString text = editor->text();
        const QString message = FCheck(text);
        if (message.isEmpty())
            return;
        // The correction first: whatever the message's own event loop does, the cell can only
        // receive the corrected text.
        editor->setText(text);
        ++FBoxOpen;
        ErrorBox(message);
        --FBoxOpen;
    }

    std::function<QString(const QString&)> FKeep;
    Qt::Alignment FAlignment;
    TCheck FCheck;
    mutable int FBoxOpen = 0;
};

// A segment cell's text that is not empty and not 1..9 becomes "1"; the message tells why.
QString SegmentTextRefusal(QString& text)
{
    if (IsSegmentCellText(text))
        return QString();
    const QString message = BadSegmentMessage(text);
    text = QString::number(MinSegment);
    return message;
}

QString KeepDigits(const QString& text)
{
    QString out;
    for (const QChar c : text)
        if (IsSegmentCellChar(c))
            out += c;
    return out;
}

QTableWidgetItem* NewItem(const QString& text, Qt::Alignment alignment, bool editable)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

// A grid's least size that shows every cell without scrolling.
QSize FullGridSize(const QTableWidget* grid)
{
    int width = grid->frameWidth() * 2;
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    int height = grid->frameWidth() * 2;
    for (int r = 0; r < grid->rowCount(); ++r)
        height += grid->rowHeight(r);
    if (!grid->verticalHeader()->isHidden())
        width += grid->verticalHeader()->width();
    if (!grid->horizontalHeader()->isHidden())
        height += std::max(grid->horizontalHeader()->sizeHint().height(), grid->horizontalHeader()->height());
    return {width, height};
}

} // namespace

TFormConfig::TFormConfig(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormConfig"));
    BuildControls();
    TranslateTexts();
    LoadConfig(TConfigData{});
    FitToContents();
}

void TFormConfig::BuildControls()
{
    QWidget* panel = ClientPanel();
    for (std::size_t i = 0; i < FLabels.size(); ++i) {
        FLabels[i] = new QLabel(panel);
        FLabels[i]->setObjectName(QLatin1String(kLabelNames[i]));
    }
    auto spin = [panel](const char* name, int min, int max) {
        auto* box = new QSpinBox(panel);
        box->setObjectName(QLatin1String(name));
        box->setRange(min, max);
        return box;
    };
    auto floatEdit = [](QWidget* owner, const char* name, const QString& format) {
        auto* edit = new TRFloatEdit(owner);
        edit->setObjectName(QLatin1String(name));
        edit->SetDisplayFormat(format);
        return edit;
    };

    // The matrix of this game has one column per position and one row per digit; neither can
    // be changed here.
    edMatrixCol = spin("edMatrixCol", MinMatrixCols, MaxMatrixCols);
    edMatrixCol->setEnabled(false);
    edMatrixRow = spin("edMatrixRow", SegmentRows, SegmentRows);
    edMatrixRow->setReadOnly(true);
    edMatrixRow->setButtonSymbols(QAbstractSpinBox::NoButtons);
    // A fixed figure to read, not a field to fill: Tab passes it by.
    edMatrixRow->setFocusPolicy(Qt::NoFocus);
    edMatrixRow->setValue(SegmentRows);
    edChannelSize = spin("edChannelSize", MinChannelSize, MaxChannelSize);
    edCost = floatEdit(panel, "edCost", kCostFormat);
    edStakeMaxLen = spin("edStakeMaxLen", INT_MIN, INT_MAX);
    edStakeMaxLen->setVisible(false);
    FLabels[lblStakeMaxLen]->setVisible(false);

    edProfits = new QTableWidget(ProfitLineCount, 2, panel);
    edProfits->setObjectName(QStringLiteral("edProfits"));
    edProfits->verticalHeader()->setVisible(false);
    edProfits->horizontalHeader()->setStretchLastSection(true);
    edProfits->horizontalHeader()->setSectionsClickable(false);
    edProfits->setSelectionMode(QAbstractItemView::SingleSelection);
    edProfits->setItemDelegateForColumn(
        kProfitValueColumn, new TCellDelegate(TypedProfitText, Qt::AlignLeft | Qt::AlignVCenter, {}, edProfits));
    edProfits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edProfits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    gbCoefficients = new QGroupBox(panel);
    gbCoefficients->setObjectName(QStringLiteral("gbCoefficients"));
    Weights = TWeightEdits::Create(gbCoefficients, kWeightFormat);
    for (const int i : {lblCoefCount, lblCoefDeviation, lblCoefLevel})
        FLabels[std::size_t(i)]->setParent(gbCoefficients);
    auto* weights = new QGridLayout(gbCoefficients);
    weights->setContentsMargins(10, 6, 10, 8);
    weights->setVerticalSpacing(4);
    weights->addWidget(FLabels[lblCoefCount], 0, 0);
    weights->addWidget(Weights.Count, 0, 1);
    weights->addWidget(FLabels[lblCoefDeviation], 1, 0);
    weights->addWidget(Weights.Deviation, 1, 1);
    weights->addWidget(FLabels[lblCoefLevel], 2, 0);
    weights->addWidget(Weights.Level, 2, 1);
    weights->addWidget(Weights.Percents, 3, 0, 1, 2);
    weights->addWidget(Weights.Abs, 4, 0, 1, 2);
    weights->setColumnStretch(1, 1);

    // One column per position of the draw and one row per digit, whatever the matrix column
    // count says: the segments are 10 values for each of the two positions.
    sgSegments = new QTableWidget(SegmentRows, SegmentColumns, panel);
    sgSegments->setObjectName(QStringLiteral("sgSegments"));
    sgSegments->horizontalHeader()->setVisible(false);
    sgSegments->verticalHeader()->setVisible(false);
    sgSegments->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSegments->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sgSegments->setSelectionMode(QAbstractItemView::SingleSelection);
    sgSegments->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int c = 0; c < SegmentColumns; ++c)
        sgSegments->setColumnWidth(c, kSegmentColumnWidth);
    sgSegments->setItemDelegate(new TCellDelegate(KeepDigits, Qt::AlignCenter, SegmentTextRefusal, sgSegments));
    connect(sgSegments, &QTableWidget::cellChanged, this, &TFormConfig::SegmentItemChanged);

    auto* grid = NewClientGrid("layConfig", 8, 6);
    auto* matrixRow = new QHBoxLayout;
    matrixRow->setSpacing(4);
    auto* times = new QLabel(QStringLiteral("x"), panel);
    times->setObjectName(QStringLiteral("lblMatrixTimes"));
    matrixRow->addWidget(edMatrixCol);
    matrixRow->addWidget(times);
    matrixRow->addWidget(edMatrixRow);
    matrixRow->addStretch(1);
    grid->addWidget(FLabels[lblMatrixCol], 0, 0);
    grid->addLayout(matrixRow, 0, 1);
    grid->addWidget(FLabels[lblChannelSize], 1, 0);
    grid->addWidget(edChannelSize, 1, 1, Qt::AlignLeft);
    grid->addWidget(FLabels[lblCost], 2, 0);
    grid->addWidget(edCost, 2, 1);
    grid->addWidget(FLabels[lblStakeMaxLen], 3, 0);
    grid->addWidget(edStakeMaxLen, 3, 1);
    grid->addWidget(FLabels[lblProfits], 4, 0, 1, 2);
    grid->addWidget(edProfits, 5, 0, 1, 2);
    grid->addWidget(gbCoefficients, 6, 0, 1, 2);
    grid->addWidget(FLabels[lblSegments], 0, 2);
    grid->addWidget(sgSegments, 1, 2, 6, 1, Qt::AlignTop | Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(7, 1);

    FLabels[lblMatrixCol]->setBuddy(edMatrixCol);
    FLabels[lblChannelSize]->setBuddy(edChannelSize);
    FLabels[lblCost]->setBuddy(edCost);
    FLabels[lblStakeMaxLen]->setBuddy(edStakeMaxLen);
    FLabels[lblProfits]->setBuddy(edProfits);
    FLabels[lblCoefCount]->setBuddy(Weights.Count);
    FLabels[lblCoefDeviation]->setBuddy(Weights.Deviation);
    FLabels[lblCoefLevel]->setBuddy(Weights.Level);
    FLabels[lblSegments]->setBuddy(sgSegments);
}

void TFormConfig::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    for (std::size_t i = 0; i < FLabels.size(); ++i)
        FLabels[i]->setText(LoadResString(*kLabelTexts[i]));
    SetHint(edMatrixCol, LoadResString(SMatrixColHint));
    SetHint(edMatrixRow, LoadResString(SMatrixRowHint));
    SetHint(edChannelSize, LoadResString(SChannelSizeHint));
    SetHint(edCost, LoadResString(SCostHint));
    edProfits->setHorizontalHeaderLabels({LoadResString(rsColMatchCount), LoadResString(rsColProfitAmount)});
    gbCoefficients->setTitle(LoadResString(SCoefficients));
    Weights.Percents->setText(LoadResString(SCoefPercents));
    Weights.Abs->setText(LoadResString(SCoefAbs));
}

void TFormConfig::LoadConfig(const TConfigData& config)
{
    FConfig = config;
    edMatrixCol->setValue(config.MatrixCols);
    edChannelSize->setValue(config.ChannelSize);
    edCost->SetValue(config.Cost.ToDouble());
    edStakeMaxLen->setValue(config.MaxStake);

    const QStringList lines = ProfitsToLines(config.Profits);
    for (int row = 0; row < ProfitLineCount; ++row) {
        const QString& line = lines.at(row);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        edProfits->setItem(row, kProfitKeyColumn, NewItem(line.left(eq), Qt::AlignLeft | Qt::AlignVCenter, false));
        edProfits->setItem(row, kProfitValueColumn, NewItem(line.mid(eq + 1), Qt::AlignLeft | Qt::AlignVCenter, true));
    }

    Weights.Set(config.Weights);

    // Every cell is emptied first, then the 20 values run down position 1, then position 2.
    const QSignalBlocker blocker(sgSegments);
    sgSegments->clearContents();
    const auto cells = SegmentsToCells(config.MatrixSegments);
    for (int i = 0; i < SegmentCellCount; ++i)
        sgSegments->setItem(i % SegmentRows, i / SegmentRows, NewItem(cells[std::size_t(i)], Qt::AlignCenter, true));
}

QStringList TFormConfig::ProfitLines() const
{
    QStringList lines;
    for (int row = 0; row < edProfits->rowCount(); ++row) {
        const QTableWidgetItem* key = edProfits->item(row, kProfitKeyColumn);
        const QTableWidgetItem* value = edProfits->item(row, kProfitValueColumn);
        lines << (key ? key->text() : QString()) + QLatin1Char('=') + (value ? value->text() : QString());
    }
    return lines;
}

void TFormConfig::TakeTypedValues() const
{
    if (edCost->hasFocus())
        edCost->TextToValue();
    Weights.TakeTypedValues();
}

TConfigData TFormConfig::Config() const
{
    TakeTypedValues();
    TConfigData config = FConfig;
    config.ChannelSize = edChannelSize->value();
    if (const std::optional<TCurrency> cost = StakeMoneyFromValue(edCost->Value()))
        config.Cost = *cost;
    if (std::optional<TProfitsArray> profits = LinesToProfits(ProfitLines()))
        config.Profits = std::move(*profits);
    config.Weights = Weights.Get();
    std::array<QString, SegmentCellCount> cells;
    for (int i = 0; i < SegmentCellCount; ++i) {
        const QTableWidgetItem* item = sgSegments->item(i % SegmentRows, i / SegmentRows);
        cells[std::size_t(i)] = item ? item->text() : QString();
    }
    config.MatrixSegments = CellsToSegments(cells);
    return config;
}

void TFormConfig::CheckSegmentText(QString& text)
{
    const QString message = SegmentTextRefusal(text);
    if (!message.isEmpty())
        ErrorBox(message);
}

void TFormConfig::SegmentItemChanged(int row, int column)
{
    QTableWidgetItem* item = sgSegments->item(row, column);
    if (item == nullptr || FCheckingSegment)
        return;
    QString text = item->text();
    FCheckingSegment = true;
    CheckSegmentText(text);
    if (text != item->text())
        item->setText(text);
    FCheckingSegment = false;
}

void TFormConfig::accept()
{
    TakeTypedValues();
    if (!StakeMoneyFromValue(edCost->Value())) {
        ErrorBox(CostRefusedMessage(edCost->Value()));
        edCost->setFocus();
        return;
    }
    int badLine = -1;
    const QStringList lines = ProfitLines();
    if (!LinesToProfits(lines, &badLine)) {
        const QTableWidgetItem* value = edProfits->item(badLine, kProfitValueColumn);
        ErrorBox(ProfitRefusedMessage(value ? value->text() : QString()));
        edProfits->setFocus();
        edProfits->setCurrentCell(badLine, kProfitValueColumn);
        return;
    }
    TDialogSTemplate::accept();
}

void TFormConfig::FitToContents()
{
    // Rows as high as a line of text, so that both grids show every cell without scrolling.
    for (QTableWidget* grid : {edProfits, sgSegments}) {
        grid->ensurePolished();
        grid->horizontalHeader()->ensurePolished();
        grid->verticalHeader()->setMinimumSectionSize(1);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    }
    sgSegments->setFixedSize(FullGridSize(sgSegments));
    edProfits->resizeColumnToContents(kProfitKeyColumn);
    edProfits->setFixedHeight(FullGridSize(edProfits).height());
    FitToLayout(0);
}

void TFormConfig::showEvent(QShowEvent* event)
{
    // The grids' header knows its height for the style in use only once it is shown.
    FitToContents();
    TDialogSTemplate::showEvent(event);
}

void TFormConfig::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool EditConfigData(QWidget* owner, TConfigData& config)
{
    TFormConfig form(owner);
    form.LoadConfig(config);
    if (form.exec() != QDialog::Accepted)
        return false;
    config = form.Config();
    return true;
}

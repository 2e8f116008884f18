#include "support/ui/RFrmStorage.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"
#include "support/RDialogs.h"
#include "support/RSysUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RVclUtilsUi.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QTableView>
#include <QWidget>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace {

// Show commands as the stored files number them.
constexpr int kShowNormal = 1;
constexpr int kShowMinimized = 2;
constexpr int kShowMaximized = 3;
// Placement flags: use the minimised position; restore to maximised.
constexpr int kFlagSetMinPosition = 1;
constexpr int kFlagRestoreToMaximized = 2;

const QString kFieldDelimiters = QStringLiteral(", ");
// Farther than any screen reaches, near enough that sums of coordinates cannot overflow.
constexpr int kFarAway = 1 << 20;
// No size, length or option a window keeps comes near this (it is Qt's largest widget size);
// a stored number beyond it is damage, and the windows would add to it and overflow.
constexpr int kMaxStoredSize = QWIDGETSIZE_MAX;

const TResString SReadError =
    RESSTR("RFrmStorage", "Не удалось прочитать файл параметров программы \"%s\": %s");
const TResString SWriteError =
    RESSTR("RFrmStorage", "Не удалось записать файл параметров программы \"%s\": %s");
const TResString SUnreadable = RESSTR(
    "RFrmStorage",
    "%s\n\nПоложение и размеры окон, ширина столбцов и параметры программы взяты по умолчанию.");

// The form-state files that could not be read since they were last read well: each is told
// once, not at every window and column.
QSet<QString>& UnreadableFiles()
{
    static QSet<QString> files;
    return files;
}

// The form-state file read afresh. One that exists but cannot be read raises Exception naming
// it as the program's parameters, with the system's reason, in the words of what was to be done
// (failure): read it, or write it, which begins with reading what the file keeps.
TMemIniFile OpenStore(const QString& fileName, const TResString& failure)
{
    try {
        return TMemIniFile(fileName);
    } catch (const EIniFileReadError& e) {
        throw Exception(Format(LoadResString(failure), {fileName, e.Reason()}));
    }
}

// The copy of the form-state file that the open batch gathers the changes in; none without a
// batch.
std::unique_ptr<TMemIniFile>& BatchCopy()
{
    static std::unique_ptr<TMemIniFile> copy;
    return copy;
}

// The open batch's copy of the file, when there is one for this file.
TMemIniFile* BatchFor(const QString& fileName)
{
    TMemIniFile* copy = BatchCopy().get();
    return copy && copy->FileName() == fileName ? copy : nullptr;
}

// Makes a change to the form-state file: to the open batch's copy, or to the file itself, read
// afresh and written back at once. A file the user was told cannot be read takes no change and
// says nothing more: the windows work with their defaults, and only the batch of the shut-down
// tells that nothing could be written.
template <typename TChange>
void ChangeStore(TChange&& change)
{
    const QString fileName = GetAppFrmFileName();
    if (TMemIniFile* copy = BatchFor(fileName)) {
        change(*copy);
        return;
    }
    std::optional<TMemIniFile> ini;
    try {
        ini.emplace(OpenStore(fileName, SWriteError));
    } catch (const Exception&) {
        if (UnreadableFiles().contains(fileName))
            return;
        throw;
    }
    change(*ini);
    ini->UpdateFile();
}

// The form-state file for reading (the open batch's copy, changes and all). One that cannot be
// read (no permission, a folder in its place) reads as empty, so every window takes its designed
// state and a batch run goes on; the user is told once. Changes still open the file themselves
// and fail: they must not replace a file whose content nobody could read.
TMemIniFile ReadStore()
{
    const QString fileName = GetAppFrmFileName();
    if (const TMemIniFile* copy = BatchFor(fileName))
        return *copy;
    try {
        TMemIniFile ini = OpenStore(fileName, SReadError);
        UnreadableFiles().remove(fileName);
        return ini;
    } catch (const Exception& e) {
        if (!UnreadableFiles().contains(fileName)) {
            UnreadableFiles().insert(fileName);
            WarningBox(Format(LoadResString(SUnreadable), {e.Message()}));
        }
        return TMemIniFile(QString());
    }
}

TScreenMetricsProc& MetricsProc()
{
    static TScreenMetricsProc proc;
    return proc;
}

QMdiSubWindow* MdiFrame(const QWidget* form)
{
    return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
}

// The widget whose geometry is the window's placement.
QWidget* PlacementWidget(QWidget* form)
{
    if (QMdiSubWindow* frame = MdiFrame(form))
        return frame;
    return form;
}

bool IsMdiParent(const QWidget* form)
{
    const auto* window = qobject_cast<const QMainWindow*>(form);
    return window && qobject_cast<QMdiArea*>(window->centralWidget());
}

QString ScreenKey(const QString& key, const TScreenMetrics& screen)
{
    return QStringLiteral("%1_%2x%3").arg(key).arg(screen.Width).arg(screen.Height);
}

QString ColumnKey(const QWidget* control, int column)
{
    return Format(QStringLiteral("%s.Column%d"), {control->objectName(), column});
}

QString ControlKey(const QWidget* control, const QString& suffix)
{
    return control->objectName() + QLatin1Char('.') + suffix;
}

// Field n (from 1) of a stored list of numbers; the default when it is missing or no number.
int IntField(const QString& text, int n, int defaultValue)
{
    return StrToIntDef(ExtractWord(n, text, kFieldDelimiters).trimmed(), defaultValue);
}

// The per-screen form of a key, else the plain one; empty when neither holds text.
QString ReadScreenValue(const TMemIniFile& ini, const QString& section, const QString& key,
                        const TScreenMetrics& screen)
{
    QString text = ini.ReadString(section, ScreenKey(key, screen), QString());
    if (text.isEmpty())
        text = ini.ReadString(section, key, QString());
    return text;
}

bool FixedSize(const QWidget* window)
{
    return window->minimumSize() == window->maximumSize()
           || window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

// The work areas of the screens, the primary screen's first.
QList<QRect> WorkAreas()
{
    QList<QRect> areas = CurrentScreenMetrics().WorkAreas;
    if (!areas.isEmpty())
        return areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas.append(screen->availableGeometry());
    return areas;
}

// How far the window system's frame (title bar and borders) reaches beyond the client area;
// nothing while the window has not been shown, when the window system has not told it yet.
QMargins FrameMargins(const QWidget* window)
{
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// The frame a window will have, for one that has not been shown yet: a title bar of the
// style's height, at least two lines of the window's font (desktop themes draw them taller),
// and borders of a few pixels.
QMargins ExpectedFrameMargins(const QWidget* window)
{
    const QMargins frame = FrameMargins(window);
    if (!frame.isNull() || window->isVisible())
        return frame;
    const QStyle* style = window->style();
    const int border = std::max(style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, window), 4);
    const int title = std::max(style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window),
                               2 * window->fontMetrics().height());
    return {border, title + border, border, border};
}

// Keeps a span of length size that starts at start inside [low, low + room); a span longer
// than the room starts at low.
int ClampSpan(int start, int size, int low, int room)
{
    return std::max(low, std::min(start, low + room - size));
}

// A window without a placement of its own (a first start, one kept at another pixels per inch,
// a damaged one) keeps its designed size and the place the window system gives it, unless it
// would not fit the work area: then it takes what room the area has, in the area's middle.
void FitOnWorkArea(QWidget* window)
{
    const QList<QRect> areas = WorkAreas();
    if (!window->isWindow() || areas.isEmpty())
        return;
    const QMargins frame = ExpectedFrameMargins(window);
    const QRect placed = PlaceOnWorkArea(QRect(window->pos(), window->size()), frame, window->minimumSize(), areas);
    if (placed.size() == window->size())
        return;
    const QSize outer = placed.size().grownBy(frame);
    QPoint corner = placed.topLeft();
    for (const QRect& area : areas) {
        if (area.contains(corner)) {
            corner = area.topLeft()
                     + QPoint(std::max(0, area.width() - outer.width()) / 2, std::max(0, area.height() - outer.height()) / 2);
            break;
        }
    }
    window->resize(placed.size());
    window->move(corner);
}

void ApplyPosition(QWidget* window, const TMemIniFile& ini, const QString& section)
{
    const TScreenMetrics screen = CurrentScreenMetrics();
    const QString minMax = ReadScreenValue(ini, section, QStringLiteral("MinMaxPos"), screen);
    const QString norm = ReadScreenValue(ini, section, QStringLiteral("NormPos"), screen);
    if ((minMax.isEmpty() && norm.isEmpty())
        || ini.ReadInteger(section, QStringLiteral("PixelsPerInch"), screen.PixelsPerInch) != screen.PixelsPerInch) {
        FitOnWorkArea(window);
        return;
    }
    // The minimised and maximised positions have no counterpart here: the window system places
    // minimised and maximised windows itself.
    // Left and top are those of the frame, as pos() and move() take them: placed so, the title
    // bar lands where it was, whatever the window system's frame is like.
    // A damaged file may hold any integers: the sums in 64 bits, and everything bounded far
    // beyond any screen before a rectangle is made of it.
    const QPoint position = window->pos();
    const QSize size = window->size();
    const qint64 left = IntField(norm, 1, position.x());
    const qint64 top = IntField(norm, 2, position.y());
    qint64 right = IntField(norm, 3, position.x() + size.width());
    qint64 bottom = IntField(norm, 4, position.y() + size.height());
    if (FixedSize(window)) {
        right = left + size.width();
        bottom = top + size.height();
    }
    if (right <= left || bottom <= top) {
        FitOnWorkArea(window);
        return;
    }
    const auto bounded = [](qint64 value) { return int(std::clamp<qint64>(value, -kFarAway, kFarAway)); };
    QRect wanted(bounded(left), bounded(top), bounded(right - left), bounded(bottom - top));
    if (window->isWindow())
        wanted = PlaceOnWorkArea(wanted, FrameMargins(window), window->minimumSize(), WorkAreas());
    window->resize(wanted.size());
    window->move(wanted.topLeft());
}

void ApplyState(QWidget* window, const QWidget* form, const TMemIniFile& ini, const QString& section)
{
    const QWidget* mainForm = MainForm();
    const bool actsAsMain = !mainForm || mainForm == form;
    Qt::WindowStates state = (actsAsMain && IsMdiParent(form)) ? Qt::WindowMaximized : Qt::WindowNoState;
    switch (ini.ReadInteger(section, QStringLiteral("ShowCmd"), 0)) {
    case 1:
    case 5:
    case 9:
        state = Qt::WindowNoState;
        break;
    case 2:
    case 6:
    case 7:
        // For the main window this leaves the whole program on the task bar.
        state = Qt::WindowMinimized;
        break;
    case 3:
        state = Qt::WindowMaximized;
        break;
    default:
        break;
    }
    window->setWindowState(state);
}

} // namespace

QRect PlaceOnWorkArea(const QRect& wanted, const QMargins& frame, const QSize& minimumSize,
                      const QList<QRect>& workAreas)
{
    if (workAreas.isEmpty())
        return wanted;
    // The screen that holds the largest part of the window; off every screen, the first.
    const QRect outer(wanted.topLeft(), wanted.size().grownBy(frame));
    QRect area = workAreas.first();
    qint64 best = 0;
    for (const QRect& candidate : workAreas) {
        const QRect common = candidate.intersected(outer);
        const qint64 shared = qint64(common.width()) * common.height();
        if (!common.isEmpty() && shared > best) {
            best = shared;
            area = candidate;
        }
    }
    const QSize room = area.size().shrunkBy(frame);
    const QSize size = wanted.size().boundedTo(room).expandedTo(minimumSize).expandedTo(QSize(1, 1));
    const QSize outerSize = size.grownBy(frame);
    return {ClampSpan(wanted.left(), outerSize.width(), area.left(), area.width()),
            ClampSpan(wanted.top(), outerSize.height(), area.top(), area.height()), size.width(), size.height()};
}

TScreenMetrics CurrentScreenMetrics()
{
    if (const TScreenMetricsProc& proc = MetricsProc())
        return proc();
    TScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        metrics.Width = screen->geometry().width();
        metrics.Height = screen->geometry().height();
        metrics.PixelsPerInch = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
    }
    return metrics;
}

TScreenMetricsProc SetScreenMetricsProc(TScreenMetricsProc proc)
{
    return std::exchange(MetricsProc(), std::move(proc));
}

TFormStorageBatch::TFormStorageBatch()
{
    // One batch at a time: a second one would lose the first one's changes.
    Q_ASSERT(!BatchCopy());
    // Read before the batch counts as open: a file that cannot be read leaves no batch behind.
    BatchCopy() = std::make_unique<TMemIniFile>(OpenStore(GetAppFrmFileName(), SWriteError));
}

TFormStorageBatch::~TFormStorageBatch()
{
    BatchCopy().reset();
}

void TFormStorageBatch::Save()
{
    BatchCopy()->UpdateFile();
}

QString FormStorageSection(const QWidget* form)
{
    QString section = QString::fromLatin1(form->metaObject()->className());
    if (MdiFrame(form))
        section += QStringLiteral(".MDIChildren");
    return section;
}

void WriteFormBool(const QWidget* form, const QString& key, bool value)
{
    ChangeStore([&](TMemIniFile& ini) { ini.WriteBool(FormStorageSection(form), key, value); });
}

void WriteFormInteger(const QWidget* form, const QString& key, int value)
{
    ChangeStore([&](TMemIniFile& ini) { ini.WriteInteger(FormStorageSection(form), key, value); });
}

bool ReadFormBool(const QWidget* form, const QString& key, bool defaultValue)
{
    const TMemIniFile ini = ReadStore();
    return ini.ReadBool(FormStorageSection(form), key, defaultValue);
}

int ReadFormInteger(const QWidget* form, const QString& key, int defaultValue)
{
    return ReadFormInteger(form, key, defaultValue, -kMaxStoredSize, kMaxStoredSize);
}

int ReadFormInteger(const QWidget* form, const QString& key, int defaultValue, int low, int high)
{
    const TMemIniFile ini = ReadStore();
    const int value = ini.ReadInteger(FormStorageSection(form), key, defaultValue);
    return value < low || value > high ? defaultValue : value;
}

void SaveFormPlacement(const QWidget* form)
{
    const QWidget* window = PlacementWidget(const_cast<QWidget*>(form));
    int showCmd = kShowNormal;
    int flags = 0;
    if (window->isMinimized()) {
        showCmd = kShowMinimized;
        if (window->windowState().testFlag(Qt::WindowMaximized))
            flags |= kFlagRestoreToMaximized;
        if (MdiFrame(form))
            flags |= kFlagSetMinPosition;
    } else if (window->isMaximized()) {
        showCmd = kShowMaximized;
    }
    QRect normal = window->normalGeometry();
    if (!normal.isValid())
        normal = window->geometry();
    // Left and top of the frame (see ApplyPosition): the client area's corner less the frame's
    // offset, which is nothing for a window not yet shown and for a child window.
    normal.translate(window->pos() - window->geometry().topLeft());

    const TScreenMetrics screen = CurrentScreenMetrics();
    const QString section = FormStorageSection(form);
    const QString minMax = QStringLiteral("-1,-1,-1,-1");
    const QString norm = QStringLiteral("%1,%2,%3,%4")
                             .arg(normal.left())
                             .arg(normal.top())
                             .arg(normal.left() + normal.width())
                             .arg(normal.top() + normal.height());
    ChangeStore([&](TMemIniFile& ini) {
        ini.WriteInteger(section, QStringLiteral("Flags"), flags);
        ini.WriteInteger(section, QStringLiteral("ShowCmd"), showCmd);
        ini.WriteInteger(section, QStringLiteral("PixelsPerInch"), screen.PixelsPerInch);
        ini.WriteString(section, QStringLiteral("MinMaxPos"), minMax);
        ini.WriteString(section, ScreenKey(QStringLiteral("MinMaxPos"), screen), minMax);
        ini.WriteString(section, QStringLiteral("NormPos"), norm);
        ini.WriteString(section, ScreenKey(QStringLiteral("NormPos"), screen), norm);
    });
}

void RestoreFormPlacement(QWidget* form, bool restoreState, bool restorePosition)
{
    if (!restoreState && !restorePosition)
        return;
    QWidget* window = PlacementWidget(form);
    const TMemIniFile ini = ReadStore();
    const QString section = FormStorageSection(form);
    if (restorePosition)
        ApplyPosition(window, ini, section);
    if (restoreState)
        ApplyState(window, form, ini, section);
    window->update();
}

void SaveGridLayout(const QWidget* form, const TROwnerDrawGrid* grid)
{
    const QString section = FormStorageSection(form);
    ChangeStore([&](TMemIniFile& ini) {
        for (int col = 0; col < grid->ColCount(); ++col)
            ini.WriteInteger(section, ColumnKey(grid, col), grid->ColWidth(col));
    });
}

void RestoreGridLayout(const QWidget* form, TROwnerDrawGrid* grid)
{
    const TMemIniFile ini = ReadStore();
    const QString section = FormStorageSection(form);
    // A header ignores a section size beyond its largest; the restore passes it over likewise.
    const int widest = std::min(kMaxStoredSize, grid->horizontalHeader()->maximumSectionSize());
    for (int col = 0; col < grid->ColCount(); ++col) {
        // A stored width is the user's and stays exact; what does not read as one leaves the
        // grid's own width, widened to its header text as before.
        const int width = ini.ReadInteger(section, ColumnKey(grid, col), -1);
        if (width >= 0 && width <= widest)
            grid->SetExactColWidth(col, width);
    }
}

void SaveGridLayout(const QWidget* form, const QTableView* grid)
{
    const QString section = FormStorageSection(form);
    const int count = grid->model() ? grid->model()->columnCount() : 0;
    ChangeStore([&](TMemIniFile& ini) {
        for (int col = 0; col < count; ++col)
            ini.WriteInteger(section, ColumnKey(grid, col), grid->columnWidth(col));
    });
}

void RestoreGridLayout(const QWidget* form, QTableView* grid)
{
    const TMemIniFile ini = ReadStore();
    const QString section = FormStorageSection(form);
    const int count = grid->model() ? grid->model()->columnCount() : 0;
    for (int col = 0; col < count; ++col) {
        const int width = ini.ReadInteger(section, ColumnKey(grid, col), grid->columnWidth(col));
        if (width >= 0 && width <= kMaxStoredSize)
            grid->setColumnWidth(col, width);
    }
}

void SaveListViewLayout(const QWidget* form, const TRListView* view, bool withFlags)
{
    const QString section = FormStorageSection(form);
    ChangeStore([&](TMemIniFile& ini) {
        if (withFlags) {
            ini.WriteBool(section, ControlKey(view, QStringLiteral("GridLines")), view->GridLines());
            ini.WriteBool(section, ControlKey(view, QStringLiteral("MultiSelect")), view->MultiSelect());
        }
        if (const auto* sortView = qobject_cast<const TRSortListView*>(view))
            ini.WriteString(section, ControlKey(view, QStringLiteral("SortType")),
                            QStringLiteral("%1,%2")
                                .arg(sortView->SortColumn())
                                .arg(static_cast<int>(sortView->SortDirection())));
        for (int column = 0; column < view->ColumnCount(); ++column)
            ini.WriteInteger(section, ColumnKey(view, column), view->ColumnWidth(column));
    });
}

void RestoreListViewLayout(const QWidget* form, TRListView* view, bool withFlags)
{
    const TMemIniFile ini = ReadStore();
    const QString section = FormStorageSection(form);
    if (withFlags) {
        view->SetGridLines(ini.ReadBool(section, ControlKey(view, QStringLiteral("GridLines")), view->GridLines()));
        view->SetMultiSelect(ini.ReadBool(section, ControlKey(view, QStringLiteral("MultiSelect")), view->MultiSelect()));
    }
    if (auto* sortView = qobject_cast<TRSortListView*>(view)) {
        const QString text = ini.ReadString(section, ControlKey(view, QStringLiteral("SortType")), QString()).trimmed();
        if (!text.isEmpty()) {
            // A file written for another layout of the list (fewer columns) must not stop the
            // window from opening: what does not fit is passed over.
            const int column = IntField(text, 1, sortView->SortColumn());
            const int direction = IntField(text, 2, sortView->SortDirection());
            if (column >= -1 && column < sortView->ColumnCount())
                sortView->SetSortColumn(column);
            if (direction == sdAscending || direction == sdDescending)
                sortView->SetSortDirection(static_cast<TSortDirection>(direction));
        }
    }
    for (int column = 0; column < view->ColumnCount(); ++column) {
        const int width = ini.ReadInteger(section, ColumnKey(view, column), view->ColumnWidth(column));
        if (width >= 0 && width <= kMaxStoredSize)
            view->SetColumnWidth(column, width);
    }
}

TKeptPaneHeight::TKeptPaneHeight(QWidget* pane) : QObject(pane), FPane(pane)
{
    pane->installEventFilter(this);
}

int TKeptPaneHeight::Height() const
{
    return FPane->isVisible() ? FPane->height() : FHeight;
}

bool TKeptPaneHeight::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FPane && (event->type() == QEvent::Show || event->type() == QEvent::Resize) && FPane->isVisible())
        FHeight = FPane->height();
    return QObject::eventFilter(watched, event);
}

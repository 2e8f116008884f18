#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class TMemIniFile;

// The choices of one table's export to a workbook, as the export dialog shows them and as they
// are kept between runs: one settings section per table, in the program's settings file or in
// a parameter file "*.exp" holding the same section.

// Alignment codes of an exported column: 0 left, 1 right, 2 centre.
constexpr int kExpAlignLeft = 0;
constexpr int kExpAlignRight = 1;
constexpr int kExpAlignCenter = 2;

// "по левому краю", "по правому краю", "по центру"; a code outside 0..2 is taken as left.
QString ExpAlignmentName(int code);
QStringList ExpAlignmentNames();
// A code outside 0..2 becomes left, the code every reader of the three names falls back to.
int ValidExpAlignment(int code);

// One row of the column list: a column of the source table and how it is exported.
struct TExpXlsColumn {
    QString Caption;          // the caption written above the column (renamable)
    bool Checked = true;      // the column is exported
    int AlignCode = kExpAlignLeft;
    QString WidthText;        // column width in character units, "12,50"
    QString SourceCaption;    // the table's caption of the column when the list was built
    int SourceIndex = 0;      // the table's column, 0-based

    bool operator==(const TExpXlsColumn&) const = default;
};

struct TExpXlsParams {
    bool RestoreParameters = true;
    QString Title;
    QString Notes;
    bool ShowCreateTime = true;
    QString SheetName;
    int PageOrientation = 0;  // 0 not set, 1 portrait, 2 landscape
    int BaseFontSize = 8;
    std::vector<TExpXlsColumn> Columns;

    bool operator==(const TExpXlsParams&) const = default;
};

// "EXPORT_EXCEL_FORMMAIN.LVCOMBS": the form's and the table's names, upper-cased.
QString ExpXlsSection(const QString& formName, const QString& tableName);
// A column's width in character units from its width in pixels (8 pixels a unit), in fixed
// notation with two decimals and the locale's decimal separator.
QString ExpXlsWidthText(int pixels);
// A column width the workbook takes: 0 to 255 characters.
bool IsExpXlsWidth(double width);
// The width a column gets in the sheet: the width text read leniently; 10 when it is no number
// or below 0 (255 and more are written as 255).
double ExpXlsWidth(const QString& widthText);

// The value of key Item_<i>: "index;source caption;caption;-1 or 0;alignment;width".
QString FormatExpXlsItem(const TExpXlsColumn& column);
// Applies a saved Item_<position> to the column list: the entry counts only when it holds six
// fields (five ";" between them, empty fields kept; or, as before, six words between runs of
// ";"), its caption is not blank unless its source caption is empty too, and a column with its
// source index and source caption (letter case aside) exists; that column then moves to the
// position and takes the saved caption, check mark, alignment and width. False (and nothing
// changes) when the entry is ignored.
bool ApplyExpXlsItem(std::vector<TExpXlsColumn>& columns, int position, const QString& item);

// Reads the section into params. With restore, RestoreParameters is read first and nothing
// else when it is off. The title is read only with overwriteTitle or when the title is blank,
// the notes only when they are blank; the other values keep their current value as default.
// Item_<i> is applied for each position of the column list. Nothing when the section is missing.
void ReadExpXlsParams(const TMemIniFile& ini, const QString& section, TExpXlsParams& params,
                      bool restore, bool overwriteTitle);
// Replaces the section with params (RestoreParameters only with writeRestore); the caller writes
// the file.
void WriteExpXlsParams(TMemIniFile& ini, const QString& section, const TExpXlsParams& params,
                       bool writeRestore);

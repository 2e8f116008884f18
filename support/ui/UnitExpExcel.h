#pragma once

#include "support/ui/TmplDialogSimple.h"
#include "support/ui/rExpXls.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;
class TActionRegistry;
class TRFloatEdit;
class TRListView;
struct TRItemData;

// The export dialog: the sheet's title lines, name, orientation and font size and the rows to
// send on the first page; the table's columns on the second, with check boxes (the checked ones
// always first, in the order they are written), moved up and down and given their own caption,
// alignment and width. Its choices are kept per table in a settings section.
class TFormExpExcel : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormExpExcel(QWidget* parent = nullptr);
    ~TFormExpExcel() override;

    // Fills the dialog for one table: the given texts and orientation, the row counts, the column
    // list and, with useSettings, the table's saved settings from the program's settings file.
    void Prepare(const TExpXlsSource& source, const QString& title, const QString& sheetName,
                 const QString& header, const QString& notes, int orientation, bool useSettings);

    // The settings section of the table the dialog was prepared for.
    QString Section() const;
    // The choices as they stand (RestoreParameters is SaveCheckBox) and their setting.
    TExpXlsParams Params() const;
    void SetParams(const TExpXlsParams& params);
    // What to export: the header line, the choices and the rows chosen.
    TExpXlsRequest Request() const;

    // Recounts edRecNum after a change of edSendMode.
    void UpdateRecNum();
    TActionRegistry* Actions() const { return FActions; }

    QTabWidget* PageControl = nullptr;
    QWidget* PageTabSheet = nullptr;
    QWidget* FieldsTabSheet = nullptr;
    QLineEdit* edTitle = nullptr;
    QLineEdit* edNotes = nullptr;
    QCheckBox* DateCreateCheckBox = nullptr;
    QLineEdit* edPageName = nullptr;
    QComboBox* edOrientation = nullptr;
    QSpinBox* edFontSize = nullptr;
    QComboBox* edSendMode = nullptr;
    QLineEdit* edRecNum = nullptr;
    TRListView* lvFields = nullptr;
    QPushButton* MoveUpBtn = nullptr;
    QPushButton* MoveDownBtn = nullptr;
    QPushButton* RenameBtn = nullptr;
    QPushButton* FileBtn = nullptr;
    QMenu* FilePopupMenu = nullptr;
    QMenu* FieldsPopupMenu = nullptr;
    QCheckBox* SaveCheckBox = nullptr;

public slots:
    // Refuses an export with no column checked, with an error box, and shows the column list.
    void accept() override;

private:
    // A column list row's record: the source column and its alignment code.
    struct TFieldData;

    void CreateControls();
    void CreateActions();
    void SetColumns(const std::vector<TExpXlsColumn>& columns);
    std::vector<TExpXlsColumn> Columns() const;
    void CheckChanged(const TRItemData* record);
    // Keeps the check marks as they stand, to tell a changed one.
    void RememberChecks();
    void OpenFileExecute();
    void SaveFileExecute();
    void RenameExecute();

    TActionRegistry* FActions = nullptr;
    std::vector<std::unique_ptr<TFieldData>> FFieldData;
    std::vector<bool> FCheckStates;
    bool FFilling = false;
    QString FFormName;
    QString FTableName;
    QString FHeader;
    int FShownCount = 0;
    int FSelectedCount = 1;
};

// The column dialog: caption, alignment and width of one exported column. OK refuses a caption
// the settings cannot keep (one holding ";"), a caption of blanks or none, and a width the
// workbook cannot take (outside 0..255 characters).
class TFormExpExcelParam : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormExpExcelParam(QWidget* parent = nullptr);

    QLineEdit* edCaption = nullptr;
    QComboBox* edAlign = nullptr;
    TRFloatEdit* edWidth = nullptr;

public slots:
    void accept() override;
};

// Reads the dialog's table section from the file (the file is never written); with restore,
// SaveCheckBox takes RestoreParameters and nothing else is read when it is off; with
// overwriteTitle the saved title replaces the one shown. A file that cannot be read is shown in
// an error box.
void LoadExportParams(TFormExpExcel* form, const QString& fileName, bool restore, bool overwriteTitle);
// Writes the dialog's choices into the file's table section (RestoreParameters only with
// writeRestore); a failure is shown in an error box. False when it failed.
bool SaveExportParams(TFormExpExcel* form, const QString& fileName, bool writeRestore);

// The name of a parameter file to read (save false) or write, with the filter "Файлы параметров
// экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*" and the default extension "exp". fileName comes
// in as the name to start from, in the program's folder: "<folder>/" to read, "<folder>/<sheet
// name>.exp" to write. True with the name chosen.
using TExpFilePrompt = std::function<bool(QWidget* owner, const QString& filter, const QString& defaultExt,
                                          bool save, QString& fileName)>;
// Installs the prompt (an empty one: Qt's file dialogs). Returns the one installed before.
TExpFilePrompt SetExpFilePrompt(TExpFilePrompt prompt);

// The dialog for a table and, on OK, its export; see the export operations in rExpXls.h.
bool ExportWithDialog(const TExpXlsSource& source, const QString& title, const QString& sheetName,
                      const QString& header, const QString& notes, int orientation, bool useSettings);

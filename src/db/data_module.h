// TfData, the data module: the one owner of the database connection and of
// every dataset of the program. Windows bind to its datasets and call its
// operations; it keeps the current template (the current row of Shablon) and
// the current document (the current row of Fio), with the value rows of the
// document following it through a master link.
#pragma once

#include "db/ado_query.h"
#include "db/ado_table_avto_inc.h"
#include "db/dynamic_ado_query.h"
#include "db/sqlite_engine.h"
#include "docs/replace_list.h"

#include <QObject>
#include <memory>

class TfData : public QObject {
    Q_OBJECT
public:
    explicit TfData(QObject *parent = nullptr);
    ~TfData() override;

    // ---- connection and datasets
    std::unique_ptr<DbConnection> Con;
    TADOQuery *Shablon = nullptr;
    TDynamicADOQuery *Fio = nullptr;
    TADOTableAvtoInc *FioValue = nullptr;
    TDynamicADOQuery *ShablonFld = nullptr;
    TDynamicADOQuery *SprField = nullptr;
    TADOTableAvtoInc *tSprField = nullptr;
    TDynamicADOQuery *Command = nullptr;

    // ---- module state
    QString OrderField;
    int DocumentOrder = 0;
    QString OldValue;
    bool SaveDocToDb = false;
    QString TemplateDir;
    QString ProgramDir;
    QString TempDocPath;

    // ---- start-up and shutdown
    // The start-up checks run when the module is created by the program entry.
    void DataModuleCreate();
    // Saves the current template and document for the next start.
    void DataModuleDestroy();

    // ---- connection (opening the working or the demonstration file)
    void OpenDatabase(bool demo);
    static QString DatabaseFileName(bool demo);

    // ---- navigation
    void LoadDocuments(int documentId);
    // With a field name: re-query and find the row whose column starts with the
    // remembered value, ignoring case. Without: re-query and return to the row.
    void ReloadTemplates(const QString &fieldName = QString());
    void LoadTemplateFields(int sprFieldId);
    void LoadFreeFields(int sprFieldId);
    void SetDocumentOrder(int order);
    bool RestorePosition();
    // The current template's Id, 0 when there is none (empty list, unsaved row).
    int CurrentTemplateId() const;

    // ---- document list operations
    int NextFreeNumber();
    void SortDocuments(int order);
    void ChangeDocumentNumber(int newNumber);
    void DeleteDocument();
    // Adding and editing from the document edit box.
    void AppendDocument();
    void EditDocument();
    // Posts the document edit; on failure shows the input error box and discards it.
    // True when saved.
    bool SaveDocument();
    void CancelDocument();
    bool FindDocumentByNumber(int number);
    bool FindDocumentByName(const QString &prefix);

    // ---- value rows
    void AddDocumentFields();
    void DeleteDocumentFields();
    void FioValueBeforeEdit(TDataSet &dataSet);
    void FioValueBeforePost(TDataSet &dataSet);
    // The text of a value: "* * *" for a non-blank secret value.
    static QString FioValueValue_GetText(const TDataSet &dataSet, int row, const QVariant &value);
    // Detaches or attaches the masking text handler (the in-place editor shows real values).
    void AttachValueGetText(bool attach);

    // ---- document generation support
    void CheckTemplateFolder(const QString &folder);
    QString GetTemplateFile();
    // One pair per value row: "&" + field name -> value (" " for a blank or, on request, a secret value).
    TaReplace BuildReplaceList();
    bool DeleteTempDocument();
    bool HasStoredDocument();
    bool SaveStoredDocument();
    bool StoreDocument();

Q_SIGNALS:
    // The database was (re)opened: every list has been read again.
    void databaseOpened();

private:
    void createDatasets();
};

// The process-wide data module, created by the program entry.
TfData *DataModule();
void SetDataModule(TfData *module);

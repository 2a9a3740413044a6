#include "app/program_entry.h"

#include "app/idle_exit.h"
#include "app/ormena_application.h"
#include "app/splash_window.h"
#include "app/template_places_settings.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/message_boxes.h"
#include "db/data_module.h"
#include "docs/document_generation.h"
#include "ui/field_dictionary_window.h"
#include "ui/main_window.h"
#include "ui/template_fields_window.h"
#include "ui/templates_window.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

// Creates one object of the entry's protected block; an error that escapes
// its creation is shown as the event loop would show it, and start-up goes on.
template <typename Create>
void Guarded(Create &&create)
{
    try {
        create();
    } catch (const std::exception &error) {
        ShowUnhandledError(error);
    }
}

// Connects the main window's actions to the windows and the workflow they open.
void ConnectMainWindow(TfMain *fMain, TfData *fData, TfSprField *fSprField, TfShablon *fShablon,
                       TfShablonFld *fShablonFld)
{
    fShablon->SetShablonFldAction(fMain->actShablonFld);
    fMain->ShablonHandler = [fData, fShablon] {
        fData->ReloadTemplates();
        fShablon->exec();
        fData->LoadDocuments(0);
    };
    fMain->SprFieldHandler = [fData, fSprField] {
        fSprField->exec();
        // Changed names and descriptions show in the value rows at once.
        TDataSet *values = fData->FioValue;
        if (values->Active()) {
            const int recNo = values->RecNo();
            values->Requery();
            values->SetRecNo(recNo);
        }
    };
    fMain->ShablonFldHandler = [fShablonFld] { fShablonFld->Execute(); };
    fMain->CreateDocHandler = [fMain, fData] { CreateDocumentWorkflow(*fData, *fMain->MSG, fMain->MsgAnswer); };
}

} // namespace

int RunOrmena(int argc, char **argv)
{
    OrmenaApplication app(argc, argv);
    // The idle watcher exists before the entry runs and goes after shutdown.
    TIdleExit idleWatcher;

    SetApplicationTitle(QStringLiteral("Ormena"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ormena.png")));
    // Qt's own dialogs (file choice, print preview) speak the program's language.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    Guarded([] { LoadTemplatePlacesFromSettings(); });

    std::unique_ptr<TfData> fData;
    std::unique_ptr<TfMain> fMain;
    std::unique_ptr<TfSprField> fSprField;
    std::unique_ptr<TfShablon> fShablon;
    std::unique_ptr<TfShablonFld> fShablonFld;
    Guarded([] { ShowSplash(); });
    Guarded([&] {
        fData = std::make_unique<TfData>();
        SetDataModule(fData.get());
        fData->DataModuleCreate();
    });
    Guarded([&] {
        fMain = std::make_unique<TfMain>();
        fMain->start();
    });
    Guarded([&] {
        if (!fMain || !fData)
            return;
        fSprField = std::make_unique<TfSprField>(fData.get(), fMain.get());
        fShablon = std::make_unique<TfShablon>(fData.get(), fMain.get());
        fShablonFld = std::make_unique<TfShablonFld>(fData.get(), fMain.get());
        ConnectMainWindow(fMain.get(), fData.get(), fSprField.get(), fShablon.get(), fShablonFld.get());
    });
    HideSplash();
    const int result = RunMessageLoop();

    // Shutdown in the reverse order of creation: the reference windows, the main
    // window (its settings window saves the layout first), then the data module
    // saves the positions.
    fShablonFld.reset();
    fShablon.reset();
    fSprField.reset();
    fMain.reset();
    fData.reset();
    return result;
}

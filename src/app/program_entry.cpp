#include "app/program_entry.h"

#include "app/idle_exit.h"
#include "app/ormena_application.h"
#include "app/splash_window.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/message_boxes.h"
#include "db/data_module.h"
#include "ui/main_window.h"

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

} // namespace

int RunOrmena(int argc, char **argv)
{
    OrmenaApplication app(argc, argv);
    // The idle watcher exists before the entry runs and goes after shutdown.
    TIdleExit idleWatcher;

    SetApplicationTitle(QStringLiteral("Ormena"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ormena.png")));

    std::unique_ptr<TfData> fData;
    std::unique_ptr<TfMain> fMain;
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
    HideSplash();
    const int result = RunMessageLoop();

    // Shutdown in the reverse order of creation: the main window (its settings
    // window saves the layout first), then the data module saves the positions.
    fMain.reset();
    fData.reset();
    return result;
}

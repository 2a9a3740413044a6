#include "app/program_entry.h"

#include "app/ormena_application.h"
#include "app/splash_window.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/message_boxes.h"
#include "common/version.h"
#include "ui/main_window.h"

#include <memory>

int RunOrmena(int argc, char **argv)
{
    OrmenaApplication app(argc, argv);
    SetApplicationTitle(QStringLiteral("Ormena"));
    QApplication::setApplicationDisplayName(ApplicationTitle());

    std::unique_ptr<TfMain> fMain;
    try {
        ShowSplash();
        SetMainTitle(ApplicationTitle() + QStringLiteral(" {ver. ") + GetExeVersion() + QStringLiteral("}"));
        fMain = std::make_unique<TfMain>();
        fMain->start();
    } catch (const std::exception &error) {
        HideSplash();
        ShowUnhandledError(error);
    }
    HideSplash();
    const int result = RunMessageLoop();
    fMain.reset();
    return result;
}

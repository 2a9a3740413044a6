#include "app/ormena_application.h"

#include "common/message_boxes.h"

OrmenaApplication::OrmenaApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool OrmenaApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowUnhandledError(error);
    } catch (...) {
        ShowUnhandledError(QStringLiteral("Неизвестная ошибка"));
    }
    return false;
}

// The application object. Every exception that leaves an event handler is
// caught here and shown with ShowUnhandledError; the loop then goes on.
#pragma once

#include <QApplication>

class OrmenaApplication : public QApplication {
    Q_OBJECT
public:
    OrmenaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// ormena-make-demo: builds the demonstration database OrmenaDemo.mdb from the
// JSON data set kept in the repository, with the program's own schema check
// and engine. Usage: ormena-make-demo <data set .json> <OrmenaDemo.mdb to write>
//
// It runs without a display: the schema check's wait window goes to the
// offscreen platform, and any message box is printed instead of shown and
// makes the build fail, so nothing waits for an answer.
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "db/demo_database.h"

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

class PrintedMessageBoxes : public MessageBoxPresenter {
public:
    QMessageBox::StandardButton present(const MessageBoxRequest &request) override
    {
        ++m_count;
        QTextStream err(stderr);
        err << request.caption << ": " << QString(request.text).replace(QLatin1Char('\r'), QLatin1Char('\n'))
            << Qt::endl;
        return request.escapeButton != QMessageBox::NoButton ? request.escapeButton : request.defaultButton;
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        err << "Использование: ormena-make-demo <набор данных .json> <файл OrmenaDemo.mdb>" << Qt::endl;
        return 2;
    }

    PrintedMessageBoxes boxes;
    MessageBoxPresenter *previous = InstallMessageBoxPresenter(&boxes);
    int result = 0;
    try {
        const DemoData data = ReadDemoData(arguments.at(1));
        BuildDemoDatabase(data, arguments.at(2));
        if (boxes.count() > 0) {
            err << "Демонстрационная база построена с ошибками (см. выше)." << Qt::endl;
            QFile::remove(arguments.at(2));
            result = 1;
        } else {
            QTextStream(stdout) << "Демонстрационная база " << arguments.at(2) << ": шаблонов " << data.templates.size()
                                << ", полей " << data.fields.size() << " (и 3 зарезервированных), документов "
                                << data.documents.size() << Qt::endl;
        }
    } catch (const OrmenaError &error) {
        err << QString(error.message()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << Qt::endl;
        result = 1;
    } catch (const std::exception &error) {
        err << error.what() << Qt::endl;
        result = 1;
    }
    InstallMessageBoxPresenter(previous);
    return result;
}

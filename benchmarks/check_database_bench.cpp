// The start-up schema check, timed on a file it has to create and on an
// up-to-date file holding 1,000 templates, 100,000 documents and 1,000,000
// value rows. On the up-to-date file no table may be rebuilt (the benchmark
// reports an error if one was) and no index should be built again.
#include "common/message_box_presenter.h"
#include "db/check_database.h"
#include "db/sqlite_engine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <iostream>

namespace {

constexpr int kTemplates = 1000;
constexpr int kDocumentsPerTemplate = 100;
constexpr int kValuesPerDocument = 10;

QTemporaryDir &Workspace()
{
    static QTemporaryDir dir;
    return dir;
}

QString Folder(const QString &name)
{
    const QString folder = Workspace().filePath(name);
    QDir().mkpath(folder);
    return folder;
}

void Fill(SqliteConnection &connection)
{
    DbTransaction transaction(connection);
    auto field = connection.prepare(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript) VALUES (?, ?, ?)"));
    for (int f = 4; f <= kValuesPerDocument; ++f) {
        field->bindValue(0, f);
        field->bindValue(1, QStringLiteral("ПОЛЕ%1").arg(f));
        field->bindValue(2, QStringLiteral("Поле номер %1").arg(f));
        field->exec();
    }
    auto shablon = connection.prepare(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES (?, ?)"));
    auto shablonFld = connection.prepare(QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) VALUES (?, ?, ?)"));
    auto fio = connection.prepare(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (?, ?, ?)"));
    auto value = connection.prepare(QStringLiteral(
        "INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Value_, Npp, DateIzm) VALUES (?, ?, ?, ?, ?, ?)"));
    const QDateTime now = QDateTime::currentDateTime();
    for (int t = 1; t <= kTemplates; ++t) {
        shablon->bindValue(0, QStringLiteral("Шаблон договора %1").arg(t));
        shablon->bindValue(1, QStringLiteral("dogovor%1.rtf").arg(t));
        shablon->exec();
        const qint64 shablonId = connection.lastInsertId();
        for (int f = 1; f <= kValuesPerDocument; ++f) {
            shablonFld->bindValue(0, shablonId);
            shablonFld->bindValue(1, f);
            shablonFld->bindValue(2, f);
            shablonFld->exec();
        }
        for (int d = 1; d <= kDocumentsPerTemplate; ++d) {
            fio->bindValue(0, shablonId);
            fio->bindValue(1, d);
            fio->bindValue(2, QStringLiteral("Иванов Иван Иванович, документ %1").arg(d));
            fio->exec();
            const qint64 fioId = connection.lastInsertId();
            for (int f = 1; f <= kValuesPerDocument; ++f) {
                value->bindValue(0, shablonId);
                value->bindValue(1, fioId);
                value->bindValue(2, f);
                value->bindValue(3, QStringLiteral("Значение поля %1 документа %2").arg(f).arg(fioId));
                value->bindValue(4, f);
                value->bindValue(5, now);
                value->exec();
            }
        }
    }
    transaction.commit();
}

// The up-to-date file: checked once (which creates it), filled, checked again.
const QString &BigFolder()
{
    static const QString folder = [] {
        const QString big = Folder(QStringLiteral("big"));
        QElapsedTimer timer;
        timer.start();
        {
            SqliteConnection connection;
            CheckDatabaseAt(big, connection);
        }
        {
            SqliteConnection connection;
            connection.setConnectionString(QStringLiteral("Data Source=") + big + QStringLiteral("/Ormena.mdb;Mode=ReadWrite"));
            Fill(connection);
        }
        {
            SqliteConnection connection;
            CheckDatabaseAt(big, connection);
        }
        std::cerr << "Filled the up-to-date file in " << timer.elapsed() << " ms ("
                  << QFile(big + QStringLiteral("/Ormena.mdb")).size() / (1024 * 1024) << " MB)\n";
        return big;
    }();
    return folder;
}

void BM_CheckDatabase_NewFile(benchmark::State &state)
{
    const QString folder = Folder(QStringLiteral("new"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(folder + QStringLiteral("/Ormena.mdb"));
        state.ResumeTiming();
        SqliteConnection connection;
        CheckDatabaseAt(folder, connection);
    }
}
BENCHMARK(BM_CheckDatabase_NewFile)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_CheckDatabase_UpToDateBigFile(benchmark::State &state)
{
    const QString folder = BigFolder();
    int rebuilds = 0;
    int indexBuilds = 0;
    for (auto _ : state) {
        SqliteConnection connection;
        CheckDatabaseAt(folder, connection);
        rebuilds += connection.rebuildCount();
        indexBuilds += connection.indexBuildCount();
    }
    state.counters["tables_rebuilt"] = rebuilds;
    state.counters["indexes_built"] = indexBuilds;
    if (rebuilds > 0)
        state.SkipWithError("a table was rebuilt on an up-to-date file");
}
BENCHMARK(BM_CheckDatabase_UpToDateBigFile)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ScriptedMessageBoxes boxes; // a box would mean a failure; none may wait for an answer
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!boxes.shown().isEmpty()) {
        std::cerr << "Message boxes were shown during the benchmark:\n";
        for (const MessageBoxRequest &request : boxes.shown())
            std::cerr << request.text.toStdString() << "\n";
        return 1;
    }
    return 0;
}

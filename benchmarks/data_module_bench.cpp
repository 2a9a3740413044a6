// The document list of one template holding 100,000 documents: loading it,
// sorting it both ways and finding a document by the start of its name.
#include "app/settings_store.h"
#include "common/message_box_presenter.h"
#include "db/check_database.h"
#include "db/data_module.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kDocuments = 100000;

QTemporaryDir &Workspace()
{
    static QTemporaryDir dir;
    return dir;
}

TfData &Data()
{
    static std::unique_ptr<TfData> data;
    if (data)
        return *data;
    QDir::setCurrent(Workspace().path());
    QDir().mkpath(Workspace().filePath(QStringLiteral("Shablon")));
    SetSettingsFolder(Workspace().filePath(QStringLiteral("config")));
    CheckDatabase();
    {
        SqliteConnection fill;
        fill.setConnectionString(QStringLiteral("Data Source=") + Workspace().filePath(QStringLiteral("Ormena.mdb")));
        DbTransaction transaction(fill);
        fill.prepare(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES ('Договор', 'd.rtf')"))->exec();
        auto fio = fill.prepare(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, ?, ?)"));
        const QStringList surnames = {QStringLiteral("Иванов"), QStringLiteral("петров"), QStringLiteral("Сидоров"),
                                      QStringLiteral("Кузнецов"), QStringLiteral("смирнов")};
        for (int i = 0; i < kDocuments; ++i) {
            fio->bindValue(0, (i * 7919) % kDocuments);
            fio->bindValue(1, QStringLiteral("%1 %2").arg(surnames[i % surnames.size()]).arg(i));
            fio->exec();
        }
        transaction.commit();
    }
    data = std::make_unique<TfData>();
    data->ProgramDir = Workspace().path();
    data->OpenDatabase(false);
    return *data;
}

void BM_LoadDocuments(benchmark::State &state)
{
    TfData &data = Data();
    for (auto _ : state)
        data.LoadDocuments(0);
    state.counters["rows"] = data.Fio->RecordCount();
}
BENCHMARK(BM_LoadDocuments)->Unit(benchmark::kMillisecond);

void BM_SortDocumentsByNumber(benchmark::State &state)
{
    TfData &data = Data();
    for (auto _ : state) {
        state.PauseTiming();
        data.SortDocuments(0);
        state.ResumeTiming();
        data.SortDocuments(1);
    }
}
BENCHMARK(BM_SortDocumentsByNumber)->Unit(benchmark::kMillisecond);

void BM_SortDocumentsByName(benchmark::State &state)
{
    TfData &data = Data();
    for (auto _ : state) {
        state.PauseTiming();
        data.SortDocuments(1);
        state.ResumeTiming();
        data.SortDocuments(0);
    }
}
BENCHMARK(BM_SortDocumentsByName)->Unit(benchmark::kMillisecond);

void BM_LocateByNamePrefix(benchmark::State &state)
{
    TfData &data = Data();
    data.SortDocuments(1);
    for (auto _ : state) {
        data.Fio->First();
        benchmark::DoNotOptimize(data.FindDocumentByName(QStringLiteral("СМИРНОВ 9999")));
    }
}
BENCHMARK(BM_LocateByNamePrefix)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedMessageBoxes boxes;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

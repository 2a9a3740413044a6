// Time of producing one document: FillTemplateCopy of a two-page .doc template
// with 30 pairs, with the office already running (warm) and with the office
// started by the run (cold, and cold with a profile still to be made). The operator's wait is replaced by closing the
// document at once. The old program paused 5000 ms on every attach or start;
// the last line measures that pause for comparison.
#include "common/app_title.h"
#include "common/message_box_presenter.h"
#include "docs/libreoffice_client.h"
#include "docs/word_automation.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

struct Environment {
    QTemporaryDir dir;
    QString templatePath;
    TaReplace list;
    LibreOfficeSettings settings;
};

QString TwoPageTemplateXml(const TaReplace &list)
{
    QString body;
    // About 60 lines of text a page; every marker appears twice, once on each page.
    for (int page = 0; page < 2; ++page)
        for (int line = 0; line < 60; ++line) {
            const TReplace &pair = list.at((page * 60 + line) % list.size());
            body += QStringLiteral("<text:p>Строка %1 страницы %2: поле %3 и обычный текст договора.</text:p>\n")
                        .arg(line + 1)
                        .arg(page + 1)
                        .arg(pair.FindText.toHtmlEscaped());
        }
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
               " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
               " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
               " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
               " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">\n"
               "<office:master-styles><style:master-page style:name=\"Standard\">"
               "<style:header><text:p>%1</text:p></style:header></style:master-page></office:master-styles>\n"
               "<office:body><office:text>\n%2</office:text></office:body>\n</office:document>\n")
        .arg(list.first().FindText.toHtmlEscaped(), body);
}

Environment &Env()
{
    static Environment *env = [] {
        auto *e = new Environment;
        qputenv("TMPDIR", e->dir.path().toLocal8Bit());
        e->settings.pipeName = QStringLiteral("ormena-bench-%1").arg(getpid());
        e->settings.profileDir = e->dir.path() + QStringLiteral("/profile");
        e->settings.display = LibreOfficeSettings::Display::Headless;
        e->settings.stopWithProgram = true;
        SetLibreOfficeSettings(e->settings);
        for (int i = 1; i <= 30; ++i)
            e->list.append({QStringLiteral("&Поле%1_").arg(i), QStringLiteral("Значение номер %1").arg(i)});

        const QString source = e->dir.path() + QStringLiteral("/Bench.fodt");
        QFile file(source);
        file.open(QIODevice::WriteOnly);
        file.write(TwoPageTemplateXml(e->list).toUtf8());
        file.close();
        e->templatePath = e->dir.path() + QStringLiteral("/Bench.doc");
        WordProcessor &word = GetWordApplication();
        const WordProcessor::DocumentId document = word.OpenDocument(source);
        word.SaveAs(document, e->templatePath);
        word.CloseDocument(document);
        SetDocumentWaitHook([](WordProcessor &w, const QString &path) {
            for (WordProcessor::DocumentId id : w.DocumentsAt(path))
                w.CloseDocument(id);
        });
        return e;
    }();
    return *env;
}

void Produce(benchmark::State &state, const Environment &env)
{
    ScriptedMessageBoxes boxes;
    QString result;
    FillTemplateCopy(env.templatePath, env.list, result);
    if (result.isEmpty() || !boxes.shown().isEmpty())
        state.SkipWithError("production failed");
}

void BM_FillTemplateCopy_Warm(benchmark::State &state)
{
    Environment &env = Env();
    GetWordApplication();
    for (auto _ : state)
        Produce(state, env);
}

void BM_FillTemplateCopy_Cold(benchmark::State &state)
{
    Environment &env = Env();
    for (auto _ : state) {
        state.PauseTiming();
        ShutdownWordApplication(); // the office ends; its profile stays
        state.ResumeTiming();
        Produce(state, env);
    }
}

// The very first start on a machine: the office also builds its profile.
void BM_FillTemplateCopy_ColdNewProfile(benchmark::State &state)
{
    Environment &env = Env();
    for (auto _ : state) {
        state.PauseTiming();
        ShutdownWordApplication();
        QDir(env.settings.profileDir).removeRecursively();
        state.ResumeTiming();
        Produce(state, env);
    }
}

void BM_OldFixedStartPause(benchmark::State &state)
{
    for (auto _ : state)
        QThread::msleep(5000);
}

} // namespace

BENCHMARK(BM_FillTemplateCopy_Warm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_FillTemplateCopy_Cold)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FillTemplateCopy_ColdNewProfile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_OldFixedStartPause)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetApplicationTitle(QStringLiteral("Ormena"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ShutdownWordApplication();
    return 0;
}

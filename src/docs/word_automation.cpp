#include "docs/word_automation.h"

#include "app/idle_exit.h"
#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_boxes.h"
#include "common/wait_form.h"
#include "docs/libreoffice_client.h"
#include "docs/template_locator.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QtDebug>

namespace {

std::unique_ptr<WordProcessor> g_processor;
LibreOfficeSettings g_settings;
DocumentWaitHook g_waitHook;
bool g_waitActive = false;
bool g_shutdownRegistered = false;

const QString kCannotStart = QStringLiteral("Не могу запустить LibreOffice Writer.\rПопробуйте повторить попытку...");

void ProcessPendingEvents()
{
    // Repaint and timers only: a click queued now must not start a second
    // operation inside this one.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

WordProcessor &Processor()
{
    if (!g_processor) {
        g_processor = std::make_unique<LibreOfficeClient>(g_settings);
        if (!g_shutdownRegistered && QCoreApplication::instance()) {
            qAddPostRoutine(ShutdownWordApplication);
            g_shutdownRegistered = true;
        }
    }
    return *g_processor;
}

class WaitActiveScope {
public:
    WaitActiveScope() : m_previous(g_waitActive) { g_waitActive = true; }
    ~WaitActiveScope() { g_waitActive = m_previous; }

private:
    bool m_previous;
};

} // namespace

WordProcessor &GetWordApplication()
{
    WordProcessor &word = Processor();
    try {
        word.Connect();
    } catch (const OrmenaError &e) {
        qWarning().noquote() << "LibreOffice:" << e.message();
        throw OrmenaError(kCannotStart);
    }
    ProcessPendingEvents();
    return word;
}

QString WorkingCopyPath(const QString &templatePath)
{
    return GetTempDir() + QStringLiteral("/tmp_") + QFileInfo(templatePath.trimmed()).fileName();
}

bool CreateWordDocument(const QString &path)
{
    bool result = false;
    WordProcessor &word = GetWordApplication();
    ScopedWaitForm wait(QStringLiteral("Создание документа LibreOffice Writer...\r") + path, QStringLiteral("Ожидайте!"),
                        wsAnimation);
    ProcessPendingEvents();
    WordProcessor::DocumentId document = -1;
    try {
        document = word.CreateDocument();
        word.SaveAs(document, path);
        word.Quit();
        result = true;
    } catch (const OrmenaError &e) {
        ShowMessageBox(QStringLiteral("Ошибка создания документа LibreOffice Writer\r") + path + QStringLiteral("\r")
                           + QStringLiteral("Текст ошибки:") + QStringLiteral("\r") + e.message(),
                       QStringLiteral("Ошибка!"), mkPlain);
        // The office stays up, but the hidden empty document it made is of no use to anyone.
        if (document >= 0 && word.IsConnected()) {
            try {
                word.CloseDocument(document);
            } catch (const OrmenaError &) {
                // closed already
            }
        }
    }
    return result;
}

void OpenWordDocument(const QString &path)
{
    WordProcessor &word = GetWordApplication();
    ScopedWaitForm wait(QStringLiteral("Открытие документа\r") + path, QStringLiteral("Ожидайте!"), wsAnimation);
    ProcessPendingEvents();
    WordProcessor::DocumentId document = -1;
    bool shown = false;
    try {
        document = word.OpenDocument(path);
        ProcessPendingEvents();
        shown = true;
        WaitForDocumentWindow(path);
    } catch (const OrmenaError &e) {
        ShowMessageBox(QStringLiteral("Ошибка открытия документа\r") + path + QStringLiteral("\r")
                           + QStringLiteral("Текст ошибки:") + QStringLiteral("\r") + e.message(),
                       QStringLiteral("Ошибка!"), mkPlain);
        // A document the operator never saw is closed again; a shown one is left to the operator.
        if (document >= 0 && !shown && word.IsConnected()) {
            try {
                word.CloseDocument(document);
            } catch (const OrmenaError &) {
                // closed already
            }
        }
    }
    ProcessPendingEvents();
}

void FillTemplateCopy(const QString &templatePath, const TaReplace &list, QString &result)
{
    result.clear();
    QString path = templatePath;
    FindTemplateFile(path);
    WordProcessor &word = GetWordApplication();
    const QString copy = WorkingCopyPath(path);
    {
        ScopedWaitForm wait(QStringLiteral("Формирование документа..."), QStringLiteral("Ожидайте"), wsProgress);
        try {
            if (!CopyFileRetry(path, copy))
                throw OrmenaError(QStringLiteral("Ошибка копирования шаблона документа!"));
            RestrictToOwner(copy);
            wait->SetRange(1, static_cast<int>(list.size()));
            const WordProcessor::DocumentId document = word.OpenDocument(copy);
            for (int k = 1; k <= list.size(); ++k) {
                const TReplace &pair = list.at(k - 1);
                wait->SetMessage(QStringLiteral("Ищем: ") + pair.FindText + QStringLiteral("\r")
                                 + QStringLiteral("Заменяем на: ") + pair.ReplaceText);
                ProcessPendingEvents();
                word.ReplaceAll(document, pair.FindText, pair.ReplaceText);
                wait->SetPosition(k);
            }
            word.SaveAs(document, copy);
            // The office writes a new file; produced documents may hold secret values.
            RestrictToOwner(copy);
            result = copy;
            WaitForDocumentWindow(copy);
        } catch (const OrmenaError &e) {
            ShowMessageBox(QStringLiteral("Ошибка создания отчета!\rТест ошибки:\r") + e.message(), QString(), mkPlain);
            try {
                word.Quit();
            } catch (const OrmenaError &) {
                // the office is gone already
            }
        }
    }
    ProcessPendingEvents();
}

void WaitForDocumentWindow(const QString &path)
{
    WordProcessor *word = g_processor.get();
    if (!word || !word->IsConnected())
        return;
    const QList<WordProcessor::DocumentId> documents = word->DocumentsAt(path);
    if (documents.isEmpty())
        return;
    for (WordProcessor::DocumentId document : documents)
        word->ShowDocument(document);
    WaitActiveScope active;
    // The operator works in the word processor meanwhile: that is not idle time.
    ScopedIdlePause operatorWorks;
    std::function<void()> started;
    if (g_waitHook)
        started = [word, path]() { g_waitHook(*word, path); };
    word->WaitUntilClosed(documents, started);
}

bool DocumentWaitActive()
{
    return g_waitActive;
}

void SetDocumentWaitHook(DocumentWaitHook hook)
{
    g_waitHook = std::move(hook);
}

void SetLibreOfficeSettings(const LibreOfficeSettings &settings)
{
    ShutdownWordApplication();
    g_settings = settings;
}

void InstallWordProcessor(std::unique_ptr<WordProcessor> processor)
{
    ShutdownWordApplication();
    g_processor = std::move(processor);
}

WordProcessor *CurrentWordProcessor()
{
    return g_processor.get();
}

void ShutdownWordApplication()
{
    g_processor.reset();
}

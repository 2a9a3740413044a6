#include "docs/libreoffice_client.h"

#include "common/errors.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QProcessEnvironment>
#include <QThread>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XTopWindow2.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/BrokenPackageRequest.hpp>
#include <com/sun/star/document/LockedDocumentRequest.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/task/ErrorCodeRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionDisapprove.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/ucb/InteractiveIOException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XSearchDescriptor.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/ref.hxx>
#include <rtl/ustrbuf.hxx>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;
using rtl::OUStringBuffer;

namespace {

// soffice.bin asks its launcher to start it again after it has set up a new
// profile (81) or after a crash it wants to recover from (79).
constexpr int kExitNormalRestart = 81;
constexpr int kExitCrashRestart = 79;
constexpr int kMaxRestarts = 3;
constexpr int kPingTimeoutMs = 10000;
constexpr int kTerminateWaitMs = 15000;
constexpr int kConnectRetryMs = 100;
// The filter flag that says a filter can write its format.
constexpr sal_Int32 kFilterFlagExport = 0x2;

QString Q(const OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

OUString U(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

QString AbsolutePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

OUString FileUrl(const QString &path)
{
    return U(QUrl::fromLocalFile(AbsolutePath(path)).toString(QUrl::FullyEncoded));
}

QString LocalPathOf(const OUString &url)
{
    const QUrl parsed(Q(url));
    return parsed.isLocalFile() ? AbsolutePath(parsed.toLocalFile()) : QString();
}

css::beans::PropertyValue Property(const char *name, const Any &value)
{
    css::beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

Sequence<css::beans::PropertyValue> Properties(std::initializer_list<css::beans::PropertyValue> values)
{
    return Sequence<css::beans::PropertyValue>(values.begin(), static_cast<sal_Int32>(values.size()));
}

template <typename T>
T PropertyOf(const Sequence<css::beans::PropertyValue> &properties, const char *name, T fallback = T())
{
    for (const css::beans::PropertyValue &property : properties)
        if (property.Name.equalsAscii(name)) {
            T value = fallback;
            property.Value >>= value;
            return value;
        }
    return fallback;
}

// The office's messages end with the source location that raised them; the
// operator has no use for it.
QString OfficeMessage(const OUString &message)
{
    static const QRegularExpression location(QStringLiteral("(^|\\s+)at\\s+\\S+:\\d+\\s*$"));
    return Q(message).remove(location).trimmed();
}

// The format each extension stands for when a document is saved under a new name.
QString ExportFilterForExtension(const QString &path)
{
    static const QHash<QString, QString> filters = {
        {QStringLiteral("doc"), QStringLiteral("MS Word 97")},
        {QStringLiteral("rtf"), QStringLiteral("Rich Text Format")},
        {QStringLiteral("docx"), QStringLiteral("MS Word 2007 XML")},
        {QStringLiteral("odt"), QStringLiteral("writer8")},
        {QStringLiteral("fodt"), QStringLiteral("OpenDocument Text Flat XML")},
    };
    return filters.value(QFileInfo(path).suffix().toLower());
}

// The UNO context of this process; it knows the office's types and the
// services that open a pipe and speak the remote protocol.
Reference<css::uno::XComponentContext> LocalContext()
{
    static std::mutex guard;
    static Reference<css::uno::XComponentContext> *context = nullptr; // outlives static destruction on purpose
    std::lock_guard lock(guard);
    if (!context) {
        const OUString program = FileUrl(QStringLiteral(ORMENA_LIBREOFFICE_PROGRAM_DIR));
        rtl::Bootstrap::set(OUString("URE_MORE_TYPES"), program + "/types/offapi.rdb");
        Reference<css::uno::XComponentContext> created =
            cppu::defaultBootstrap_InitialComponentContext(program + "/unorc");
        context = new Reference<css::uno::XComponentContext>(created);
    }
    return *context;
}

// Set once the connection to the office is gone; read by the waits.
struct LinkState {
    std::atomic<bool> lost{false};
};

class BridgeWatch : public cppu::WeakImplHelper1<css::lang::XEventListener> {
public:
    explicit BridgeWatch(std::shared_ptr<LinkState> state) : m_state(std::move(state)) {}
    void SAL_CALL disposing(const css::lang::EventObject &) override { m_state->lost = true; }

private:
    std::shared_ptr<LinkState> m_state;
};

// Learns that a document has been closed, whoever closed it.
class CloseWatch : public cppu::WeakImplHelper1<css::util::XCloseListener> {
public:
    explicit CloseWatch(std::shared_ptr<std::atomic<bool>> closed) : m_closed(std::move(closed)) {}
    void SAL_CALL queryClosing(const css::lang::EventObject &, sal_Bool) override {}
    void SAL_CALL notifyClosing(const css::lang::EventObject &) override { *m_closed = true; }
    void SAL_CALL disposing(const css::lang::EventObject &) override { *m_closed = true; }

private:
    std::shared_ptr<std::atomic<bool>> m_closed;
};

// Answers every question the office would put to the operator while loading
// (repair a damaged file, filter options, a locked file) with "cancel", and
// remembers what was asked so the failure can say why.
class NeverAsk : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest> &request) override
    {
        const Any asked = request->getRequest();
        QString reason;
        css::task::ErrorCodeRequest errorCode;
        css::uno::Exception exception;
        if (asked >>= errorCode)
            reason = QStringLiteral("Ошибка чтения файла (код 0x%1).").arg(quint32(errorCode.ErrCode), 0, 16);
        else if (asked.isExtractableTo(cppu::UnoType<css::document::BrokenPackageRequest>::get()))
            reason = QStringLiteral("Файл повреждён.");
        else if (asked.isExtractableTo(cppu::UnoType<css::document::LockedDocumentRequest>::get()))
            reason = QStringLiteral("Файл занят другим пользователем.");
        else if (asked.isExtractableTo(cppu::UnoType<css::ucb::InteractiveIOException>::get()))
            reason = QStringLiteral("Ошибка ввода-вывода.");
        else if (asked >>= exception)
            reason = OfficeMessage(exception.Message);
        if (reason.isEmpty())
            reason = Q(asked.getValueTypeName());
        {
            std::lock_guard lock(m_guard);
            m_reason = reason;
        }
        const Sequence<Reference<css::task::XInteractionContinuation>> choices = request->getContinuations();
        for (const auto &choice : choices)
            if (Reference<css::task::XInteractionAbort> abort{choice, UNO_QUERY}; abort.is()) {
                abort->select();
                return;
            }
        for (const auto &choice : choices)
            if (Reference<css::task::XInteractionDisapprove> no{choice, UNO_QUERY}; no.is()) {
                no->select();
                return;
            }
    }

    QString reason() const
    {
        std::lock_guard lock(m_guard);
        return m_reason;
    }

private:
    mutable std::mutex m_guard;
    QString m_reason;
};

struct FilterInfo {
    QString filter;
    QString documentService;
    sal_Int32 flags = 0;
};

QString Seconds(int ms)
{
    return QString::number((ms + 999) / 1000);
}

// One connection to an office, shared by every client of this process that
// talks to the same pipe: a second bridge to the same office would hand out
// the first bridge's objects (UNO keeps one proxy per remote object) and then
// close itself as unused.
struct Connection {
    std::shared_ptr<LinkState> state;
    Reference<css::lang::XComponent> bridge;
    Reference<css::uno::XComponentContext> remote;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::document::XTypeDetection> detection;
    Reference<css::container::XNameAccess> filters;

    ~Connection()
    {
        try {
            if (bridge.is())
                bridge->dispose();
        } catch (const css::uno::Exception &) {
            // already gone
        }
    }
};

std::map<QString, std::weak_ptr<Connection>> &Connections()
{
    static std::map<QString, std::weak_ptr<Connection>> connections;
    return connections;
}

// Offices whose client has gone while they still held documents; reaped once they end.
std::vector<pid_t> &Orphans()
{
    static std::vector<pid_t> orphans;
    return orphans;
}

void ReapOrphans()
{
    auto &orphans = Orphans();
    orphans.erase(std::remove_if(orphans.begin(), orphans.end(),
                                 [](pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) != 0; }),
                  orphans.end());
}

// The office process Ormena starts. Unlike a QProcess it is not killed when
// its owner goes: an office still holding the operator's documents must
// outlive the client (and the program).
class OfficeProcess {
public:
    OfficeProcess(const QString &program, const QStringList &arguments, const QStringList &environment,
                  bool stopWithParent)
    {
        std::vector<QByteArray> argumentBytes{QFile::encodeName(program)};
        for (const QString &argument : arguments)
            argumentBytes.push_back(argument.toLocal8Bit());
        std::vector<QByteArray> environmentBytes;
        for (const QString &entry : environment)
            environmentBytes.push_back(entry.toLocal8Bit());
        std::vector<char *> argv;
        for (QByteArray &bytes : argumentBytes)
            argv.push_back(bytes.data());
        argv.push_back(nullptr);
        std::vector<char *> envp;
        for (QByteArray &bytes : environmentBytes)
            envp.push_back(bytes.data());
        envp.push_back(nullptr);

        // The child reports a failed exec through this pipe; a successful exec closes it.
        int report[2];
        if (::pipe2(report, O_CLOEXEC) != 0)
            throw OrmenaError(QStringLiteral("Не удалось запустить LibreOffice:\r") + QString::fromLocal8Bit(strerror(errno)));
        const pid_t parent = ::getpid();
        m_pid = ::fork();
        if (m_pid < 0) {
            const int error = errno;
            ::close(report[0]);
            ::close(report[1]);
            throw OrmenaError(QStringLiteral("Не удалось запустить LibreOffice:\r") + QString::fromLocal8Bit(strerror(error)));
        }
        if (m_pid == 0) {
            // Only async-signal-safe calls from here on.
            if (stopWithParent) {
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent)
                    ::_exit(127);
            }
            ::setsid(); // keystrokes meant for Ormena's terminal do not reach the office
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
            ::execve(argv[0], argv.data(), envp.data());
            const int error = errno;
            ssize_t written = ::write(report[1], &error, sizeof error);
            (void)written;
            ::_exit(127);
        }
        ::close(report[1]);
        int error = 0;
        ssize_t got;
        do
            got = ::read(report[0], &error, sizeof error);
        while (got < 0 && errno == EINTR);
        ::close(report[0]);
        if (got == static_cast<ssize_t>(sizeof error)) {
            ::waitpid(m_pid, nullptr, 0);
            throw OrmenaError(QStringLiteral("Не удалось запустить LibreOffice:\r") + QString::fromLocal8Bit(strerror(error)));
        }
    }

    ~OfficeProcess()
    {
        if (running())
            Orphans().push_back(m_pid);
    }
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    qint64 pid() const { return m_pid; }

    // Reaps the process once it has ended.
    bool running()
    {
        if (m_ended)
            return false;
        int status = 0;
        const pid_t result = ::waitpid(m_pid, &status, WNOHANG);
        if (result == 0)
            return true;
        m_ended = true;
        if (result == m_pid && WIFEXITED(status))
            m_exitCode = WEXITSTATUS(status);
        return false;
    }

    int exitCode() const { return m_exitCode; }

    // True when the process ended within ms.
    bool waitForExit(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (running()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(10);
        }
        return true;
    }

    void kill()
    {
        if (running()) {
            ::kill(m_pid, SIGKILL);
            waitForExit(kTerminateWaitMs);
        }
    }

private:
    pid_t m_pid = -1;
    bool m_ended = false;
    int m_exitCode = -1;
};

} // namespace

class LibreOfficeClient::Impl {
public:
    struct Document {
        Reference<css::lang::XComponent> component;
        QString path;   // the file it was read from or last saved to
        QString filter; // the format it was read in
        bool ours = false;
        bool shown = false;
    };

    explicit Impl(LibreOfficeSettings s) : settings(std::move(s))
    {
        if (settings.programDir.isEmpty())
            settings.programDir = QStringLiteral(ORMENA_LIBREOFFICE_PROGRAM_DIR);
        if (settings.pipeName.isEmpty())
            settings.pipeName = DefaultPipeName();
        if (settings.profileDir.isEmpty())
            settings.profileDir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                + QStringLiteral("/ormena/libreoffice-profile");
    }

    LibreOfficeSettings settings;
    std::unique_ptr<OfficeProcess> process;
    std::shared_ptr<Connection> shared;
    std::shared_ptr<LinkState> link;
    Reference<css::lang::XComponent> bridge;
    Reference<css::uno::XComponentContext> remote;
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::document::XTypeDetection> detection;
    Reference<css::container::XNameAccess> filters;
    QHash<int, Document> documents;
    int nextId = 1;

    bool connected() const { return desktop.is() && link && !link->lost; }

    // Runs fn on a worker thread and waits for it at most timeoutMs while the
    // program keeps repainting. When the office does not answer in time it is
    // stopped (or, when Ormena did not start it, the connection is cut) so the
    // call returns, and the wait fails with a message naming what overran.
    template <typename Fn>
    auto Bounded(const QString &action, int timeoutMs, Fn fn) -> decltype(fn())
    {
        using Result = decltype(fn());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(fn));
        std::future<Result> future = task->get_future();
        std::thread worker([task] { (*task)(); });
        const QDeadlineTimer deadline(timeoutMs);
        while (future.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready) {
            if (deadline.hasExpired()) {
                const bool stopped = Abandon();
                if (future.wait_for(std::chrono::milliseconds(kTerminateWaitMs)) == std::future_status::ready)
                    worker.join();
                else
                    worker.detach(); // holds only its own references; it ends when the pipe closes
                QString message = QStringLiteral("LibreOffice Writer не ответил за %1 с (%2).")
                                      .arg(Seconds(timeoutMs), action);
                if (stopped)
                    message += QStringLiteral(" Процесс LibreOffice остановлен.");
                throw OrmenaError(message);
            }
            if (QCoreApplication::instance())
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        worker.join();
        try {
            return future.get();
        } catch (const css::lang::DisposedException &) {
            throw ConnectionLost(action);
        } catch (const css::uno::Exception &e) {
            if (link && link->lost)
                throw ConnectionLost(action);
            throw OrmenaError(QStringLiteral("Ошибка LibreOffice Writer (%1):\r%2").arg(action, OfficeMessage(e.Message)));
        }
    }

    // A call on the office that is up: the pending operation is bounded by the
    // call timeout of the settings.
    template <typename Fn>
    auto Call(const QString &action, Fn fn) -> decltype(fn())
    {
        if (!connected()) {
            if (link && link->lost)
                Disconnect();
            throw ConnectionLost(action);
        }
        return Bounded(action, settings.callTimeoutMs, std::move(fn));
    }

    OrmenaError ConnectionLost(const QString &action)
    {
        Disconnect();
        return OrmenaError(QStringLiteral("Связь с LibreOffice Writer прервана (%1): LibreOffice не работает.").arg(action));
    }

    // Stops an office that does not answer. True when a process was stopped;
    // an office Ormena only attached to is cut off, not killed.
    bool Abandon()
    {
        bool stopped = false;
        if (process && process->running()) {
            process->kill();
            RemoveStalePipe();
            stopped = true;
        }
        if (bridge.is()) {
            try {
                bridge->dispose(); // releases a call still waiting on the office
            } catch (const css::uno::Exception &) {
                // already gone
            }
        }
        Disconnect();
        return stopped;
    }

    // Forgets the connection without talking to the office; reaps an office
    // process of ours that has ended.
    void Disconnect()
    {
        documents.clear();
        desktop.clear();
        detection.clear();
        filters.clear();
        remote.clear();
        bridge.clear();
        shared.reset(); // the last client of a connection closes it
        link.reset();
        if (process && !process->running()) {
            process.reset();
            RemoveStalePipe();
        }
    }

    // A killed office leaves the socket files of its pipes behind: the one it
    // accepted Ormena on and its single-instance pipe. A socket nobody listens
    // on any more refuses connections and is removed.
    void RemoveStalePipe() const
    {
        const QString prefix = QStringLiteral("OSL_PIPE_%1_").arg(getuid());
        const QDir folder(QStringLiteral("/tmp"));
        QStringList sockets{prefix + settings.pipeName};
        sockets += folder.entryList({prefix + QStringLiteral("SingleOfficeIPC_*")}, QDir::System | QDir::Hidden);
        for (const QString &name : sockets) {
            const QByteArray path = QFile::encodeName(folder.filePath(name));
            sockaddr_un address{};
            if (static_cast<size_t>(path.size()) >= sizeof address.sun_path)
                continue;
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
            const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (probe < 0)
                continue;
            const bool refused = ::connect(probe, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
                && errno == ECONNREFUSED;
            ::close(probe);
            if (refused)
                ::unlink(path.constData());
        }
    }

    bool Headless() const
    {
        switch (settings.display) {
        case LibreOfficeSettings::Display::Headless:
            return true;
        case LibreOfficeSettings::Display::Visible:
            return false;
        case LibreOfficeSettings::Display::Automatic:
            break;
        }
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
            const QString platform = QGuiApplication::platformName();
            if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
                return true;
        }
        return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    }

    void StartProcess()
    {
        const QString program = settings.programDir + QStringLiteral("/soffice.bin");
        if (!QFileInfo(program).isExecutable())
            throw OrmenaError(QStringLiteral("Не найдена программа LibreOffice:\r") + program);
        QDir().mkpath(settings.profileDir);
        QFile::setPermissions(settings.profileDir,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QStringList arguments{
            QStringLiteral("-env:UserInstallation=") + Q(FileUrl(settings.profileDir)),
            QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(settings.pipeName),
            QStringLiteral("--norestore"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nodefault"),
            QStringLiteral("--nolockcheck"),
        };
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (Headless()) {
            arguments << QStringLiteral("--headless");
            environment.insert(QStringLiteral("SAL_USE_VCLPLUGIN"), QStringLiteral("svp"));
        } else {
            arguments << QStringLiteral("--invisible");
        }
        // Ormena's own display settings are not the office's.
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));

        process = std::make_unique<OfficeProcess>(program, arguments, environment.toStringList(),
                                                  settings.stopWithProgram);
    }

    // One attempt to reach an office on the pipe. False when nothing listens there.
    bool TryConnect(int timeoutMs)
    {
        if (const auto existing = Connections()[settings.pipeName].lock(); existing && !existing->state->lost) {
            Adopt(existing);
            return true;
        }
        const OUString pipe = U(QStringLiteral("pipe,name=") + settings.pipeName);
        auto state = std::make_shared<LinkState>();
        struct Link {
            Reference<css::lang::XComponent> bridge;
            Reference<css::uno::XComponentContext> remote;
            Reference<css::frame::XDesktop2> desktop;
            Reference<css::document::XTypeDetection> detection;
            Reference<css::container::XNameAccess> filters;
        };
        Reference<css::uno::XComponentContext> local = LocalContext();
        const std::optional<Link> made = Bounded(QStringLiteral("подключение"), timeoutMs, [local, pipe, state]() {
            Reference<css::connection::XConnection> connection;
            try {
                connection = css::connection::Connector::create(local)->connect(pipe);
            } catch (const css::connection::NoConnectException &) {
                return std::optional<Link>();
            }
            Link made;
            Reference<css::bridge::XBridge> bridge =
                css::bridge::BridgeFactory::create(local)->createBridge(OUString(), "urp", connection, nullptr);
            made.bridge.set(bridge, UNO_QUERY_THROW);
            made.bridge->addEventListener(new BridgeWatch(state));
            made.remote.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
            made.desktop = css::frame::Desktop::create(made.remote);
            Reference<css::lang::XMultiComponentFactory> services = made.remote->getServiceManager();
            made.detection.set(services->createInstanceWithContext("com.sun.star.document.TypeDetection", made.remote),
                               UNO_QUERY_THROW);
            made.filters.set(services->createInstanceWithContext("com.sun.star.document.FilterFactory", made.remote),
                             UNO_QUERY_THROW);
            return std::optional<Link>(made);
        });
        if (!made)
            return false;
        auto connection = std::make_shared<Connection>();
        connection->state = state;
        connection->bridge = made->bridge;
        connection->remote = made->remote;
        connection->desktop = made->desktop;
        connection->detection = made->detection;
        connection->filters = made->filters;
        Connections()[settings.pipeName] = connection;
        Adopt(connection);
        return true;
    }

    void Adopt(const std::shared_ptr<Connection> &connection)
    {
        shared = connection;
        link = connection->state;
        bridge = connection->bridge;
        remote = connection->remote;
        desktop = connection->desktop;
        detection = connection->detection;
        filters = connection->filters;
    }

    void Connect()
    {
        ReapOrphans();
        if (connected()) {
            try {
                Reference<css::frame::XDesktop2> office = desktop;
                Bounded(QStringLiteral("проверка связи"), std::min(kPingTimeoutMs, settings.callTimeoutMs),
                        [office]() { office->getFrames(); });
                return;
            } catch (const OrmenaError &) {
                // The office went away or hangs; start afresh below.
            }
        }
        if (process && process->running())
            Abandon(); // ours but no longer answering
        Disconnect();

        const QDeadlineTimer deadline(settings.startTimeoutMs);
        if (TryConnect(settings.startTimeoutMs))
            return; // an office already listens on Ormena's pipe

        int restarts = 0;
        StartProcess();
        for (;;) {
            if (!process->running()) {
                const int code = process->exitCode();
                if ((code == kExitNormalRestart || code == kExitCrashRestart) && restarts < kMaxRestarts) {
                    ++restarts;
                    StartProcess();
                    continue;
                }
                process.reset();
                throw OrmenaError(QStringLiteral("LibreOffice завершился при запуске (код %1).").arg(code));
            }
            try {
                if (TryConnect(std::max<qint64>(1, deadline.remainingTime())))
                    return;
            } catch (const OrmenaError &) {
                // The office stopped answering in time (and was stopped), or it
                // refused the connection while still starting up: retry while it runs.
                if (!process || deadline.hasExpired())
                    throw;
            }
            if (deadline.hasExpired()) {
                Abandon();
                throw OrmenaError(QStringLiteral("LibreOffice не ответил за %1 с после запуска.")
                                      .arg(Seconds(settings.startTimeoutMs)));
            }
            process->waitForExit(kConnectRetryMs);
        }
    }

    Document &Find(int id)
    {
        auto it = documents.find(id);
        if (it == documents.end())
            throw OrmenaError(QStringLiteral("Документ LibreOffice Writer уже закрыт."));
        return *it;
    }

    int Register(const Reference<css::lang::XComponent> &component, const QString &path, const QString &filter,
                 bool ours)
    {
        for (auto it = documents.begin(); it != documents.end(); ++it)
            if (it->component == component)
                return it.key();
        const int id = nextId++;
        documents.insert(id, Document{component, path, filter, ours, false});
        return id;
    }

    FilterInfo Detect(const QString &path)
    {
        Reference<css::document::XTypeDetection> detector = detection;
        Reference<css::container::XNameAccess> filterList = filters;
        const OUString url = FileUrl(path);
        return Call(QStringLiteral("определение формата документа"), [detector, filterList, url]() {
            Sequence<css::beans::PropertyValue> descriptor = Properties({Property("URL", Any(url))});
            const OUString type = detector->queryTypeByDescriptor(descriptor, true);
            FilterInfo info;
            if (type.isEmpty())
                return info;
            OUString filter = PropertyOf<OUString>(descriptor, "FilterName");
            if (filter.isEmpty()) {
                Reference<css::container::XNameAccess> types(detector, UNO_QUERY_THROW);
                Sequence<css::beans::PropertyValue> typeProperties;
                types->getByName(type) >>= typeProperties;
                filter = PropertyOf<OUString>(typeProperties, "PreferredFilter");
            }
            if (filter.isEmpty() || !filterList->hasByName(filter))
                return info;
            Sequence<css::beans::PropertyValue> filterProperties;
            filterList->getByName(filter) >>= filterProperties;
            info.filter = Q(filter);
            info.documentService = Q(PropertyOf<OUString>(filterProperties, "DocumentService"));
            info.flags = PropertyOf<sal_Int32>(filterProperties, "Flags");
            return info;
        });
    }

    bool CanExport(const QString &filter)
    {
        if (filter.isEmpty())
            return false;
        Reference<css::container::XNameAccess> filterList = filters;
        const OUString name = U(filter);
        return Call(QStringLiteral("определение формата документа"), [filterList, name]() {
            if (!filterList->hasByName(name))
                return false;
            Sequence<css::beans::PropertyValue> properties;
            filterList->getByName(name) >>= properties;
            return (PropertyOf<sal_Int32>(properties, "Flags") & kFilterFlagExport) != 0;
        });
    }

    // Frames of an office Ormena drives that show no document (the start
    // centre the office puts up when the operator closes its last document).
    void CloseEmptyFrames()
    {
        if (!connected())
            return;
        Reference<css::frame::XDesktop2> office = desktop;
        try {
            Call(QStringLiteral("закрытие пустых окон"), [office]() {
                Reference<css::container::XIndexAccess> frames(office->getFrames(), UNO_QUERY_THROW);
                std::vector<Reference<css::util::XCloseable>> empty;
                for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
                    Reference<css::frame::XFrame> frame(frames->getByIndex(i), UNO_QUERY);
                    if (!frame.is())
                        continue;
                    Reference<css::frame::XController> controller = frame->getController();
                    if (!controller.is() || !controller->getModel().is())
                        empty.emplace_back(frame, UNO_QUERY);
                }
                for (const auto &frame : empty)
                    if (frame.is())
                        frame->close(true);
            });
        } catch (const OrmenaError &) {
            // Best effort: an empty window left open harms nothing.
        }
    }

    bool OfficeIsEmpty()
    {
        Reference<css::frame::XDesktop2> office = desktop;
        return Call(QStringLiteral("проверка открытых документов"), [office]() {
            return !office->getComponents()->createEnumeration()->hasMoreElements();
        });
    }

    // Ends the office: politely first, by force when it does not go.
    void Terminate()
    {
        if (connected()) {
            Reference<css::frame::XDesktop2> office = desktop;
            try {
                Bounded(QStringLiteral("завершение LibreOffice"), std::min(kPingTimeoutMs, settings.callTimeoutMs),
                        [office]() {
                            try {
                                office->terminate();
                            } catch (const css::lang::DisposedException &) {
                                // the office went away while answering
                            }
                        });
            } catch (const OrmenaError &) {
                // handled below: the process is stopped by force
            }
        }
        Disconnect();
        if (process) {
            if (!process->waitForExit(kTerminateWaitMs)) {
                process->kill();
                RemoveStalePipe();
            }
            process.reset();
        }
    }

    void CloseOurDocuments(bool onlyHidden)
    {
        const QList<int> ids = documents.keys();
        for (int id : ids) {
            const auto it = documents.constFind(id);
            if (it == documents.constEnd() || !it->ours || (onlyHidden && it->shown))
                continue;
            try {
                CloseDocument(id);
            } catch (const OrmenaError &) {
                documents.remove(id);
            }
        }
    }

    void CloseDocument(int id)
    {
        Document &document = Find(id);
        Reference<css::lang::XComponent> component = document.component;
        documents.remove(id);
        Call(QStringLiteral("закрытие документа"), [component]() {
            try {
                Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
                if (closeable.is())
                    closeable->close(true);
                else
                    component->dispose();
            } catch (const css::lang::DisposedException &) {
                // closed already
            }
        });
    }

    // Leaves the office as the operator should find it: the documents Ormena
    // opened closed (only the hidden ones at program end), and the office ended
    // when it holds nothing else.
    void Release(bool onlyHidden)
    {
        if (!connected()) {
            Disconnect();
            if (process)
                Terminate();
            return;
        }
        CloseOurDocuments(onlyHidden);
        bool empty = false;
        try {
            empty = OfficeIsEmpty();
        } catch (const OrmenaError &) {
            empty = true; // not answering: nothing of the operator's can be saved from it
        }
        if (empty)
            Terminate();
    }
};

LibreOfficeClient::LibreOfficeClient(LibreOfficeSettings settings)
    : d(std::make_unique<Impl>(std::move(settings)))
{
}

LibreOfficeClient::~LibreOfficeClient()
{
    try {
        d->Release(true);
    } catch (...) {
        // A destructor must not throw; an office left running is attached to next time.
    }
}

QString LibreOfficeClient::DefaultPipeName()
{
    return QStringLiteral("ormena-") + QString::number(getuid());
}

const LibreOfficeSettings &LibreOfficeClient::settings() const
{
    return d->settings;
}

bool LibreOfficeClient::StartedOffice() const
{
    return d->process != nullptr;
}

qint64 LibreOfficeClient::OfficeProcessId() const
{
    return d->process && d->process->running() ? d->process->pid() : 0;
}

void LibreOfficeClient::Connect()
{
    try {
        d->Connect();
    } catch (const css::uno::Exception &e) {
        d->Disconnect();
        throw OrmenaError(QStringLiteral("Ошибка подключения к LibreOffice:\r") + OfficeMessage(e.Message));
    }
}

bool LibreOfficeClient::IsConnected() const
{
    return d->connected();
}

WordProcessor::DocumentId LibreOfficeClient::CreateDocument()
{
    Reference<css::frame::XDesktop2> office = d->desktop;
    Reference<css::lang::XComponent> component =
        d->Call(QStringLiteral("создание документа"), [office]() {
            Sequence<css::beans::PropertyValue> arguments = Properties({Property("Hidden", Any(true))});
            return office->loadComponentFromURL("private:factory/swriter", "_blank", 0, arguments);
        });
    if (!component.is())
        throw OrmenaError(QStringLiteral("LibreOffice Writer не создал документ."));
    return d->Register(component, QString(), QString(), true);
}

WordProcessor::DocumentId LibreOfficeClient::OpenDocument(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw OrmenaError(QStringLiteral("Файл не найден:\r") + path);
    const FilterInfo format = d->Detect(path);
    // Plain text is what the office makes of any file it does not recognise.
    if (format.documentService != QLatin1String("com.sun.star.text.TextDocument")
        || format.filter.startsWith(QLatin1String("Text")))
        throw OrmenaError(QStringLiteral("Файл не является документом текстового процессора:\r") + path);

    Reference<css::frame::XDesktop2> office = d->desktop;
    rtl::Reference<NeverAsk> handler(new NeverAsk);
    const OUString url = FileUrl(path);
    const OUString filter = U(format.filter);
    Reference<css::lang::XComponent> component = d->Call(QStringLiteral("открытие документа"), [office, handler, url, filter]() {
        Sequence<css::beans::PropertyValue> arguments = Properties({
            Property("Hidden", Any(true)),
            Property("FilterName", Any(filter)),
            Property("InteractionHandler", Any(Reference<css::task::XInteractionHandler>(handler.get()))),
            Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
            Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE)),
        });
        return office->loadComponentFromURL(url, "_blank", 0, arguments);
    });
    if (!component.is()) {
        QString message = QStringLiteral("LibreOffice Writer не смог открыть файл\r") + path;
        if (!handler->reason().isEmpty())
            message += QStringLiteral("\r") + handler->reason();
        throw OrmenaError(message);
    }
    const int id = d->Register(component, AbsolutePath(path), format.filter, true);
    const bool isText = d->Call(QStringLiteral("открытие документа"), [component]() {
        return Reference<css::text::XTextDocument>(component, UNO_QUERY).is();
    });
    if (!isText) {
        CloseDocument(id);
        throw OrmenaError(QStringLiteral("Файл не является документом текстового процессора:\r") + path);
    }
    return id;
}

int LibreOfficeClient::ReplaceAll(DocumentId document, const QString &findText, const QString &replaceText)
{
    Reference<css::lang::XComponent> component = d->Find(document).component;
    const OUString find = U(findText);
    const OUString replace = U(replaceText);
    return d->Call(QStringLiteral("замена текста"), [component, find, replace]() -> int {
        Reference<css::util::XReplaceable> replaceable(component, UNO_QUERY_THROW);
        Reference<css::util::XReplaceDescriptor> descriptor = replaceable->createReplaceDescriptor();
        descriptor->setSearchString(find);
        descriptor->setReplaceString(replace);
        Reference<css::beans::XPropertySet> options(descriptor, UNO_QUERY_THROW);
        options->setPropertyValue("SearchBackwards", Any(false));
        options->setPropertyValue("SearchCaseSensitive", Any(false));
        options->setPropertyValue("SearchWords", Any(false));
        options->setPropertyValue("SearchRegularExpression", Any(false));
        options->setPropertyValue("SearchSimilarity", Any(false));
        options->setPropertyValue("SearchStyles", Any(false));
        return replaceable->replaceAll(Reference<css::util::XSearchDescriptor>(descriptor, UNO_QUERY_THROW));
    });
}

void LibreOfficeClient::SaveAs(DocumentId document, const QString &path)
{
    Impl::Document &entry = d->Find(document);
    const QString target = AbsolutePath(path);
    QString filter;
    if (target == entry.path && d->CanExport(entry.filter))
        filter = entry.filter;
    else
        filter = ExportFilterForExtension(target);
    if (filter.isEmpty())
        filter = d->CanExport(entry.filter) ? entry.filter : QStringLiteral("MS Word 97");

    Reference<css::lang::XComponent> component = entry.component;
    const OUString url = FileUrl(target);
    const OUString filterName = U(filter);
    try {
        d->Call(QStringLiteral("сохранение документа"), [component, url, filterName]() {
            Reference<css::frame::XStorable> storable(component, UNO_QUERY_THROW);
            Sequence<css::beans::PropertyValue> arguments =
                Properties({Property("FilterName", Any(filterName)), Property("Overwrite", Any(true))});
            storable->storeAsURL(url, arguments);
        });
    } catch (const OrmenaError &e) {
        throw OrmenaError(QStringLiteral("LibreOffice Writer не смог сохранить файл\r") + path + QStringLiteral("\r")
                          + e.message());
    }
    Impl::Document &saved = d->Find(document);
    saved.path = target;
    saved.filter = filter;
}

void LibreOfficeClient::ShowDocument(DocumentId document)
{
    Impl::Document &entry = d->Find(document);
    Reference<css::lang::XComponent> component = entry.component;
    d->Call(QStringLiteral("показ документа"), [component]() {
        Reference<css::frame::XModel> model(component, UNO_QUERY_THROW);
        Reference<css::frame::XController> controller = model->getCurrentController();
        if (!controller.is())
            return;
        Reference<css::frame::XFrame> frame = controller->getFrame();
        Reference<css::awt::XWindow> window = frame->getContainerWindow();
        if (!window.is())
            return;
        window->setVisible(true);
        if (Reference<css::awt::XTopWindow2> top{window, UNO_QUERY}; top.is()) {
            top->setIsMinimized(false);
            top->setIsMaximized(true);
        }
        if (Reference<css::awt::XTopWindow> top{window, UNO_QUERY}; top.is())
            top->toFront();
        frame->activate();
        window->setFocus();
    });
    d->Find(document).shown = true;
}

QString LibreOfficeClient::DocumentText(DocumentId document)
{
    Reference<css::lang::XComponent> component = d->Find(document).component;
    const OUString text = d->Call(QStringLiteral("чтение текста документа"), [component]() {
        Reference<css::text::XTextDocument> textDocument(component, UNO_QUERY_THROW);
        OUStringBuffer all(textDocument->getText()->getString());
        auto add = [&all](const Any &value) {
            Reference<css::text::XText> part(value, UNO_QUERY);
            if (part.is())
                all.append("\n" + part->getString());
        };
        Reference<css::style::XStyleFamiliesSupplier> families(component, UNO_QUERY_THROW);
        Reference<css::container::XNameAccess> pageStyles(families->getStyleFamilies()->getByName("PageStyles"),
                                                          UNO_QUERY_THROW);
        for (const OUString &name : pageStyles->getElementNames()) {
            Reference<css::beans::XPropertySet> style(pageStyles->getByName(name), UNO_QUERY_THROW);
            Reference<css::beans::XPropertySetInfo> info = style->getPropertySetInfo();
            for (const char *part : {"Header", "Footer"}) {
                bool on = false;
                style->getPropertyValue(OUString::createFromAscii(part) + "IsOn") >>= on;
                if (!on)
                    continue;
                for (const char *variant : {"Text", "TextLeft", "TextRight", "TextFirst"}) {
                    const OUString property = OUString::createFromAscii(part) + OUString::createFromAscii(variant);
                    if (info->hasPropertyByName(property))
                        add(style->getPropertyValue(property));
                }
            }
        }
        Reference<css::text::XTextFramesSupplier> frames(component, UNO_QUERY);
        if (frames.is()) {
            Reference<css::container::XNameAccess> named = frames->getTextFrames();
            for (const OUString &name : named->getElementNames())
                add(named->getByName(name));
        }
        return all.makeStringAndClear();
    });
    return Q(text);
}

QList<WordProcessor::DocumentId> LibreOfficeClient::DocumentsAt(const QString &path)
{
    Reference<css::frame::XDesktop2> office = d->desktop;
    const QString wanted = AbsolutePath(path);
    const std::vector<Reference<css::lang::XComponent>> found =
        d->Call(QStringLiteral("поиск окна документа"), [office, wanted]() {
            std::vector<Reference<css::lang::XComponent>> matches;
            Reference<css::container::XEnumeration> all = office->getComponents()->createEnumeration();
            while (all->hasMoreElements()) {
                Reference<css::frame::XModel> model(all->nextElement(), UNO_QUERY);
                if (model.is() && LocalPathOf(model->getURL()) == wanted)
                    matches.emplace_back(model, UNO_QUERY);
            }
            return matches;
        });
    QList<DocumentId> ids;
    for (const auto &component : found)
        ids.append(d->Register(component, wanted, QString(), false));
    return ids;
}

void LibreOfficeClient::WaitUntilClosed(const QList<DocumentId> &documents, const std::function<void()> &started)
{
    struct Watched {
        int id;
        Reference<css::lang::XComponent> component;
        Reference<css::util::XCloseListener> listener;
        std::shared_ptr<std::atomic<bool>> closed;
    };
    std::vector<Watched> watched;
    for (int id : documents) {
        Watched w{id, d->Find(id).component, nullptr, std::make_shared<std::atomic<bool>>(false)};
        w.listener = new CloseWatch(w.closed);
        Reference<css::lang::XComponent> component = w.component;
        Reference<css::util::XCloseListener> listener = w.listener;
        const bool alive = d->Call(QStringLiteral("ожидание закрытия документа"), [component, listener]() {
            try {
                Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->addCloseListener(listener);
                component->addEventListener(Reference<css::lang::XEventListener>(listener.get()));
                return true;
            } catch (const css::lang::DisposedException &) {
                return false;
            }
        });
        if (!alive)
            *w.closed = true;
        watched.push_back(w);
    }

    std::shared_ptr<LinkState> link = d->link;
    auto finished = [&watched, link]() {
        if (!link || link->lost)
            return true;
        for (const Watched &w : watched)
            if (!*w.closed)
                return false;
        return true;
    };

    std::exception_ptr failure;
    if (!finished() || started) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
            if (finished())
                loop.quit();
        });
        poll.start(50);
        if (started)
            QTimer::singleShot(0, &loop, [&]() {
                try {
                    started();
                } catch (...) {
                    failure = std::current_exception();
                    loop.quit();
                }
            });
        loop.exec();
    }

    for (const Watched &w : watched) {
        d->documents.remove(w.id);
        if (*w.closed || !d->connected())
            continue;
        Reference<css::lang::XComponent> component = w.component;
        Reference<css::util::XCloseListener> listener = w.listener;
        try {
            d->Call(QStringLiteral("ожидание закрытия документа"), [component, listener]() {
                Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->removeCloseListener(listener);
                component->removeEventListener(Reference<css::lang::XEventListener>(listener.get()));
            });
        } catch (const OrmenaError &) {
            // the document went away meanwhile
        }
    }
    if (link && link->lost)
        d->Disconnect();
    else
        d->CloseEmptyFrames();
    if (failure)
        std::rethrow_exception(failure);
}

void LibreOfficeClient::CloseDocument(DocumentId document)
{
    d->CloseDocument(document);
}

void LibreOfficeClient::Quit()
{
    d->Release(false);
}

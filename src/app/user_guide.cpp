#include "app/user_guide.h"

#include "common/message_boxes.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kStartPage = QStringLiteral("index.html");
QStringList g_places; // set by SetUserGuideSearchPlaces

// The help window: a browser over the guide's pages with back, forward and
// contents buttons. Links outside the guide open in the desktop's browser.
class TfUserGuide : public QWidget {
public:
    TfUserGuide(QWidget *parent, const QString &startPage) : QWidget(parent, Qt::Window)
    {
        setObjectName(QStringLiteral("fUserGuide"));
        setWindowTitle(QStringLiteral("Ormena — руководство пользователя"));
        setAttribute(Qt::WA_DeleteOnClose);
        resize(900, 700);

        auto *bar = new QToolBar(this);
        Browser = new QTextBrowser(this);
        Browser->setObjectName(QStringLiteral("Browser"));
        Browser->setOpenLinks(false);
        connect(Browser, &QTextBrowser::anchorClicked, this, &TfUserGuide::follow);

        QAction *back = bar->addAction(QStringLiteral("Назад"), Browser, &QTextBrowser::backward);
        QAction *forward = bar->addAction(QStringLiteral("Вперёд"), Browser, &QTextBrowser::forward);
        bar->addAction(QStringLiteral("Содержание"), this, [this] { showSection(QString()); });
        back->setEnabled(false);
        forward->setEnabled(false);
        back->setShortcut(QKeySequence::Back);
        forward->setShortcut(QKeySequence::Forward);
        connect(Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
        connect(Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
        auto *close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(close, &QShortcut::activated, this, &QWidget::close);

        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(bar);
        layout->addWidget(Browser);

        m_start = QUrl::fromLocalFile(startPage);
        Browser->setSearchPaths({QFileInfo(startPage).absolutePath()});
        Browser->setSource(m_start);
    }

    void showSection(const QString &anchor)
    {
        QUrl url = m_start;
        if (!anchor.isEmpty())
            url.setFragment(anchor);
        Browser->setSource(url);
        // Once the window is laid out at its final size, the section is scrolled to again.
        const QString target = anchor.isEmpty() ? QStringLiteral("top") : anchor;
        Browser->scrollToAnchor(target);
        QTimer::singleShot(0, Browser, [browser = Browser, target] { browser->scrollToAnchor(target); });
    }

    QTextBrowser *Browser = nullptr;

private:
    void follow(const QUrl &url)
    {
        if (url.isRelative() || url.isLocalFile())
            Browser->setSource(url.isRelative() ? Browser->source().resolved(url) : url);
        else
            QDesktopServices::openUrl(url);
    }

    QUrl m_start;
};

QPointer<TfUserGuide> g_window;

} // namespace

QStringList UserGuideSearchPlaces()
{
    if (!g_places.isEmpty())
        return g_places;
    QStringList places;
    const QString programDir = QCoreApplication::applicationDirPath();
    places << QDir::cleanPath(programDir + QStringLiteral("/help"));
    places << QDir::cleanPath(programDir + QStringLiteral("/../share/ormena/help"));
    for (const QString &dataDir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        places << QDir::cleanPath(dataDir + QStringLiteral("/ormena/help"));
    places.removeDuplicates();
    return places;
}

QString UserGuideFile()
{
    for (const QString &place : UserGuideSearchPlaces()) {
        const QFileInfo page(place + QLatin1Char('/') + kStartPage);
        if (page.isFile() && page.isReadable())
            return page.absoluteFilePath();
    }
    return QString();
}

void SetUserGuideSearchPlaces(const QStringList &places)
{
    g_places = places;
}

QWidget *ShowUserGuide(QWidget *parent, const QString &anchor)
{
    const QString page = UserGuideFile();
    if (page.isEmpty()) {
        ShowMessageBox(QStringLiteral("Не найдено руководство пользователя.\rФайл ") + kStartPage
                           + QStringLiteral(" искался в папках:\r") + UserGuideSearchPlaces().join(QStringLiteral("\r")),
                       QStringLiteral("Руководство пользователя"), mkWarning);
        return nullptr;
    }
    if (g_window && QUrl::fromLocalFile(page) != g_window->Browser->source().adjusted(QUrl::RemoveFragment)) {
        delete g_window.data(); // the guide moved (other places were set): start again from there
    }
    if (!g_window)
        g_window = new TfUserGuide(parent, page);
    g_window->showSection(anchor);
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
    return g_window;
}

void CloseUserGuide()
{
    if (g_window)
        delete g_window.data();
}

QWidget *UserGuideWindow()
{
    return g_window;
}

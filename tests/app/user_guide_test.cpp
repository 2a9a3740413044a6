// The user guide shipped in data/help and its help window: where the guide is
// looked for, what it covers, that its links lead somewhere, one window at a
// time, and a clear message when the guide is missing.
#include "app/user_guide.h"
#include "common/message_box_presenter.h"
#include "support/temp_workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

QString SourceHelpFolder()
{
    return QDir::cleanPath(QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(QStringLiteral("../../data/help")));
}

QString GuideHtml()
{
    QFile file(SourceHelpFolder() + QStringLiteral("/index.html"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

QTextBrowser *BrowserOf(QWidget *window)
{
    return window ? window->findChild<QTextBrowser *>(QStringLiteral("Browser")) : nullptr;
}

class UserGuideTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserGuideSearchPlaces({SourceHelpFolder()}); }
    void TearDown() override
    {
        CloseUserGuide();
        SetUserGuideSearchPlaces({});
    }
};

} // namespace

TEST_F(UserGuideTest, UsualPlacesAreBesideTheProgramAndInTheDataFolders)
{
    SetUserGuideSearchPlaces({});
    const QByteArray previous = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", "/opt/first/share:/usr/share");
    const QString program = QCoreApplication::applicationDirPath();
    const QStringList places = UserGuideSearchPlaces();
    qputenv("XDG_DATA_DIRS", previous);
    ASSERT_GE(places.size(), 4);
    EXPECT_EQ(places.at(0), QDir::cleanPath(program + QStringLiteral("/help")));
    EXPECT_EQ(places.at(1), QDir::cleanPath(program + QStringLiteral("/../share/ormena/help")));
    EXPECT_EQ(places.mid(places.size() - 2),
              (QStringList{QStringLiteral("/opt/first/share/ormena/help"), QStringLiteral("/usr/share/ormena/help")}));
}

TEST_F(UserGuideTest, GuideCoversEveryTopicAndEveryLinkHasItsAnchor)
{
    const QString html = GuideHtml();
    for (const QString &topic :
         {QStringLiteral("Начало работы"), QStringLiteral("Шаблоны и метки"), QStringLiteral("Правило начала имени"),
          QStringLiteral("Справочник полей"), QStringLiteral("Документы и номера"),
          QStringLiteral("Создание документа (F10)"), QStringLiteral("Документы, сохранённые в базе"),
          QStringLiteral("Настройки"), QStringLiteral("Клавиши"), QStringLiteral("Где хранятся данные"),
          QStringLiteral("~/.config/Ormena/Ormena.ini"), QStringLiteral("Ormena.mdb"), QStringLiteral("OrmenaDemo.mdb"),
          QStringLiteral("Shablon"), QStringLiteral("НОМДОК"), QStringLiteral("Открыть демонстрационную базу")})
        EXPECT_TRUE(html.contains(topic)) << topic.toStdString();
    for (const QString &key : {QStringLiteral("F1"), QStringLiteral("F2"), QStringLiteral("F3"), QStringLiteral("F4"),
                               QStringLiteral("F5"), QStringLiteral("Ctrl+F5"), QStringLiteral("F6"),
                               QStringLiteral("F9"), QStringLiteral("F10")})
        EXPECT_TRUE(html.contains(QStringLiteral("<td class=\"key\">") + key + QStringLiteral("</td>")))
            << key.toStdString();

    QSet<QString> anchors;
    static const QRegularExpression name(QStringLiteral("<a name=\"([^\"]+)\""));
    for (auto it = name.globalMatch(html); it.hasNext();)
        anchors.insert(it.next().captured(1));
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(anchors.contains(target)) << target.toStdString();
    }
    EXPECT_GE(links, 12);
}

TEST_F(UserGuideTest, OneWindowShowsTheContentsAndFollowsLinksAndSections)
{
    QWidget *window = ShowUserGuide();
    ASSERT_NE(window, nullptr);
    QTextBrowser *browser = BrowserOf(window);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Ormena — руководство пользователя"));
    EXPECT_EQ(browser->source().toLocalFile(), QDir(SourceHelpFolder()).absoluteFilePath(QStringLiteral("index.html")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Правило начала имени")));

    // A section by its anchor, in the same window.
    EXPECT_EQ(ShowUserGuide(nullptr, QStringLiteral("prefix")), window);
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("prefix"));
    // A link of the contents leads to its section.
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("#keys")));
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("keys"));
    EXPECT_TRUE(browser->isBackwardAvailable());

    CloseUserGuide();
    EXPECT_EQ(UserGuideWindow(), nullptr);
}

TEST_F(UserGuideTest, MissingGuideSaysWhereItWasLookedFor)
{
    TempWorkspace ws;
    const QStringList places{ws.file(QStringLiteral("help")), ws.file(QStringLiteral("share/ormena/help"))};
    SetUserGuideSearchPlaces(places);
    EXPECT_TRUE(UserGuideFile().isEmpty());
    ScriptedMessageBoxes boxes;
    EXPECT_EQ(ShowUserGuide(), nullptr);
    ASSERT_EQ(boxes.shown().size(), 1);
    const MessageBoxRequest &box = boxes.shown().first();
    EXPECT_EQ(box.caption, QStringLiteral("Руководство пользователя"));
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Не найдено руководство пользователя.")));
    for (const QString &place : places)
        EXPECT_TRUE(box.text.contains(place)) << box.text.toStdString();
    EXPECT_EQ(UserGuideWindow(), nullptr);
}

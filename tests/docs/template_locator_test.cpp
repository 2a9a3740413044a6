// Finding a template that is not where it was expected: the chain of places in
// its order, the organisation registry behind the report store, the login
// directory from QVR, the DBELIST path rules and the administration directory.
#include "dbf_fixture.h"

#include "common/app_title.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "docs/db_organ.h"
#include "docs/template_locator.h"
#include "support/temp_workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class ScopedQvr {
public:
    explicit ScopedQvr(const QByteArray &value) : m_previous(qgetenv("QVR")), m_had(qEnvironmentVariableIsSet("QVR"))
    {
        if (value.isNull())
            qunsetenv("QVR");
        else
            qputenv("QVR", value);
    }
    ~ScopedQvr()
    {
        if (m_had)
            qputenv("QVR", m_previous);
        else
            qunsetenv("QVR");
    }

private:
    QByteArray m_previous;
    bool m_had;
};

void Touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1 x}");
}

QString AliasFailure(const QString &alias, const QString &adminPath)
{
    return QStringLiteral("Не найден алиас базы данных <%1> для приложения\r< %2 >\r[ %3 ]\rAdminPach = %4\r\r"
                          "Обратитесь к разаботчику!")
        .arg(alias, ApplicationTitle(), QCoreApplication::applicationFilePath(), adminPath);
}

// A working folder with every place of the chain and an organisation registry
// whose report store is <ws>/org/store.
class LocatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = workspace.path();
        for (const char *dir : {"dev", "devrep", "local", "net", "RPT", "org/store", "login"})
            QDir(ws).mkpath(QString::fromLatin1(dir));
        places.developerTemplateDir = ws + QStringLiteral("/dev/");
        places.developerReportDir = ws + QStringLiteral("/devrep");
        places.localReportDir = ws + QStringLiteral("/local");
        places.networkReportDir = ws + QStringLiteral("/net");
        places.loginDir = ws + QStringLiteral("/login");
        SetTemplatePlaces(places);
        WriteOrganTable(ws + QStringLiteral("/login"),
                        {{QStringLiteral("OTHER"), QStringLiteral("Другая"), QStringLiteral("/nowhere/ADMIN")},
                         {QStringLiteral(" common"), QStringLiteral("Общая организация"), ws + QStringLiteral("/org/ADMIN")}});
        WriteDbeList(ws + QStringLiteral("/org/ADMIN"),
                     {{QStringLiteral("FASTREP"), QStringLiteral("Отчёты"), QStringLiteral("store"), QStringLiteral("fr")},
                      {QStringLiteral("APP03"), QStringLiteral("Третье"), QStringLiteral("\\third"), QString()}});
    }
    void TearDown() override { SetTemplatePlaces({}); }

    TempWorkspace workspace;
    ScopedQvr qvr{QByteArray()};
    QString ws;
    TemplatePlaces places;
};

} // namespace

TEST(TemplateLocator, LoginDirectoryComesFromQvr)
{
    TemplatePlaces places;
    places.loginDir = QStringLiteral("/srv/Login");
    SetTemplatePlaces(places);
    const struct {
        const char *qvr;
        const char *expected;
    } cases[] = {
        {nullptr, "/srv/Login"},
        {"A=1;USR: /home/Ivan/login ;B=2", "/home/Ivan/login"},
        {"A=1;USR: h:\\login ;B=2", "h:\\login"},
        {"USR:/x", "/x"},
        {"USR:/first;USR:/second", "/first"},
        {"A=USR:;B", ""},
        {"usr:/lower", "/srv/Login"},
    };
    for (const auto &c : cases) {
        ScopedQvr qvr(c.qvr ? QByteArray(c.qvr) : QByteArray());
        EXPECT_EQ(GetLoginDir(), QString::fromUtf8(c.expected)) << (c.qvr ? c.qvr : "(unset)");
    }
    SetTemplatePlaces({});
    ScopedQvr none{QByteArray()};
    EXPECT_EQ(GetLoginDir(), QString());
}

TEST(TemplateLocator, DbeListPathRules)
{
    const struct {
        const char *admin;
        const char *value;
        const char *expected;
    } cases[] = {
        {"F:\\APPS\\ADMIN", "\\DOCS", "F:\\DOCS"},
        {"F:\\APPS\\ADMIN", "E:\\X", "E:\\X"},
        {"F:\\APPS\\ADMIN", "X", "F:\\APPS\\X"},
        {"F:\\APPS\\ADMIN\\", "docs\\rep", "F:\\APPS\\DOCS\\REP"},
        {"F:\\ADMIN", "X", "F:\\X"},
        {"/srv/Org/ADMIN", "\\Docs\\Rep", "/Docs/Rep"},
        {"/srv/Org/ADMIN", "Rep\\Fast", "/srv/Org/Rep/Fast"},
        {"/srv/Org/ADMIN/", "store", "/srv/Org/store"},
        {"/ADMIN", "store", "/store"},
        {"/srv/Org/ADMIN", "e:\\x", "E:\\X"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ResolveDbePath(QString::fromUtf8(c.admin), QString::fromUtf8(c.value)), QString::fromUtf8(c.expected))
            << c.admin << " + " << c.value;
}

TEST(TemplateLocator, FindAdminDirLooksUpwards)
{
    TempWorkspace workspace;
    const QString ws = workspace.path();
    QDir(ws).mkpath(QStringLiteral("A/B/C"));
    QDir(ws).mkpath(QStringLiteral("A/ADMIN"));
    QDir(ws).mkpath(QStringLiteral("L/admin"));
    QDir(ws).mkpath(QStringLiteral("L/M"));
    QDir(ws).mkpath(QStringLiteral("N/O"));
    if (!FindAdminDir(ws).isEmpty())
        GTEST_SKIP() << "an ADMIN directory exists above the temporary folder";
    EXPECT_EQ(FindAdminDir(ws + QStringLiteral("/A/B")), ws + QStringLiteral("/A/ADMIN"));
    EXPECT_EQ(FindAdminDir(ws + QStringLiteral("/A/B/C/")), ws + QStringLiteral("/A/ADMIN"));
    EXPECT_EQ(FindAdminDir(ws + QStringLiteral("/A")), ws + QStringLiteral("/A/ADMIN"));
    // Tables and folders copied from Windows keep whatever case they had.
    EXPECT_EQ(FindAdminDir(ws + QStringLiteral("/L/M")), ws + QStringLiteral("/L/admin"));
    EXPECT_EQ(FindAdminDir(ws + QStringLiteral("/N/O")), QString());
    QDir::setCurrent(ws + QStringLiteral("/A/B"));
    EXPECT_EQ(FindAdminDir(QString()), ws + QStringLiteral("/A/ADMIN"));
}

TEST(TemplateLocator, AppAliases)
{
    EXPECT_EQ(AppAlias(9), QStringLiteral("FASTREP"));
    EXPECT_EQ(AppAlias(0), QStringLiteral("APP00"));
    EXPECT_EQ(AppAlias(17), QStringLiteral("APP17"));
    for (int index : {13, 18, 100, 255})
        EXPECT_EQ(AppAlias(static_cast<quint8>(index)), QStringLiteral("НЕТ АЛИАСА")) << index;
}

TEST_F(LocatorTest, ChainTriesThePlacesInOrder)
{
    const QString name = QStringLiteral("Шаблон.rtf");
    const QString store = ws + QStringLiteral("/org/store");
    const struct {
        const char *trace;
        quint8 mode;
        QStringList holders; // folders that hold the file ("." is the current folder)
        QString expected;
    } cases[] = {
        {"developer template folder first", 0, {"dev", "org/store", "local"}, ws + "/dev/" + name},
        {"developer report folder not in mode 0", 0, {"devrep", "org/store"}, store + "/" + name},
        {"developer report folder in mode 1", 1, {"devrep", "org/store"}, ws + "/devrep/" + name},
        {"developer template folder not in mode 1", 1, {"dev", "local"}, ws + "/local/" + name},
        {"report store before local", 0, {"org/store", "local", "."}, store + "/" + name},
        {"local before network", 0, {"local", "net", "."}, ws + "/local/" + name},
        {"network before current", 0, {"net", ".", "RPT"}, ws + "/net/" + name},
        {"current as bare name", 0, {".", "RPT"}, name},
        {"RPT last", 0, {"RPT"}, ws + "/RPT/" + name},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.trace);
        for (const QString &holder : c.holders)
            Touch(ws + QLatin1Char('/') + holder + QLatin1Char('/') + name);
        const QString given = ws + QStringLiteral("/Shablon/") + name;
        QString path = given;
        EXPECT_TRUE(FindReportFile(path, c.mode, true));
        EXPECT_EQ(path, c.expected);
        for (const QString &holder : c.holders)
            QFile::remove(ws + QLatin1Char('/') + holder + QLatin1Char('/') + name);
    }
}

TEST_F(LocatorTest, FileFoundNowhere)
{
    const QString given = ws + QStringLiteral("/Shablon/Нет.doc");
    QString path = given;
    try {
        FindTemplateFile(path);
        ADD_FAILURE() << "found";
    } catch (const OrmenaError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Не найден файл\r") + given);
    }
    EXPECT_EQ(path, given);

    ScriptedMessageBoxes boxes;
    EXPECT_FALSE(FindReportFile(path, 1, false));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Не найден файл\r") + given);
    EXPECT_EQ(boxes.shown()[0].caption, ApplicationTitle());
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
}

TEST_F(LocatorTest, ExistingFileIsKeptAndTemplatePathsAreTrimmed)
{
    const QString file = ws + QStringLiteral("/Shablon/Есть.doc");
    Touch(file);
    Touch(ws + QStringLiteral("/dev/Есть.doc"));
    QString path = QStringLiteral("  ") + file + QStringLiteral(" ");
    EXPECT_TRUE(FindTemplateFile(path));
    EXPECT_EQ(path, file);
    path = file;
    EXPECT_TRUE(FindReportFile(path, 0, true));
    EXPECT_EQ(path, file);
}

TEST_F(LocatorTest, WithoutTheRegistryTheSearchEndsWithTheAliasFailure)
{
    places.loginDir.clear();
    SetTemplatePlaces(places);
    const QString name = QStringLiteral("Бланк.doc");
    for (const char *holder : {"local", "net", ".", "RPT"})
        Touch(ws + QLatin1Char('/') + QString::fromLatin1(holder) + QLatin1Char('/') + name);
    QString path = ws + QStringLiteral("/Shablon/") + name;
    try {
        FindTemplateFile(path);
        ADD_FAILURE() << "found " << path.toStdString();
    } catch (const OrmenaError &e) {
        EXPECT_EQ(e.message(), AliasFailure(QStringLiteral("FASTREP"), QString()));
    }
    // The developer template folder is still tried before the registry.
    Touch(ws + QStringLiteral("/dev/") + name);
    EXPECT_TRUE(FindTemplateFile(path));
    EXPECT_EQ(path, ws + QStringLiteral("/dev/") + name);
}

TEST_F(LocatorTest, QvrPointsToTheRegistry)
{
    places.loginDir.clear();
    SetTemplatePlaces(places);
    ScopedQvr qvr(QStringLiteral("X=1;USR: %1/login ;Y=2").arg(ws).toUtf8());
    QString directory;
    LocateAppDir(kReportStoreApp, QString(), directory);
    EXPECT_EQ(directory, ws + QStringLiteral("/org/store"));
}

TEST_F(LocatorTest, LocateAppDirByAccessCase)
{
    QDir(ws).mkpath(QStringLiteral("org/work/sub"));
    const QString start = ws + QStringLiteral("/org/work/sub");
    // The start-path case finds the organisation by its administration directory.
    WriteOrganTable(ws + QStringLiteral("/login"),
                    {{QStringLiteral("COMMON"), QStringLiteral("Общая"), ws + QStringLiteral("/org/ADMIN")}});
    QString directory;
    LocateAppDir(3, start, directory);
    EXPECT_EQ(directory, QStringLiteral("/third"));
    LocateAppDir(13, start, directory);
    EXPECT_EQ(directory, ws + QStringLiteral("/org/ADMIN"));

    const struct {
        quint8 index;
        QString start;
        QString message;
    } failures[] = {
        {9, ws + QStringLiteral("/missing/"),
         QStringLiteral("Каталог %1 не найден\rСообщите разработчику!").arg(ws + QStringLiteral("/missing"))},
        {5, start, AliasFailure(QStringLiteral("APP05"), ws + QStringLiteral("/org/ADMIN"))},
        {20, start, AliasFailure(QStringLiteral("НЕТ АЛИАСА"), QString())},
    };
    for (const auto &f : failures) {
        SCOPED_TRACE(int(f.index));
        try {
            LocateAppDir(f.index, f.start, directory);
            ADD_FAILURE() << "resolved to " << directory.toStdString();
        } catch (const OrmenaError &e) {
            EXPECT_EQ(e.message(), f.message);
        }
        EXPECT_TRUE(directory.isEmpty());
    }
}

TEST_F(LocatorTest, OrganPropertiesFollowTheAdminCase)
{
    TDBOrgan organ;
    EXPECT_EQ(organ.AdminCase(), acStartPath);
    EXPECT_EQ(organ.StartPath(), QDir::currentPath());
    organ.SetOrgAlias(QStringLiteral("OTHER")); // closed in this case
    EXPECT_EQ(organ.OrgAlias(), QString());

    organ.SetAdminCase(acCommon);
    EXPECT_EQ(organ.OrgAlias(), QStringLiteral("COMMON"));
    EXPECT_EQ(organ.OrgName(), QStringLiteral("Общая организация"));
    EXPECT_EQ(organ.AdminPath(), ws + QStringLiteral("/org/ADMIN"));
    organ.SetStartPath(QStringLiteral("/tmp")); // closed in this case
    EXPECT_EQ(organ.StartPath(), QString());
    organ.SetDBAlias(QStringLiteral(" fastrep "));
    EXPECT_EQ(organ.DBAlias(), QStringLiteral("FASTREP"));
    EXPECT_EQ(organ.DBPath(), ws + QStringLiteral("/org/store"));
    EXPECT_EQ(organ.DBName(), QStringLiteral("Отчёты"));
    EXPECT_EQ(organ.DBGuide(), QStringLiteral("FR"));

    organ.SetAdminCase(acOrgAlias);
    organ.SetOrgAlias(QStringLiteral(" other "));
    EXPECT_EQ(organ.OrgAlias(), QStringLiteral("OTHER"));
    EXPECT_EQ(organ.OrgName(), QStringLiteral("Другая"));
    EXPECT_EQ(organ.AdminPath(), QStringLiteral("/nowhere/ADMIN"));
    EXPECT_EQ(organ.DBPath(), QString());
}

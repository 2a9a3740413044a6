// The main window and its dialogs at the common screen sizes: every caption
// fits its control and every tool bar button is on the bar. With the
// environment variable ORMENA_SCREENSHOTS set to a folder, pictures of the
// windows are saved there for a person to look at.
#include "main_window_fixture.h"

#include "app/settings_window.h"
#include "ui/change_number_dialog.h"
#include "ui/db_grid.h"
#include "ui/db_text.h"
#include "ui/edit_document_dialog.h"
#include "ui/find_dialog.h"
#include "ui/value_editor.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

class MainWindowLayoutTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // A fuller list, as an operator's database looks after a while.
        const QStringList more = {QStringLiteral("Поставка оборудования для котельной № 2"),
                                  QStringLiteral("ООО \"Северный ветер\""), QStringLiteral("Ремонт кровли склада"),
                                  QStringLiteral("Иванов Иван Иванович"), QStringLiteral("Договор аренды помещения")};
        int number = 4;
        for (const QString &name : more)
            sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (?, ?, ?)"),
                {contractId, number++, name});
        sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES (?, ?), (?, ?)"),
            {QStringLiteral("Приказ о приёме на работу"), QStringLiteral("prikaz.doc"),
             QStringLiteral("Акт выполненных работ"), QStringLiteral("akt.rtf")});
        data->Shablon->Requery();
        ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Id"), contractId));
        data->LoadDocuments(0);
        locateDocument(QStringLiteral("Бета"));
    }

    // Captions that do not fit their control, named for the report.
    static QStringList clippedTexts(QWidget *window)
    {
        QStringList clipped;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (!label->isVisible() || label->wordWrap() || qobject_cast<TDBText *>(label) || label->text().isEmpty())
                continue;
            if (label->width() < label->minimumSizeHint().width())
                clipped.append(label->text());
        }
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            if (!button->isVisible() || button->text().isEmpty())
                continue;
            if (button->width() < button->minimumSizeHint().width())
                clipped.append(button->text());
        }
        return clipped;
    }

    static void save(QWidget *window, const QString &name)
    {
        const QString folder = qEnvironmentVariable("ORMENA_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        EXPECT_TRUE(window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png"))));
    }
};

} // namespace

TEST_F(MainWindowLayoutTest, EverythingFitsAtCommonScreenSizes)
{
    openMain();
    main->showNormal();
    for (const QSize size : {QSize(1366, 768), QSize(1920, 1080)}) {
        SCOPED_TRACE(size.width());
        main->resize(size);
        QTest::qWait(50);
        EXPECT_TRUE(clippedTexts(main.get()).isEmpty()) << clippedTexts(main.get()).join(QLatin1Char(';')).toStdString();
        for (QToolBar *bar : main->findChildren<QToolBar *>()) {
            auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
            EXPECT_FALSE(more && more->isVisible()) << bar->objectName().toStdString() << " hides buttons";
            EXPECT_EQ(bar->y(), main->ToolBar1->y()) << "all tool bars share one row";
        }
        // The document grid's columns fit the panel at its first width.
        EXPECT_LE(main->GridFio->columnWidth(0) + 327, main->GridFio->viewport()->width() + 1);
        save(main.get(), QStringLiteral("main_%1x%2").arg(size.width()).arg(size.height()));
    }

    // The in-place editor over a secret value.
    main->resize(1366, 768);
    QTest::qWait(50);
    main->GridValue->setFocus();
    data->FioValue->SetRecNo(2);
    QTest::keyClick(main->GridValue, Qt::Key_Return);
    ASSERT_TRUE(main->Edit->isVisible());
    save(main.get(), QStringLiteral("main_value_editor"));
    QTest::keyClick(main->Edit, Qt::Key_Escape);

    // The menus and the document list's popup, with the entry that is never enabled.
    for (QMenu *menu : {main->MenuFile, main->MenuEdit, main->MenuService, main->PopupFio}) {
        menu->popup(main->mapToGlobal(QPoint(20, 40)));
        QTest::qWait(50);
        EXPECT_TRUE(clippedTexts(menu).isEmpty());
        save(menu, QStringLiteral("menu_") + menu->title() + menu->objectName());
        menu->hide();
    }

    // Each embedded dialog and the settings window, as the operator sees them.
    const struct {
        QWidget *dialog;
        Qt::Key key;
        const char *name;
    } dialogs[] = {
        {main->fEditFio, Qt::Key_F4, "dialog_edit_document"},
        {main->fChangeNPP, Qt::Key_F6, "dialog_change_number"},
        {main->fFinde, Qt::Key_F3, "dialog_find"},
    };
    for (const auto &d : dialogs) {
        SCOPED_TRACE(d.name);
        whileModal(
            d.dialog,
            [&] {
                if (d.dialog == main->fFinde) {
                    QTest::mouseClick(main->fFinde->Edit_Name, Qt::LeftButton);
                    typeText(main->fFinde->Edit_Name, QStringLiteral("пост"));
                    EXPECT_FALSE(main->fFinde->LbFindeInfo->text().isEmpty());
                }
                EXPECT_TRUE(clippedTexts(d.dialog).isEmpty()) << clippedTexts(d.dialog).join(QLatin1Char(';')).toStdString();
                save(d.dialog, QString::fromLatin1(d.name));
                QTest::keyClick(d.dialog, Qt::Key_Escape);
            },
            [&] { keyOnMain(d.key); });
    }
    whileModal(
        main->fSettigs,
        [&] {
            EXPECT_TRUE(clippedTexts(main->fSettigs).isEmpty());
            EXPECT_GE(main->fSettigs->width(), 469);
            EXPECT_GE(main->fSettigs->height(), 184);
            save(main->fSettigs, QStringLiteral("dialog_settings"));
            QTest::keyClick(main->fSettigs, Qt::Key_Escape);
        },
        [&] { main->actSettings->trigger(); });
}

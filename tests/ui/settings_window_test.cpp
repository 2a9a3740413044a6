// The settings window and the saved layout of the main window: what a first
// start shows and writes, what comes back after a restart, the lenient reading
// of damaged values, and the OK/Cancel semantics of the store-documents box.
#include "main_window_fixture.h"

#include "app/grid_layout_store.h"
#include "app/settings_window.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

namespace {

class SettingsWindowTest : public MainWindowTest {
protected:
    // A value of the store, read as the program reads it, or nothing.
    std::optional<QString> storedString(const QString &key, const QString &name, const QString &subKey = QString())
    {
        if (!OpenSettingsKey(key))
            return std::nullopt;
        SettingsKeyCloser closer;
        return SettingsKey()->ReadStringValue(name, subKey);
    }
    std::optional<double> storedDouble(const QString &key, const QString &name)
    {
        if (!OpenSettingsKey(key))
            return std::nullopt;
        SettingsKeyCloser closer;
        return SettingsKey()->ReadDouble(name);
    }
    void store(const std::function<void(TSettingsKey *)> &write, const QString &key = QStringLiteral("Grids"))
    {
        ASSERT_TRUE(OpenSettingsKey(key));
        SettingsKeyCloser closer;
        write(SettingsKey());
    }
    // Opens the settings window from its menu entry and lets answer drive it.
    void withSettings(const std::function<void(TfSettigs *)> &answer)
    {
        TfSettigs *window = main->fSettigs;
        whileModal(window, [&] { answer(window); }, [&] { main->actSettings->trigger(); });
    }
};

} // namespace

TEST_F(SettingsWindowTest, WindowShowsItsPageBoxExplanationAndButtons)
{
    openMain();
    TfSettigs *window = main->fSettigs;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Настройки программы"));
    EXPECT_EQ(window->PageControl1->count(), 1);
    EXPECT_EQ(window->PageControl1->tabText(0), QStringLiteral("Общие"));
    EXPECT_EQ(window->cb_SaveDocDB->text(), QStringLiteral("Сохранять созданный документ в базе"));
    EXPECT_EQ(window->Label1->text(),
              QStringLiteral("Если флажок установлен, то после создания документа, он будет автоматически\n"
                             "сохранен в базе данных и при следующем формировании документа Вам будет \n"
                             "предложено открыть документ сохраненный в базе или сформировать заново.\n"
                             "При снятом флажке экономится место на диске."));
    EXPECT_EQ(window->BitBtn1->text(), QStringLiteral("OK"));
    EXPECT_EQ(window->BitBtn2->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(window->BitBtn1->isDefault());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(SettingsWindowTest, FirstStartShowsTheDesignAndWritesEverythingAtExit)
{
    openMain();
    EXPECT_EQ(main->panelFioWidth(), TfMain::kPanelFioWidth);
    EXPECT_EQ(main->se_GridFioLines->value(), 2);
    EXPECT_EQ(main->se_GridValueLines->value(), 2);
    EXPECT_EQ(main->GridFio->columnWidth(0), 57);
    EXPECT_EQ(main->GridValue->columnWidth(0), 126);
    EXPECT_FALSE(main->fSettigs->cb_SaveDocDB->isChecked());
    EXPECT_FALSE(data->SaveDocToDb);
    EXPECT_FALSE(storedString(QStringLiteral("Data"), QStringLiteral("SaveDocToDb")));

    closeMain();
    EXPECT_EQ(storedDouble(QStringLiteral("Grids"), QStringLiteral("ValueRow")), 2.0);
    EXPECT_EQ(storedDouble(QStringLiteral("Grids"), QStringLiteral("FioRow")), 2.0);
    EXPECT_EQ(storedString(QStringLiteral("Grids"), QStringLiteral("Panel_Fio_Width")), QStringLiteral("410"));
    EXPECT_EQ(storedString(QStringLiteral("Grids"), QStringLiteral("GridFio.NPP"), QStringLiteral("TfMainGridFio")),
              QStringLiteral("0,57,0,1,0,7,0"));
    EXPECT_EQ(storedString(QStringLiteral("Grids"), QStringLiteral("GridValue.Script"),
                           QStringLiteral("TfMainGridValue")),
              QStringLiteral("0,126,0,1,0,7,0"));
    EXPECT_TRUE(storedString(QStringLiteral("Grids"), QStringLiteral("GridFio.Name"), QStringLiteral("TfMainGridFio")));
    EXPECT_TRUE(storedString(QStringLiteral("Grids"), QStringLiteral("GridValue.Value_"),
                             QStringLiteral("TfMainGridValue")));
    EXPECT_EQ(storedString(QStringLiteral("Data"), QStringLiteral("SaveDocToDb")), QStringLiteral("0"));
}

TEST_F(SettingsWindowTest, LayoutRowHeightsPanelWidthAndOptionSurviveARestart)
{
    openMain();
    // Reorder and resize columns, click a title, step the row heights, drag the splitter.
    main->GridFio->horizontalHeader()->moveSection(1, 0);
    main->GridValue->setColumnWidth(0, 200);
    QHeaderView *header = main->GridFio->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(0) + 10, header->height() / 2));
    EXPECT_EQ(main->GridFio->sortMarker(0), 1);
    QTest::keyClick(main->se_GridFioLines, Qt::Key_Up);
    QTest::keyClick(main->se_GridFioLines, Qt::Key_Up);
    QTest::keyClick(main->se_GridValueLines, Qt::Key_Up);
    QSplitterHandle *handle = main->Splitter->handle(1);
    const QPoint grip = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(handle, grip - QPoint(110, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip - QPoint(110, 0));
    const int dragged = main->panelFioWidth();
    EXPECT_LT(dragged, TfMain::kPanelFioWidth);
    withSettings([](TfSettigs *window) {
        QTest::mouseClick(window->cb_SaveDocDB, Qt::LeftButton);
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    });
    EXPECT_TRUE(data->SaveDocToDb);
    closeMain();

    data->SaveDocToDb = false; // a new start: the module begins without the option
    openMain();
    EXPECT_EQ(main->GridFio->horizontalHeader()->logicalIndex(0), 1);
    EXPECT_EQ(main->GridFio->sortMarker(0), 1);
    EXPECT_EQ(main->GridFio->sortMarker(1), 0);
    EXPECT_EQ(main->GridValue->columnWidth(0), 200);
    EXPECT_EQ(main->se_GridFioLines->value(), 4);
    EXPECT_EQ(main->GridFio->rowLines(), 4);
    EXPECT_EQ(main->se_GridValueLines->value(), 3);
    EXPECT_EQ(main->GridValue->rowLines(), 3);
    EXPECT_EQ(main->panelFioWidth(), dragged);
    EXPECT_TRUE(main->fSettigs->cb_SaveDocDB->isChecked());
    EXPECT_TRUE(data->SaveDocToDb);
}

TEST_F(SettingsWindowTest, AMissingOrDamagedRowHeightSetsBothToTwo)
{
    const struct {
        const char *what;
        std::function<void(TSettingsKey *)> damage;
    } cases[] = {
        {"FioRow missing", [](TSettingsKey *key) { key->WriteDouble(QStringLiteral("ValueRow"), 5); }},
        {"ValueRow as text", [](TSettingsKey *key) {
             key->WriteString(QStringLiteral("ValueRow"), QStringLiteral("5"));
             key->WriteDouble(QStringLiteral("FioRow"), 5);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(OpenSettingsKey(QString()));
        SettingsKey()->DeleteKey(QStringLiteral("Grids"));
        CloseSettingsKey();
        store(c.damage);
        openMain();
        EXPECT_EQ(main->se_GridFioLines->value(), 2);
        EXPECT_EQ(main->se_GridValueLines->value(), 2);
        closeMain();
    }

    // Out-of-range heights are held to the spin edits' range; damaged columns keep the design.
    store([](TSettingsKey *key) {
        key->WriteDouble(QStringLiteral("ValueRow"), 1e9);
        key->WriteDouble(QStringLiteral("FioRow"), -3);
        key->WriteString(QStringLiteral("GridFio.NPP"), QStringLiteral("x,-5,9"), QStringLiteral("TfMainGridFio"));
        key->WriteString(QStringLiteral("Panel_Fio_Width"), QStringLiteral("много"));
    });
    openMain();
    EXPECT_EQ(main->se_GridValueLines->value(), 10);
    EXPECT_EQ(main->se_GridFioLines->value(), 0);
    EXPECT_EQ(main->GridFio->columnWidth(0), 57);
    EXPECT_EQ(main->GridFio->sortMarker(0), 0);
    EXPECT_EQ(main->panelFioWidth(), TfMain::kPanelFioWidth);
}

TEST_F(SettingsWindowTest, StoredOptionTicksTheBoxAtStart)
{
    store([](TSettingsKey *key) { key->WriteString(QStringLiteral("SaveDocToDb"), QStringLiteral("1")); },
          QStringLiteral("Data"));
    openMain();
    EXPECT_TRUE(main->fSettigs->cb_SaveDocDB->isChecked());
    EXPECT_TRUE(data->SaveDocToDb);
}

TEST_F(SettingsWindowTest, CancelRestoresTheBoxAndTheFlagAndOkSavesAtOnce)
{
    openMain();
    const struct {
        const char *what;
        bool escape;
    } cancels[] = {{"Cancel button", false}, {"Esc", true}};
    for (const auto &c : cancels) {
        SCOPED_TRACE(c.what);
        withSettings([&](TfSettigs *window) {
            EXPECT_EQ(QApplication::activeModalWidget(), window);
            QTest::mouseClick(window->cb_SaveDocDB, Qt::LeftButton);
            EXPECT_TRUE(window->cb_SaveDocDB->isChecked());
            EXPECT_TRUE(data->SaveDocToDb); // the option takes effect before OK
            if (c.escape)
                QTest::keyClick(window->cb_SaveDocDB, Qt::Key_Escape);
            else
                QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
        });
        EXPECT_FALSE(main->fSettigs->cb_SaveDocDB->isChecked());
        EXPECT_FALSE(data->SaveDocToDb);
        EXPECT_FALSE(storedString(QStringLiteral("Data"), QStringLiteral("SaveDocToDb")));
    }

    main->se_GridFioLines->setValue(6);
    withSettings([](TfSettigs *window) {
        QTest::mouseClick(window->cb_SaveDocDB, Qt::LeftButton);
        QTest::keyClick(window->cb_SaveDocDB, Qt::Key_Return); // the default button: OK
    });
    EXPECT_TRUE(data->SaveDocToDb);
    EXPECT_EQ(storedString(QStringLiteral("Data"), QStringLiteral("SaveDocToDb")), QStringLiteral("1"));
    EXPECT_EQ(storedDouble(QStringLiteral("Grids"), QStringLiteral("FioRow")), 6.0);

    // Unticking and cancelling keeps the ticked state of the last showing.
    withSettings([&](TfSettigs *window) {
        EXPECT_TRUE(window->cb_SaveDocDB->isChecked());
        QTest::mouseClick(window->cb_SaveDocDB, Qt::LeftButton);
        EXPECT_FALSE(data->SaveDocToDb);
        QTest::mouseClick(window->BitBtn2, Qt::LeftButton);
    });
    EXPECT_TRUE(main->fSettigs->cb_SaveDocDB->isChecked());
    EXPECT_TRUE(data->SaveDocToDb);
}

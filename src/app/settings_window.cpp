#include "app/settings_window.h"

#include "app/grid_layout_store.h"
#include "app/settings_store.h"
#include "common/message_boxes.h"
#include "db/data_module.h"
#include "ui/db_grid.h"
#include "ui/main_window.h"
#include "ui/ui_helpers.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kFormClass = QStringLiteral("TfMain");
const QString kGridsKey = QStringLiteral("Grids");
const QString kDataKey = QStringLiteral("Data");
constexpr int kDefaultRowLines = 2;

int RowLinesOf(double stored)
{
    return static_cast<int>(std::lround(std::clamp(stored, 0.0, 10.0)));
}

void RestoreGrid(TDBGrid *grid, const QString &gridName)
{
    QList<TGridColumnLayout> columns = grid->columnLayouts();
    if (RestoreGridLayout(kFormClass, gridName, columns))
        grid->applyColumnLayouts(columns);
}

} // namespace

const QString TfSettigs::kExplanation = QStringLiteral(
    "Если флажок установлен, то после создания документа, он будет автоматически\r\n"
    "сохранен в базе данных и при следующем формировании документа Вам будет \r\n"
    "предложено открыть документ сохраненный в базе или сформировать заново.\r\n"
    "При снятом флажке экономится место на диске.");

TfSettigs::TfSettigs(TfMain *main)
    : QDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_main(main)
{
    setObjectName(QStringLiteral("fSettigs"));
    setWindowTitle(QStringLiteral("Настройки программы"));
    setModal(true);

    PageControl1 = new QTabWidget(this);
    TabSheet1 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("Общие"));

    cb_SaveDocDB = new QCheckBox(QStringLiteral("Сохранять созданный документ в базе"), TabSheet1);
    cb_SaveDocDB->setObjectName(QStringLiteral("cb_SaveDocDB"));
    cb_SaveDocDB->setChecked(true);

    Label1 = new QLabel(QString(kExplanation).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), TabSheet1);
    Label1->setWordWrap(true);
    Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1->setContentsMargins(6, 4, 6, 4);
    QPalette navy = Label1->palette();
    navy.setColor(QPalette::WindowText, QColor(0x00, 0x00, 0x80));
    Label1->setPalette(navy);
    // Wide enough that the text breaks only where its own line breaks are.
    int widest = 0;
    for (const QString &line : Label1->text().split(QLatin1Char('\n')))
        widest = std::max(widest, Label1->fontMetrics().horizontalAdvance(line));
    Label1->setMinimumWidth(widest + 2 * Label1->frameWidth() + 12 + 4);

    auto *page = new QVBoxLayout(TabSheet1);
    page->addWidget(cb_SaveDocDB);
    page->addSpacing(4);
    page->addWidget(Label1);
    page->addStretch();

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *button : {BitBtn1, BitBtn2})
        button->setMinimumWidth(std::max(90, button->sizeHint().width()));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    setMinimumSize(469, 184);
    resize(sizeHint().expandedTo(QSize(469, 184)));

    connect(cb_SaveDocDB, &QCheckBox::toggled, this, [this] { cb_SaveDocDBClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn2Click(); }); });
}

TfSettigs::~TfSettigs()
{
    // FormDestroy: the layout and the option are written at every exit.
    RunHandler([this] { SaveSettings(); });
}

// ---------------------------------------------------------------- loading and saving

void TfSettigs::LoadSettings()
{
    SettingsKeyCloser closer;
    if (!OpenSettingsKey(kGridsKey)) {
        // Nothing is loaded; the box shows what the data module does.
        setOption(DataModule() && DataModule()->SaveDocToDb);
        return;
    }
    loadLayout();
    if (!OpenSettingsKey(kDataKey)) {
        setOption(DataModule() && DataModule()->SaveDocToDb);
        return;
    }
    const bool saveDocToDb = SettingsKey()->ReadBool(QStringLiteral("SaveDocToDb"), false);
    cb_SaveDocDB->setChecked(saveDocToDb);
    if (TfData *data = DataModule())
        data->SaveDocToDb = saveDocToDb;
}

void TfSettigs::loadLayout()
{
    TSettingsKey *key = SettingsKey();
    RestoreGrid(m_main->GridFio, QStringLiteral("GridFio"));
    RestoreGrid(m_main->GridValue, QStringLiteral("GridValue"));

    const std::optional<double> valueRows = key->ReadDouble(QStringLiteral("ValueRow"));
    const std::optional<double> fioRows = key->ReadDouble(QStringLiteral("FioRow"));
    if (valueRows && fioRows) {
        m_main->se_GridValueLines->setValue(RowLinesOf(*valueRows));
        m_main->se_GridFioLines->setValue(RowLinesOf(*fioRows));
    } else {
        m_main->se_GridValueLines->setValue(kDefaultRowLines);
        m_main->se_GridFioLines->setValue(kDefaultRowLines);
    }

    const int width = key->ReadInteger(QStringLiteral("Panel_Fio_Width"), m_main->panelFioWidth());
    if (width > 0)
        m_main->setPanelFioWidth(width);
}

void TfSettigs::SaveSettings()
{
    SettingsKeyCloser closer;
    if (!OpenSettingsKey(kGridsKey))
        return;
    SaveGridLayout(kFormClass, QStringLiteral("GridFio"), m_main->GridFio->columnLayouts());
    SaveGridLayout(kFormClass, QStringLiteral("GridValue"), m_main->GridValue->columnLayouts());
    TSettingsKey *key = SettingsKey();
    key->WriteDouble(QStringLiteral("ValueRow"), m_main->se_GridValueLines->value());
    key->WriteDouble(QStringLiteral("FioRow"), m_main->se_GridFioLines->value());
    key->WriteInteger(QStringLiteral("Panel_Fio_Width"), m_main->panelFioWidth());
    if (OpenSettingsKey(kDataKey))
        SettingsKey()->WriteBool(QStringLiteral("SaveDocToDb"), cb_SaveDocDB->isChecked());
}

// ---------------------------------------------------------------- window

void TfSettigs::setOption(bool checked)
{
    cb_SaveDocDB->setChecked(checked);
    cb_SaveDocDBClick();
}

void TfSettigs::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfSettigs::FormShow()
{
    SaveDocDBOnShow = cb_SaveDocDB->isChecked();
}

void TfSettigs::cb_SaveDocDBClick()
{
    if (TfData *data = DataModule())
        data->SaveDocToDb = cb_SaveDocDB->isChecked();
}

void TfSettigs::BitBtn1Click()
{
    SaveSettings();
    accept();
}

void TfSettigs::BitBtn2Click()
{
    cb_SaveDocDB->setChecked(SaveDocDBOnShow);
    QDialog::reject();
}

void TfSettigs::reject()
{
    RunHandler([this] { BitBtn2Click(); });
}

#include "ui/templates_window.h"

#include "common/message_boxes.h"
#include "common/text_utils.h"
#include "common/wait_form.h"
#include "db/data_module.h"
#include "docs/word_automation.h"
#include "ui/action_button.h"
#include "ui/create_template_dialog.h"
#include "ui/db_edit.h"
#include "ui/db_grid.h"
#include "ui/edit_panel.h"
#include "ui/ui_helpers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kName = QStringLiteral("Name");
const QString kShablon = QStringLiteral("Shablon");

// The picture of the edit's ellipsis button: three dots.
QIcon EllipsisIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QApplication::palette().color(QPalette::ButtonText));
    for (int x : {3, 8, 13})
        painter.drawEllipse(QPointF(x, 11), 1.4, 1.4);
    return QIcon(pixmap);
}

QString RunOpenDialog(QWidget *owner, const TfShablon::OpenDialogRequest &request)
{
    QFileDialog dialog(owner, request.title, request.initialDir, request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

// A file name the template folder can hold: not empty before its extension and
// without path separators or characters that file systems refuse.
bool AcceptableFileName(const QString &fileName)
{
    if (fileName.isEmpty() || fileName.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : fileName) {
        if (c.unicode() < 32 || QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

} // namespace

TfShablon::TfShablon(TfData *data, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_data(data)
{
    setObjectName(QStringLiteral("fShablon"));
    setWindowTitle(QStringLiteral("Список шаблонов"));
    OpenDialog = RunOpenDialog;
    createComponents();
    setFixedSize(587, 348);
}

TfShablon::~TfShablon() = default;

void TfShablon::createComponents()
{
    actAdd = new QAction(QStringLiteral("Добавить"), this);
    actAdd->setShortcut(Qt::Key_F5);
    actEdit = new QAction(QStringLiteral("Изменить"), this);
    actEdit->setShortcut(Qt::Key_F4);
    actCreateShablon = new QAction(QStringLiteral("Создать пустой шаблон документа"), this);
    actShowShablon = new QAction(QStringLiteral("Изменение шаблона документа"), this);
    for (QAction *action : {actAdd, actEdit, actCreateShablon, actShowShablon}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(actAdd, &QAction::triggered, this, [this] { actAddExecute(); });
    connect(actEdit, &QAction::triggered, this, [this] { actEditExecute(); });
    connect(actCreateShablon, &QAction::triggered, this, [this] { RunHandler([this] { actCreateShablonExecute(); }); });
    connect(actShowShablon, &QAction::triggered, this, [this] { RunHandler([this] { actShowShablonExecute(); }); });

    QFont bold = font();
    bold.setBold(true);

    Grid = new TDBGrid(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setFont(bold);
    Grid->setRowLines(1);
    Grid->setDataSet(m_data->Shablon);
    Grid->setColumns({
        GridColumn(QStringLiteral("Наименования документа"), kName, 361),
        GridColumn(QStringLiteral("Имя файла шаблона"), kShablon, 197),
    });
    Grid->installEventFilter(this);
    connect(Grid, &QAbstractItemView::doubleClicked, this, [this] { GridDblClick(); });

    PanelEdit = new QWidget(this);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    EditName = new TDBEdit(PanelEdit);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setFixedWidth(354);
    EditName->setMaxLength(255);
    EditName->setDataField(m_data->Shablon, kName);
    EditShablon = new TDBEdit(PanelEdit);
    EditShablon->setObjectName(QStringLiteral("EditShablon"));
    EditShablon->setFixedWidth(218);
    EditShablon->setMaxLength(255);
    EditShablon->setDataField(m_data->Shablon, kShablon);
    EditShablonButton = EditShablon->addAction(EllipsisIcon(), QLineEdit::TrailingPosition);
    EditShablonButton->setToolTip(QStringLiteral("Открыть файл"));
    connect(EditShablonButton, &QAction::triggered, this,
            [this] { RunHandler([this] { EditShablonEditButtons0Click(); }); });
    auto *panelLayout = new QHBoxLayout(PanelEdit);
    panelLayout->setContentsMargins(2, 2, 2, 2);
    panelLayout->addWidget(EditName);
    panelLayout->addWidget(EditShablon);
    panelLayout->addStretch();
    PanelEdit->setEnabled(false);

    m_panel = new TEditPanel(PanelEdit, m_data->Shablon, this);
    m_panel->onExit = [this] { PanelEditExit(); };
    m_panel->onEscape = [this] { EditNameEscape(); };
    m_panel->addControl(EditName);
    m_panel->addControl(EditShablon);
    m_panel->guardGrid(Grid);

    GroupOperations = new QGroupBox(QStringLiteral("Операции с шаблоном документа"), this);
    GroupOperations->setObjectName(QStringLiteral("GroupOperations"));
    GroupOperations->setFont(bold);
    QPalette navy = GroupOperations->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    navy.setColor(QPalette::Text, QColor(0, 0, 128));
    GroupOperations->setPalette(navy);
    btnShowShablon = MakeActionButton(actShowShablon, GroupOperations);
    btnCreateShablon = MakeActionButton(actCreateShablon, GroupOperations);
    QPalette maroon = btnCreateShablon->palette();
    maroon.setColor(QPalette::ButtonText, QColor(128, 0, 0));
    btnCreateShablon->setPalette(maroon);
    btnShablonFld = new QPushButton(GroupOperations);
    btnShablonFld->setAutoDefault(false);
    btnShablonFld->setVisible(false);
    auto *operations = new QVBoxLayout(GroupOperations);
    operations->setContentsMargins(6, 2, 6, 6);
    operations->setSpacing(3);
    QFont normal = font();
    normal.setBold(false); // set explicitly, or the group's bold caption font would be inherited
    for (QPushButton *button : {btnShowShablon, btnCreateShablon, btnShablonFld}) {
        button->setFont(normal);
        button->setFixedWidth(240);
        operations->addWidget(button);
    }
    btnShowShablon->setObjectName(QStringLiteral("btnShowShablon"));
    btnCreateShablon->setObjectName(QStringLiteral("btnCreateShablon"));
    btnShablonFld->setObjectName(QStringLiteral("btnShablonFld"));

    GroupRecords = new QGroupBox(QStringLiteral("Добавление изменение записей"), this);
    GroupRecords->setObjectName(QStringLiteral("GroupRecords"));
    btnAdd = MakeActionButton(actAdd, GroupRecords);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnEdit = MakeActionButton(actEdit, GroupRecords);
    btnEdit->setObjectName(QStringLiteral("btnEdit"));
    auto *records = new QVBoxLayout(GroupRecords);
    records->setContentsMargins(6, 2, 6, 6);
    records->setSpacing(3);
    records->addWidget(btnAdd);
    records->addWidget(btnEdit);
    records->addStretch();

    bbOk = new QPushButton(QStringLiteral("OK"), this);
    bbOk->setObjectName(QStringLiteral("bbOk"));
    bbOk->setFont(bold);
    bbOk->setAutoDefault(false);
    bbOk->setMinimumWidth(90);
    connect(bbOk, &QPushButton::clicked, this, &QDialog::accept);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(GroupOperations, 0, Qt::AlignTop);
    bottom->addWidget(GroupRecords, 1);
    bottom->addWidget(bbOk, 0, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);
    layout->addWidget(Grid, 1);
    layout->addWidget(PanelEdit);
    layout->addLayout(bottom);

    setTabOrder(Grid, EditName);
    setTabOrder(EditName, EditShablon);
    setTabOrder(EditShablon, btnShowShablon);
    setTabOrder(btnShowShablon, btnCreateShablon);
    setTabOrder(btnCreateShablon, btnShablonFld);
    setTabOrder(btnShablonFld, btnAdd);
    setTabOrder(btnAdd, btnEdit);
    setTabOrder(btnEdit, bbOk);

    fCreateShablon = new TfCreateShablon(this);
}

void TfShablon::SetShablonFldAction(QAction *action)
{
    BindButtonToAction(btnShablonFld, action);
}

bool TfShablon::editing() const
{
    return m_panel->editing();
}

QString TfShablon::OpenDialogTitle()
{
    return QStringLiteral("Выбор шаблона документа");
}

QString TfShablon::OpenDialogFilter()
{
    return QStringLiteral("Документ LibreOffice Writer (*.doc *.rtf *.docx *.odt)");
}

QString TfShablon::TemplateFileName(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot < 0 ? name : name.left(dot)) + QStringLiteral(".doc");
}

// ---------------------------------------------------------------- showing and closing

void TfShablon::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfShablon::FormShow()
{
    PanelEdit->setEnabled(editing());
    Grid->setFocus();
}

void TfShablon::done(int result)
{
    // A row still being added or changed is saved first; a refused save keeps the window open.
    if (editing()) {
        PanelEditExit();
        if (editing())
            return;
    }
    QDialog::done(result);
}

bool TfShablon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Grid && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            GridKeyPress();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfShablon::GridDblClick()
{
    bbOk->setFocus();
    bbOk->click();
}

void TfShablon::GridKeyPress()
{
    GridDblClick();
}

// ---------------------------------------------------------------- adding and editing

void TfShablon::actAddExecute()
{
    RunHandler([this] {
        // The row is appended first: when that fails the panel stays closed.
        m_data->Shablon->Append();
        PanelEdit->setEnabled(true);
        EditName->setFocus();
        QCoreApplication::processEvents();
    });
}

void TfShablon::actEditExecute()
{
    // The row goes into edit first: with no row to change the panel stays closed.
    RunHandler([this] {
        m_data->Shablon->Edit();
        PanelEdit->setEnabled(true);
        EditName->setFocus();
    });
}

void TfShablon::EditNameEscape()
{
    if (editing())
        m_data->Shablon->Cancel();
    Grid->setFocus();
    // In a window that is not active the focus change reports no exit: close the panel here.
    if (PanelEdit->isEnabled())
        PanelEditExit();
}

void TfShablon::PanelEditExit()
{
    if (editing()) {
        try {
            m_data->Shablon->Post();
        } catch (const std::exception &error) {
            // The row stays in edit and the panel open, so the operator can correct it or press Esc.
            ShowUnhandledError(error);
            EditName->setFocus();
            return;
        }
        QCoreApplication::processEvents();
        RunHandler([this] { m_data->ReloadTemplates(kName); });
    }
    PanelEdit->setEnabled(false);
    Grid->setFocus();
}

void TfShablon::EditShablonEditButtons0Click()
{
    OpenDialogRequest request;
    request.title = OpenDialogTitle();
    request.initialDir = QDir::current().filePath(QStringLiteral("Shablon"));
    request.filter = OpenDialogFilter();
    request.fileName = EditShablon->text().trimmed();
    const QString chosen = OpenDialog(this, request);
    if (chosen.isEmpty())
        return;
    TDataSet *shablon = m_data->Shablon;
    if (!editing())
        shablon->Edit();
    shablon->SetValue(kShablon, QFileInfo(chosen).fileName());
    EditShablon->setFocus();
}

// ---------------------------------------------------------------- template files

void TfShablon::actShowShablonExecute()
{
    const QString path = m_data->GetTemplateFile();
    OpenWordDocument(path);
}

void TfShablon::CleanFileName()
{
    QLineEdit *edit = fCreateShablon->EditFileName;
    for (const QChar c : {QChar(34), QChar(39), QChar(32)})
        edit->setText(RemoveChar(edit->text().trimmed(), c));
}

void TfShablon::actCreateShablonExecute()
{
    fCreateShablon->EditFileName->setText(
        m_data->Shablon->Active() ? m_data->Shablon->AsString(kName) : QString());
    CleanFileName();
    if (fCreateShablon->execute() != QDialog::Accepted)
        return;
    CleanFileName();
    const QString fileName = TemplateFileName(fCreateShablon->EditFileName->text());
    if (!AcceptableFileName(fileName)) {
        ShowMessageBox(QStringLiteral("Недопустимое имя файла шаблона: ") + fileName
                           + QStringLiteral("\rИмя файла не может быть пустым и не может содержать символы "
                                            "\\ / : * ? \" < > |"),
                       QStringLiteral("Предупреждение!"), mkWarning);
        return;
    }
    const QString path = m_data->TemplateDir + QLatin1Char('/') + fileName;
    if (QFileInfo::exists(path)
        && !AskYesNo(QStringLiteral("Шаблон документа с именем\r") + fileName + QStringLiteral("\r")
                         + QStringLiteral("Уже существует!") + QStringLiteral("\r") + QStringLiteral("\r")
                         + QStringLiteral("Переписать?"),
                     QStringLiteral("Предупреждение!")))
        return;
    ScopedWaitForm wait(QStringLiteral("Создается пустой шаблон - ") + fileName, QStringLiteral("Ожидайте..."),
                        wsAnimation);
    if (CreateWordDocument(path))
        ShowMessageBox(QStringLiteral("Шаблон - ") + fileName + QStringLiteral("\r") + QStringLiteral("Успешно создан!"),
                       QStringLiteral("Сообщение."), mkPlain);
}

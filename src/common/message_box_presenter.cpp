#include "common/message_box_presenter.h"

#include <QApplication>
#include <QWidget>

namespace {

class QtMessageBoxPresenter : public MessageBoxPresenter {
public:
    QMessageBox::StandardButton present(const MessageBoxRequest &request) override
    {
        QWidget *owner = request.owner ? request.owner : QApplication::activeWindow();
        QMessageBox box(request.icon, request.caption, DisplayText(request.text), request.buttons, owner);
        box.setTextFormat(Qt::PlainText);
        if (request.defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(request.defaultButton);
        if (request.escapeButton != QMessageBox::NoButton)
            box.setEscapeButton(request.escapeButton);
        if (request.systemModal) {
            box.setWindowModality(Qt::ApplicationModal);
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
        }
        const int result = box.exec();
        return static_cast<QMessageBox::StandardButton>(result);
    }
};

QtMessageBoxPresenter g_qtPresenter;
MessageBoxPresenter *g_presenter = &g_qtPresenter;

} // namespace

MessageBoxPresenter &CurrentMessageBoxPresenter()
{
    return *g_presenter;
}

MessageBoxPresenter *InstallMessageBoxPresenter(MessageBoxPresenter *presenter)
{
    MessageBoxPresenter *previous = g_presenter;
    g_presenter = presenter ? presenter : &g_qtPresenter;
    return previous;
}

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

ScriptedMessageBoxes::ScriptedMessageBoxes()
{
    m_previous = InstallMessageBoxPresenter(this);
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    InstallMessageBoxPresenter(m_previous);
}

void ScriptedMessageBoxes::setNextAnswer(QMessageBox::StandardButton answer)
{
    m_answers.append(answer);
}

QMessageBox::StandardButton ScriptedMessageBoxes::present(const MessageBoxRequest &request)
{
    m_shown.append(request);
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    ++m_unanswered;
    if (request.escapeButton != QMessageBox::NoButton)
        return request.escapeButton;
    return request.defaultButton != QMessageBox::NoButton ? request.defaultButton : QMessageBox::Ok;
}

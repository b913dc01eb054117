#include "instrument/Mydialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>

namespace
{

DialogSeam* g_activeSeam = nullptr;

constexpr int ConfirmButtonExtraWidth = 10; // the confirmation's buttons are this much wider

QString standardCaption(DialogType type)
{
    switch (type) {
    case DialogType::Warning:
        return QStringLiteral("Warning");
    case DialogType::Error:
        return QStringLiteral("Error");
    case DialogType::Information:
        return QStringLiteral("Information");
    case DialogType::Confirmation:
        return QStringLiteral("Confirm");
    }
    return QString();
}

QMessageBox::Icon iconOf(DialogType type)
{
    switch (type) {
    case DialogType::Warning:
        return QMessageBox::Warning;
    case DialogType::Error:
        return QMessageBox::Critical;
    case DialogType::Information:
        return QMessageBox::Information;
    case DialogType::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// A dialog without buttons could not be closed by a click; it gets OK, as a standard
// message box does.
DialogButtons normalized(DialogButtons buttons)
{
    buttons &= (mbOK | mbCancel);
    return buttons == 0 ? DialogButtons(mbOK) : buttons;
}

// The dialog as it will look: caption and button texts, left to right.
ShownDialog describe(const QString& caption, const QString& text, DialogType type, DialogButtons buttons,
                     bool confirm, const QString& checkText)
{
    ShownDialog d;
    d.caption = caption.isEmpty() ? standardCaption(type) : caption;
    d.text = text;
    d.type = type;
    d.confirm = confirm;
    d.checkText = checkText;
    buttons = normalized(buttons);
    if (buttons & mbOK)
        d.buttons << (confirm ? QStringLiteral("Продолжить") : QStringLiteral("OK"));
    if (buttons & mbCancel) {
        const bool russian = confirm || caption == QStringLiteral("Внимание");
        d.buttons << (russian ? QStringLiteral("Отмена") : QStringLiteral("Cancel"));
    }
    return d;
}

int showModal(const ShownDialog& d, DialogButtons buttons, bool* checked)
{
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(iconOf(d.type));
    box.setWindowTitle(d.caption);
    box.setTextFormat(Qt::PlainText); // texts are shown as they are, never as markup
    box.setText(d.text);

    // ActionRole keeps the buttons in the order they are added (OK, then Cancel) under
    // every platform's button layout; the result is taken from the button clicked.
    buttons = normalized(buttons);
    QPushButton* ok = (buttons & mbOK) ? box.addButton(d.buttons.front(), QMessageBox::ActionRole) : nullptr;
    QPushButton* cancel =
        (buttons & mbCancel) ? box.addButton(d.buttons.back(), QMessageBox::ActionRole) : nullptr;
    if (d.confirm) {
        for (QPushButton* b : {ok, cancel}) {
            if (b)
                b->setMinimumWidth(b->sizeHint().width() + ConfirmButtonExtraWidth);
        }
    }
    box.setDefaultButton(ok ? ok : cancel);
    // Escape and the title bar's close button answer Cancel when there is one, else OK.
    box.setEscapeButton(cancel ? cancel : ok);

    QCheckBox* check = nullptr;
    if (d.confirm) {
        check = new QCheckBox(d.checkText);
        check->setChecked(false);
        box.setCheckBox(check); // the box takes ownership
    }

    box.exec();
    if (checked && check)
        *checked = check->isChecked();
    // Closed without a click on OK (Escape, the close button, the window being closed):
    // the same as the escape button.
    if (ok && box.clickedButton() == ok)
        return mrOk;
    return cancel ? mrCancel : mrOk;
}

int present(const ShownDialog& d, DialogButtons buttons, bool* checked)
{
    if (DialogSeam* seam = DialogSeam::active()) {
        bool check = false;
        const int result = seam->answer(d, &check);
        if (checked && d.confirm)
            *checked = check;
        return result;
    }
    return showModal(d, buttons, checked);
}

} // namespace

int ShowMessageBox(const QString& caption, const QString& text, DialogType type, DialogButtons buttons)
{
    return present(describe(caption, text, type, buttons, false, QString()), buttons, nullptr);
}

int ShowConfirmDialog(const QString& text, const QString& caption, const QString& checkText, bool* checked,
                      DialogType type, DialogButtons buttons)
{
    return present(describe(caption, text, type, buttons, true, checkText), buttons, checked);
}

DialogSeam::DialogSeam() : m_previous(g_activeSeam)
{
    g_activeSeam = this;
}

DialogSeam::~DialogSeam()
{
    // Unlink this seam wherever it stands, so that no seam is left pointing at it.
    if (g_activeSeam == this) {
        g_activeSeam = m_previous;
        return;
    }
    for (DialogSeam* s = g_activeSeam; s; s = s->m_previous) {
        if (s->m_previous == this) {
            s->m_previous = m_previous;
            return;
        }
    }
}

void DialogSeam::setAnswerer(Answerer answerer)
{
    m_answerer = std::move(answerer);
}

void DialogSeam::answerWith(int result, bool check)
{
    m_answerer = [result, check](const ShownDialog&, bool* c) {
        if (c)
            *c = check;
        return result;
    };
}

DialogSeam* DialogSeam::active()
{
    return g_activeSeam;
}

int DialogSeam::answer(const ShownDialog& d, bool* check)
{
    m_shown.push_back(d);
    if (!m_answerer) {
        if (check)
            *check = false;
        return mrOk;
    }
    return m_answerer(d, check);
}

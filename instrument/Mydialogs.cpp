#include "instrument/Mydialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace
{

DialogSeam* g_activeSeam = nullptr;
bool g_russianCaptions = false;

constexpr int ConfirmButtonExtraWidth = 10; // the confirmation's buttons are this much wider
constexpr int ConfirmButtonsApart = 30;     // and their left edges this much further apart

QString standardCaption(DialogType type)
{
    const bool russian = g_russianCaptions;
    switch (type) {
    case DialogType::Warning:
        return russian ? QStringLiteral("Внимание") : QStringLiteral("Warning");
    case DialogType::Error:
        return russian ? QStringLiteral("Ошибка") : QStringLiteral("Error");
    case DialogType::Information:
        return russian ? QStringLiteral("Информация") : QStringLiteral("Information");
    case DialogType::Confirmation:
        return russian ? QStringLiteral("Подтверждение") : QStringLiteral("Confirm");
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

// Standard icons of the four dialog types, as the message box shows them.
QStyle::StandardPixmap pixmapOf(DialogType type)
{
    switch (type) {
    case DialogType::Warning:
        return QStyle::SP_MessageBoxWarning;
    case DialogType::Error:
        return QStyle::SP_MessageBoxCritical;
    case DialogType::Information:
        return QStyle::SP_MessageBoxInformation;
    case DialogType::Confirmation:
        break;
    }
    return QStyle::SP_MessageBoxQuestion;
}

int showMessage(const ShownDialog& d, DialogButtons buttons)
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
    box.setDefaultButton(ok ? ok : cancel);
    // Escape and the title bar's close button answer Cancel when there is one, else OK.
    box.setEscapeButton(cancel ? cancel : ok);

    box.exec();
    // Closed without a click on OK (Escape, the close button, the window being closed):
    // the same as the escape button.
    if (ok && box.clickedButton() == ok)
        return mrOk;
    return cancel ? mrCancel : mrOk;
}

// The confirmation: icon and text, then the buttons, each ConfirmButtonExtraWidth wider than
// a standard one and with their left edges ConfirmButtonsApart further apart, then the
// check box below them, starting at the left edge of the first button.
int showConfirmation(const ShownDialog& d, DialogButtons buttons, bool* checked)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(d.caption);
    dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    dialog.setSizeGripEnabled(false);
    QStyle* st = dialog.style();

    auto* icon = new QLabel(&dialog);
    const int iconSize = st->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dialog);
    icon->setPixmap(st->standardIcon(pixmapOf(d.type), nullptr, &dialog).pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(&dialog);
    text->setTextFormat(Qt::PlainText);
    text->setText(d.text);

    buttons = normalized(buttons);
    QPushButton* ok = (buttons & mbOK) ? new QPushButton(d.buttons.front(), &dialog) : nullptr;
    QPushButton* cancel = (buttons & mbCancel) ? new QPushButton(d.buttons.back(), &dialog) : nullptr;
    int standardWidth = 0;
    for (QPushButton* b : {ok, cancel})
        if (b)
            standardWidth = std::max(standardWidth, b->sizeHint().width());
    for (QPushButton* b : {ok, cancel}) {
        if (b) {
            b->setAutoDefault(false);
            b->setFixedWidth(standardWidth + ConfirmButtonExtraWidth);
        }
    }
    QPushButton* first = ok ? ok : cancel;
    first->setDefault(true);
    QObject::connect(first, &QPushButton::clicked, &dialog,
                     [&dialog, ok] { dialog.done(ok ? mrOk : mrCancel); });
    if (ok && cancel)
        QObject::connect(cancel, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(mrCancel); });

    auto* check = new QCheckBox(d.checkText, &dialog);
    check->setChecked(false);

    // Columns: margin stretch, first button, gap, second button, margin stretch. The check box
    // spans from the first button's column to the right, so its left edge is the button's.
    int spacing = st->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, &dialog);
    if (spacing < 0)
        spacing = st->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(std::max(spacing, 0) * 2);
    top->addWidget(text, 1);
    auto* grid = new QGridLayout(&dialog);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addLayout(top, 0, 0, 1, 5);
    grid->setRowMinimumHeight(1, 6);
    grid->addWidget(first, 2, 1);
    if (ok && cancel) {
        grid->setColumnMinimumWidth(2, std::max(spacing, 0) + ConfirmButtonsApart - ConfirmButtonExtraWidth);
        grid->addWidget(cancel, 2, 3);
    }
    grid->addWidget(check, 3, 1, 1, 4, Qt::AlignLeft);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(4, 1);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(5);

    // Escape and the close button: Cancel when there is one, else OK, as in the message box.
    const int result = dialog.exec();
    if (checked)
        *checked = check->isChecked();
    if (result == mrOk || result == mrCancel)
        return result;
    return cancel ? mrCancel : mrOk;
}

int showModal(const ShownDialog& d, DialogButtons buttons, bool* checked)
{
    return d.confirm ? showConfirmation(d, buttons, checked) : showMessage(d, buttons);
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

void setStandardCaptionsRussian(bool russian)
{
    g_russianCaptions = russian;
}

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

#include "platform/UpDown.h"

#include "platform/NumberText.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto makeButton = [this, layout](Qt::ArrowType arrow, const char* name, Button b) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true); // held down, it keeps stepping like the standard control
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, b] { click(b); });
        layout->addWidget(button);
        return button;
    };
    m_next = makeButton(Qt::UpArrow, "nextButton", btNext);
    m_prev = makeButton(Qt::DownArrow, "prevButton", btPrev);
}

void UpDown::setMin(int v)
{
    m_min = v;
    clampToRange();
}

void UpDown::setMax(int v)
{
    m_max = v;
    clampToRange();
}

void UpDown::setPosition(int v)
{
    const int p = std::clamp(v, lowest(), highest());
    const bool moved = p != m_position;
    m_position = p;
    writeAssociate();
    if (moved)
        emit positionChanged(m_position);
}

void UpDown::setWrap(bool w)
{
    m_wrap = w;
}

void UpDown::setAssociate(QLineEdit* edit)
{
    if (m_associate)
        disconnect(m_associate, nullptr, this, nullptr);
    m_associate = edit;
    if (!edit)
        return;
    connect(edit, &QLineEdit::textChanged, this, &UpDown::associateTextChanged);
    writeAssociate();
}

void UpDown::click(Button b)
{
    int p = m_position;
    if (b == btNext)
        p = p < highest() ? p + 1 : (m_wrap ? lowest() : p);
    else
        p = p > lowest() ? p - 1 : (m_wrap ? highest() : p);
    if (p != m_position) {
        m_position = p;
        writeAssociate();
        emit positionChanged(m_position);
    }
    emit Click(b);
}

QSize UpDown::sizeHint() const
{
    return {17, 22};
}

QSize UpDown::minimumSizeHint() const
{
    return {10, 12};
}

void UpDown::clampToRange()
{
    const int p = std::clamp(m_position, lowest(), highest());
    if (p == m_position)
        return;
    m_position = p;
    writeAssociate();
    emit positionChanged(m_position);
}

void UpDown::writeAssociate()
{
    if (!m_associate)
        return;
    const QString text = QString::number(m_position);
    // Our own text parses back to the position, so its echo in associateTextChanged is a no-op.
    if (m_associate->text() == text)
        emit m_associate->textChanged(text); // setText would stay silent on an equal text
    else
        m_associate->setText(text);
}

void UpDown::associateTextChanged(const QString& text)
{
    int v = 0;
    if (!numtext::tryStrToInt(text, v))
        return;
    const int p = std::clamp(v, lowest(), highest());
    if (p == m_position)
        return;
    m_position = p;
    emit positionChanged(m_position);
}

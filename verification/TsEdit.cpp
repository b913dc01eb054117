#include "verification/TsEdit.h"

#include <QLabel>
#include <QPalette>

namespace
{
constexpr int LabelSpacing = 3; // gap between the edit and its bound label
}

TsEdit::TsEdit(QWidget* parent) : QLineEdit(parent) {}

QLabel* TsEdit::boundLabel()
{
    if (!m_label) {
        m_label = new QLabel(parentWidget());
        m_label->setObjectName(objectName() + QStringLiteral("Label"));
        m_label->show();
        placeBoundLabel();
    }
    return m_label;
}

void TsEdit::setBoundLabelSide(LabelSide side)
{
    m_side = side;
    placeBoundLabel();
}

void TsEdit::placeBoundLabel()
{
    if (!m_label)
        return;
    m_label->adjustSize();
    const QSize s = m_label->size();
    if (m_side == LabelSide::Above)
        m_label->move(x(), y() - s.height() - LabelSpacing);
    else
        m_label->move(x() - s.width() - LabelSpacing, y() + (height() - s.height()) / 2);
}

QColor TsEdit::colorTone() const
{
    if (m_tone.isValid())
        return m_tone;
    ensurePolished(); // the skin's rules give the palette its background
    // The enabled tone, also for a cell that is disabled now: it is the tone it returns to.
    return palette().color(QPalette::Active, QPalette::Base);
}

void TsEdit::setColorTone(const QColor& tone)
{
    if (colorTone() == tone)
        return;
    if (!m_tone.isValid())
        m_skinTone = colorTone();
    if (tone == m_skinTone) {
        m_tone = QColor();
        setStyleSheet(QString());
        return;
    }
    m_tone = tone;
    setStyleSheet(QStringLiteral("TsEdit { background-color: %1; }").arg(tone.name()));
}

void TsEdit::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    placeBoundLabel();
}

void TsEdit::setVisible(bool visible)
{
    QLineEdit::setVisible(visible);
    if (m_label)
        m_label->setVisible(visible);
}

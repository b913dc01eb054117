#pragma once
// The profile window's value edit: a line edit with a bound caption label that moves with
// it, and a colour tone (the background that marks a value outside its tolerance). The tone
// shows under every skin: a style sheet draws an edit's background from its rules, so a tone
// other than the skin's own goes in as the edit's own rule.

#include <QColor>
#include <QLineEdit>

class QLabel;

class TsEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum class LabelSide { Left, Above };

    explicit TsEdit(QWidget* parent = nullptr);

    // The bound label, created beside the edit in the same parent on first use.
    QLabel* boundLabel();
    void setBoundLabelSide(LabelSide side);
    void placeBoundLabel(); // after the edit moved or the label's text changed

    // The background: the tone set, or the skin's own while none is set.
    QColor colorTone() const;
    // No repaint when the tone does not change. Back to the skin's own background (as it was
    // when a tone was first set), the edit follows the skin again, also after a skin change.
    void setColorTone(const QColor& tone);

    void setVisible(bool visible) override; // the bound label shows and hides with the edit

    int tabOrder = -1; // index of a value cell, -1 for the other edits

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    QLabel* m_label = nullptr;
    LabelSide m_side = LabelSide::Left;
    QColor m_tone;     // invalid: the skin's own background
    QColor m_skinTone; // the skin's background when the tone was set
};

#pragma once
// The profile window's value edit: a line edit with a bound caption label that moves with
// it, and a colour tone (the background that marks a value outside its tolerance).

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

    QColor colorTone() const;
    void setColorTone(const QColor& tone); // no repaint when the tone does not change

    void setVisible(bool visible) override; // the bound label shows and hides with the edit

    int tabOrder = -1; // index of a value cell, -1 for the other edits

protected:
    void moveEvent(QMoveEvent* event) override;

private:
    QLabel* m_label = nullptr;
    LabelSide m_side = LabelSide::Left;
};

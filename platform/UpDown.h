#pragma once
// A pair of arrow buttons that steps an integer position, optionally mirrored in a line edit
// (its associate): the bus address beside `devNum`, the decade selector, the unit steppers.

#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <algorithm>

class QToolButton;

class UpDown : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int min READ min WRITE setMin)
    Q_PROPERTY(int max READ max WRITE setMax)
    Q_PROPERTY(int position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(bool wrap READ wrap WRITE setWrap)
public:
    enum Button { btNext, btPrev }; // btNext: the upper arrow, btPrev: the lower
    Q_ENUM(Button)

    explicit UpDown(QWidget* parent = nullptr);

    // The range, 0..100 at first. A position outside a new range is clamped (and written to
    // the associate). While min > max, for instance between two setter calls, the position
    // is kept between the two.
    int min() const { return m_min; }
    void setMin(int v);
    int max() const { return m_max; }
    void setMax(int v);

    // Clamped to the range. Always writes the associate's text, and the associate emits
    // textChanged even when its text was already that number, as the handlers of the
    // associate expect a notification for every position set.
    int position() const { return m_position; }
    void setPosition(int v);

    // At an end, a click goes on to the other end instead of stopping. Off at first.
    bool wrap() const { return m_wrap; }
    void setWrap(bool w);

    // The edit that shows the position as a decimal integer; it takes the current position
    // at once. When its text changes to an integer, the position follows (clamped, the text
    // itself is left as typed); other texts leave the position alone. nullptr detaches.
    // A slot on the edit's textChanged that was connected before this call runs before the
    // position follows a typed text, so such a slot reads the edit's text, not position().
    void setAssociate(QLineEdit* edit);
    QLineEdit* associate() const { return m_associate; }

    // What a press of an arrow does: steps the position by one (wrapping or stopping at an
    // end), updates the associate if the position moved, then emits Click(b) in every case.
    void click(Button b);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void Click(UpDown::Button button);
    void positionChanged(int position);

private:
    int lowest() const { return std::min(m_min, m_max); }
    int highest() const { return std::max(m_min, m_max); }
    void clampToRange();
    void writeAssociate();
    void associateTextChanged(const QString& text);

    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    bool m_wrap = false;
    QPointer<QLineEdit> m_associate;
    QToolButton* m_next;
    QToolButton* m_prev;
};

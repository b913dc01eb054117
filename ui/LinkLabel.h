#pragma once
// A caption that reads and acts as a link: underlined, a pointing hand over it, and a click
// (press and release over it with the left button) reports clicked(). What the click opens
// is its handler's; the text is only what the operator sees.

#include <QLabel>

class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

#pragma once
// Range and value-list runs end to end: the real window and port against a simulated
// instrument, with the seconds of the run period shortened so that timed runs take a
// fraction of a second. Buttons, radio buttons, the input type and list entries are
// operated through Qt's input path.
//
// A test source that uses this fixture includes "ui_TForm1.h" itself as well.

#include "tests/LinkFixture.h"
#include "ui_TForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class RunFixture : public LinkFixture
{
protected:
    static constexpr int SecondMs = 40; // one second of a run period, shortened

    void SetUp() override
    {
        LinkFixture::SetUp();
        TForm1::runSecondMs = SecondMs;
    }
    void TearDown() override
    {
        TForm1::runSecondMs = 1000;
        LinkFixture::TearDown();
    }

    Ui::TForm1* ui() { return w->ui; }

    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The input type 0 list, 1 range, 2 single, picked with the arrow keys of the box.
    void chooseInputType(int type)
    {
        QComboBox* box = ui()->InpType;
        while (box->currentIndex() > type)
            QTest::keyClick(box, Qt::Key_Up);
        while (box->currentIndex() < type)
            QTest::keyClick(box, Qt::Key_Down);
    }

    // Timed input with a period typed into its edit.
    void chooseTimed(const QString& period)
    {
        click(ui()->AutoInp);
        ui()->EditAuto->clear();
        QTest::keyClicks(ui()->EditAuto, period);
    }

    // The texts written to the set-value register, in order.
    static QStringList sentValues(const SimInstrument& sim)
    {
        QStringList values;
        for (const SimInstrument::Request& r : sim.requests())
            if (r.function == frame::FuncWrite && r.reg == 40073)
                values << QString::fromLatin1(r.text);
        return values;
    }

    static QStringList entries(const QListWidget* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

    // A set chain is complete and nothing is on the line.
    bool waitSetDone(std::chrono::milliseconds deadline = std::chrono::seconds(20))
    {
        return testsupport::waitUntil([this] { return !w->setPending && !w->requestOnLine(); }, deadline);
    }

    bool waitSent(const SimInstrument& sim, int count,
                  std::chrono::milliseconds deadline = std::chrono::seconds(20))
    {
        return testsupport::waitUntil([&] { return sentValues(sim).size() >= count; }, deadline);
    }

    // The request count stays as it is for a while: nothing is sent meanwhile.
    bool staysQuiet(const SimInstrument& sim, std::chrono::milliseconds span)
    {
        const int before = sim.requestCount();
        return !testsupport::waitUntil([&] { return sim.requestCount() != before; }, span);
    }

    QStringList dialogTexts() const
    {
        QStringList texts;
        for (const ShownDialog& d : dialogs())
            texts << d.text;
        return texts;
    }
};

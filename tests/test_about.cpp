// The About box: opened modal from "О программе" with a click in the menu bar, its texts in
// both languages, built anew and freed for each opening, its links handed to the desktop.

#include "WindowFixture.h"

#include "TestSupport.h"
#include "platform/ShellOpen.h"
#include "ui/LinkLabel.h"
#include "ui/about.h"
#include "ui_TForm5.h"

#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>

namespace
{

class AboutTest : public WindowFixture
{
protected:
    // Clicks "О программе" and runs inspect on the open box from inside its modal loop; the
    // box is closed with its Ok button afterwards (rejected if inspect closed nothing and the
    // button failed). Returns the box that was shown, which is gone by then.
    QPointer<TForm5> openAbout(const std::function<void(TForm5&)>& inspect)
    {
        w.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
        QPointer<TForm5> shown;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<TForm5*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            shown = box;
            inspect(*box);
            if (box->isVisible())
                QTest::mouseClick(box->ui->Button1, Qt::LeftButton);
            if (shown && shown->isVisible())
                shown->reject();
        });
        poll.start();
        QMenuBar* bar = ui()->MainMenu;
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(ui()->J1).center());
        poll.stop();
        return shown;
    }
};

struct AboutTexts {
    const char* language;
    const char* caption;
    const char* title;
    const char* developer;
    const char* contact;
    const char* webCaption;
    int webShift; // pixels right of the layout's place
};

void PrintTo(const AboutTexts& t, std::ostream* os)
{
    *os << t.language;
}

class AboutLanguageTest : public AboutTest, public ::testing::WithParamInterface<AboutTexts>
{
};

} // namespace

TEST_P(AboutLanguageTest, OpensModalBelowRightOfTheWindowWithItsTexts)
{
    const AboutTexts t = GetParam();
    w.SetLanguage(QString::fromLatin1(t.language));
    w.move(140, 90);
    TForm5 layout(nullptr); // the texts and places as laid out, for comparison
    bool inspected = false;
    const QPointer<TForm5> shown = openAbout([&](TForm5& box) {
        inspected = true;
        EXPECT_TRUE(box.isModal());
        EXPECT_EQ(box.parent(), &w);
        EXPECT_EQ(box.pos(), testsupport::placedAt(&box, w.pos() + QPoint(50, 50)));
        EXPECT_EQ(box.size(), QSize(395, 322));
        EXPECT_EQ(box.minimumSize(), box.maximumSize());
        EXPECT_EQ(box.windowTitle(), QString::fromUtf8(t.caption));
        EXPECT_EQ(box.ui->Label1->text(), QString::fromUtf8(t.title));
        EXPECT_EQ(box.ui->Label2->text(), QString::fromUtf8(t.developer));
        EXPECT_EQ(box.ui->Label3->text(), QString::fromUtf8(t.contact));
        EXPECT_EQ(box.ui->Label4->text(), QString::fromUtf8(t.webCaption));
        EXPECT_EQ(box.ui->Label4->x(), layout.ui->Label4->x() + t.webShift);
        EXPECT_EQ(box.ui->Label5->text(), QStringLiteral("E-mail:"));
        EXPECT_EQ(box.ui->Button1->text(), QStringLiteral("Ok"));
        EXPECT_EQ(box.ui->LinkLabel1->text(), QStringLiteral("www.example.org"));
        EXPECT_EQ(box.ui->LinkLabel2->text(), QStringLiteral("info@example.org"));
        // The title line is centred: in Russian by its place in the layout, in English by
        // the rule (dialog width - label width) / 2 on the label sized to its text.
        QLabel* title = box.ui->Label1;
        if (t.webShift == 0) {
            EXPECT_EQ(title->geometry(), layout.ui->Label1->geometry());
        } else {
            EXPECT_EQ(title->width(), title->sizeHint().width());
            EXPECT_EQ(title->x(), (box.width() - title->width()) / 2);
        }
        EXPECT_LE(title->sizeHint().width(), box.width()); // the whole title fits
        const QPixmap logo = box.ui->Image1->pixmap();
        EXPECT_FALSE(logo.isNull());
        EXPECT_EQ(logo.size(), QSize(388, 84));
        EXPECT_EQ(box.ui->Image1->size(), QSize(388, 84));
    });
    EXPECT_TRUE(inspected);
    EXPECT_TRUE(shown.isNull()); // freed when it closed
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, AboutLanguageTest,
    ::testing::Values(AboutTexts{"Russian", "О программе", "Управление мерой сопротивления РД5540 (КАЛИСТ)",
                                 "Разработчик ООО \"ОРБИТЕЛ\"", "Тел./факс: (000) 000-00-00", "Веб-сайт:", 0},
                      AboutTexts{"English", "About", "Upravlenie meroy soprotivleniya RD5540 (KALIST)",
                                 "Manufacturer Ltd \"ОРБИТЕЛ\"", "Phone/fax: (000) 000-00-00", "Web:", 15}),
    [](const auto& info) { return std::string(info.param.language); });

TEST_F(AboutTest, EachOpeningBuildsAFreshBoxInTheLanguageOfThatMoment)
{
    QString firstCaption, secondCaption;
    const QPointer<TForm5> first = openAbout([&](TForm5& box) { firstCaption = box.windowTitle(); });
    EXPECT_TRUE(first.isNull());
    w.SetLanguage(QStringLiteral("English"));
    const QPointer<TForm5> second = openAbout([&](TForm5& box) {
        secondCaption = box.windowTitle();
        EXPECT_EQ(box.ui->Label4->text(), QStringLiteral("Web:"));
    });
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(firstCaption, QStringLiteral("О программе"));
    EXPECT_EQ(secondCaption, QStringLiteral("About"));
}

TEST_F(AboutTest, LinksGoToTheDesktopHandlerAndTheBoxStaysOpen)
{
    ShellOpenSeam shell;
    bool stayedOpen = false;
    openAbout([&](TForm5& box) {
        QTest::mouseClick(box.ui->LinkLabel1, Qt::LeftButton);
        QTest::mouseClick(box.ui->LinkLabel2, Qt::LeftButton);
        // A press that leaves the link before its release opens nothing; nor does the right button.
        QTest::mousePress(box.ui->LinkLabel1, Qt::LeftButton);
        QTest::mouseRelease(box.ui->LinkLabel1, Qt::LeftButton, {}, QPoint(-5, -5));
        QTest::mouseClick(box.ui->LinkLabel2, Qt::RightButton);
        stayedOpen = box.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(shell.opened().size(), 2u);
    EXPECT_EQ(shell.opened()[0], QUrl(QStringLiteral("http://www.example.org")));
    EXPECT_EQ(shell.opened()[1], QUrl(QStringLiteral("mailto:info@example.org")));
}

TEST(ShellOpen, TargetsBecomeTheUrlsTheDesktopOpens)
{
    EXPECT_EQ(shellUrl(QStringLiteral("www.example.org")), QUrl(QStringLiteral("http://www.example.org")));
    EXPECT_EQ(shellUrl(QStringLiteral("mailto:info@example.org")),
              QUrl(QStringLiteral("mailto:info@example.org")));
    EXPECT_EQ(shellUrl(QStringLiteral("https://example.org/a")),
              QUrl(QStringLiteral("https://example.org/a")));
    // Nested seams: the newest records; the older one takes over when it goes.
    ShellOpenSeam outer;
    {
        ShellOpenSeam inner;
        ShellOpen(QStringLiteral("www.example.org"));
        EXPECT_EQ(inner.opened().size(), 1u);
    }
    ShellOpen(QStringLiteral("mailto:info@example.org"));
    ASSERT_EQ(outer.opened().size(), 1u);
    EXPECT_EQ(outer.opened()[0].scheme(), QStringLiteral("mailto"));
}

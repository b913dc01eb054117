// Renders the About box as the main window opens it, to a PNG for the documentation:
// screenshot_about <file.png> [skin index 0..4] [english]
#include "ui/Application.h"
#include "ui/about.h"
#include "ui/main.h"
#include "ui_TForm1.h"

#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png> [skin] [english]\n", argv[0]);
        return 2;
    }
    VardekoApplication app(argc, argv);
    TForm1 main;
    main.FormCreate();
    main.RequestTimer->stop();
    if (argc > 2)
        main.SkinMenuClick(main.ui->skinMenu->actions().value(QByteArray(argv[2]).toInt()));
    if (argc > 3 && QByteArray(argv[3]) == "english")
        main.SetLanguage(QStringLiteral("English"));
    main.show();
    if (!QTest::qWaitForWindowExposed(&main))
        return 1;

    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<TForm5*>(QApplication::activeModalWidget());
        if (about && QTest::qWaitForWindowExposed(about)) {
            QTest::qWait(200);
            saved = about->grab().save(QString::fromLocal8Bit(argv[1]));
        }
        if (about)
            about->reject();
    });
    main.J1Click();
    return saved ? 0 : 1;
}

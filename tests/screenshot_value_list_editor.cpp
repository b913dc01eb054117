// Renders the value-list editor with a few entries of an RD5540-3 list, the second one
// selected, to a PNG for the documentation: screenshot_value_list_editor <file.png>
#include "instrument/ProfileProcessor.h"
#include "ui/Application.h"
#include "ui/ProfileEdit.h"
#include "ui/main.h"
#include "ui_TForm1.h"
#include "ui_TForm2.h"

#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.png>\n", argv[0]);
        return 2;
    }
    VardekoApplication app(argc, argv);
    TForm1 main;
    main.FormCreate();
    main.RequestTimer->stop();
    main.ui->BoxDevice->setCurrentIndex(2); // RD5540-3

    TForm2 editor(&main, main.processor, 'o', -1, 0);
    editor.show();
    for (const char* value : {"100", "250,5", "1000", "4999,9", "10000"}) {
        QTest::keyClicks(editor.ui->Edit, QString::fromLatin1(value));
        QTest::keyClick(editor.ui->Edit, Qt::Key_Return);
    }
    editor.ui->ListBox->setCurrentRow(1);
    QTest::keyClicks(editor.ui->EditReplace, QStringLiteral("300"));
    QTest::keyClicks(editor.ui->Edit, QStringLiteral("12,5"));
    QTest::qWait(50);
    return editor.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

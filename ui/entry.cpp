// Program entry: the application, the one main window, the message loop.

#include "ui/Application.h"
#include "ui/main.h"

#include <QIcon>
#include <QImageReader>
#include <exception>

int main(int argc, char** argv)
{
    VardekoApplication app(argc, argv);
    Q_INIT_RESOURCE(resources); // the resources live in a static library
    // Without an SVG image plugin the drawn icon comes from its rendered copy.
    const bool svg = QImageReader::supportedImageFormats().contains("svg");
    app.setWindowIcon(QIcon(svg ? QStringLiteral(":/vardeko.svg") : QStringLiteral(":/vardeko.png")));
    try {
        TForm1 w;
        try {
            // A failing creation handler is shown like any other handler's failure; the
            // window still comes up.
            w.FormCreate();
        } catch (const std::exception& e) {
            VardekoApplication::showException(QString::fromUtf8(e.what()));
        } catch (...) {
            VardekoApplication::showException(QString());
        }
        w.show();
        app.exec();
    } catch (const std::exception& e) {
        VardekoApplication::showException(QString::fromUtf8(e.what()));
    } catch (...) {
        VardekoApplication::showException(QString());
    }
    return 0;
}

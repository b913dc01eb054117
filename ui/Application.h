#pragma once
// The application object of the program and of the tests: it keeps the message loop going
// when a handler throws, showing what went wrong, and tells the main window about every
// wheel event once its default handling is done.

#include <QApplication>
#include <QString>

class QTranslator;
class QWheelEvent;

class VardekoApplication : public QApplication
{
    Q_OBJECT
public:
    VardekoApplication(int& argc, char** argv);

    // Delivers the event; an exception that escapes the receiver is shown and swallowed,
    // so the loop goes on.
    bool notify(QObject* receiver, QEvent* event) override;

    // The one display of failures: an error box with the standard caption and the text.
    static void showException(const QString& text);

    // The running application object when it is a VardekoApplication, else nullptr.
    static VardekoApplication* instance();

signals:
    // After the whole default handling of a wheel event (propagation to the parents
    // included); emitted once per event, whatever widgets the event passed through. The
    // receiver is the outermost one: the native window (a QWindow) for a wheel from the
    // system, the widget itself for an event sent straight to a widget.
    void wheelDelivered(QObject* receiver, QWheelEvent* event);

private:
    int m_wheelDepth = 0; // wheel events being delivered; nested sends are part of one event
};

// Qt's own texts in the main window's language: the titles, labels and buttons of the file
// dialogs and the questions they ask. Russian installs Qt's Russian catalogue (qtbase_ru.qm
// from Qt's translations folder, Debian package qt6-translations-l10n) on the application;
// English removes it. Without the catalogue Qt's texts stay English. Removed with the object.
// The standard captions of the program's own message boxes follow as well, catalogue or not,
// and are English again once the object that set them last is gone.
class QtLanguage : public QObject
{
    Q_OBJECT
public:
    explicit QtLanguage(QObject* parent = nullptr); // English until told otherwise
    ~QtLanguage() override;

    // Returns whether Qt's texts are Russian now.
    bool setRussian(bool russian);
    bool isRussian() const { return m_installed; }

    // Where the catalogue is looked for: Qt's translations folder unless a test has set
    // another; an empty text sets it back.
    static QString catalogueFolder();
    static void setCatalogueFolder(const QString& dir);

private:
    QTranslator* m_russian = nullptr; // loaded on the first switch to Russian; owned
    bool m_installed = false;
};

// The yardstick for start-up: the least a Qt Widgets program can do to show a
// dialog; with --label the dialog also shows one line of text.
#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Minimal"));
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0)
        new QLabel(QStringLiteral("Stave width required"), &dialog);
    return dialog.exec();
}

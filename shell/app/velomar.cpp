#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Velomar " VELOMAR_VERSION));
    label.show();
    return app.exec();
}

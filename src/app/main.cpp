// Placeholder start-up until the worksheet exists.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label("ORVALE");
    label.show();
    return app.exec();
}

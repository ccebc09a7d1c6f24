// The yardstick for the start-up benchmark: a bare Qt program that shows one
// window with one Cyrillic label under the editor's caption.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Редактирование параметров формы"));
    label.setWindowTitle(QStringLiteral("Редатор форм фонтанов"));
    label.resize(823, 741);
    label.show();
    return QApplication::exec();
}

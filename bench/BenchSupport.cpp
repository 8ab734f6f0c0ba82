#include "BenchSupport.h"

#include "ui/common/Fonts.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

QApplication *benchApplication()
{
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "zop_bench";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv); // lives as long as the program
    }
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    static bool prepared = false;
    if (app && !prepared) {
        Fonts::installSubstitutions();
        QApplication::setStyle(u"Fusion"_s);
        prepared = true;
    }
    return app;
}

bool PaintCounter::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        ++paints;
    return false;
}

QImage samplePortrait(int seed, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 47 % 360, 90, 200));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const double w = size.width(), h = size.height();
    painter.setBrush(QColor::fromHsv((seed * 91 + 200) % 360, 120, 90));
    painter.drawEllipse(QRectF(w * 0.1, h * 0.62, w * 0.8, h * 0.6)); // shoulders
    painter.setBrush(QColor(0xF1, 0xC2, 0x9A));
    painter.drawEllipse(QRectF(w * 0.3, h * 0.22, w * 0.4, h * 0.42)); // face
    painter.setBrush(QColor(0x2B, 0x1D, 0x14));
    painter.drawChord(QRectF(w * 0.28, h * 0.16, w * 0.44, h * 0.32), 0, 180 * 16); // hair
    return image;
}

void writeGbk(const QString &path, const QString &text)
{
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.encode(text);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

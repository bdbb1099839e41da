// Draws the program's small icons into PNG files. Not part of the build; run it again
// after changing a drawing:
//   g++ -std=c++20 -fPIC make_icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_icons
//   QT_QPA_PLATFORM=offscreen /tmp/make_icons data/images
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {
const QColor kOrange(0xc8, 0x64, 0x00);
const QColor kDark(0x3a, 0x3a, 0x3a);

void cylinder(QPainter& p, QColor body, bool open) {
    p.setPen(QPen(kDark, 1.5));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(6, 8);
    path.lineTo(6, 25);
    path.arcTo(6, 21, 20, 8, 180, 180);
    path.lineTo(26, 8);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(body.lighter(135));
    if (open)
        p.drawEllipse(QRectF(3, 1, 20, 8));
    else
        p.drawEllipse(QRectF(6, 4, 20, 8));
    p.setPen(QPen(body.darker(140), 1));
    p.drawArc(QRectF(6, 10, 20, 8), 180 * 16, 180 * 16);
    p.drawArc(QRectF(6, 16, 20, 8), 180 * 16, 180 * 16);
}

void page(QPainter& p, QRectF r) {
    p.setPen(QPen(kDark, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    for (double y = r.top() + 4; y < r.bottom() - 2; y += 4)
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void letters(QPainter& p, const QString& text, QColor back, int size) {
    p.setPen(QPen(kDark, 1.5));
    p.setBrush(back);
    p.drawRoundedRect(QRectF(1.5, 6.5, 29, 19), 3, 3);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(size);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(1, 6, 30, 20), Qt::AlignCenter, text);
}

const std::vector<std::pair<QString, std::function<void(QPainter&)>>> kIcons = {
    {"kDBclose", [](QPainter& p) { cylinder(p, QColor(0x4f, 0x7f, 0xbf), false); }},
    {"kDBopen", [](QPainter& p) { cylinder(p, QColor(0x3f, 0xa0, 0x4f), true); }},
    {"kINS", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0x3f, 0xa0, 0x4f));
         QPolygonF plus;
         for (auto [x, y] : std::vector<std::pair<double, double>>{
                  {12, 3}, {20, 3}, {20, 12}, {29, 12}, {29, 20}, {20, 20}, {20, 29},
                  {12, 29}, {12, 20}, {3, 20}, {3, 12}, {12, 12}})
             plus << QPointF(x, y);
         p.drawPolygon(plus);
     }},
    {"kTRASH", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0xa0, 0xa8, 0xb0));
         p.drawRect(QRectF(5, 6, 22, 3));
         p.drawRect(QRectF(12, 3, 8, 3));
         QPolygonF bin;
         bin << QPointF(7, 10) << QPointF(25, 10) << QPointF(23, 29) << QPointF(9, 29);
         p.drawPolygon(bin);
         for (double x : {12.0, 16.0, 20.0})
             p.drawLine(QPointF(x, 13), QPointF(x, 26));
     }},
    {"kVERT", [](QPainter& p) { page(p, QRectF(8, 2, 16, 28)); }},
    {"kOR", [](QPainter& p) { page(p, QRectF(2, 8, 28, 16)); }},
    {"kGR", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         const QColor colors[] = {QColor(0xd0, 0x40, 0x40), QColor(0x40, 0x80, 0xd0),
                                  QColor(0x40, 0xa0, 0x50)};
         for (int i = 0; i < 3; ++i) {
             p.setBrush(colors[i]);
             const double x = 2 + i * 9;
             p.drawEllipse(QRectF(x + 2, 5 + (i == 1 ? -2 : 2), 8, 8));
             p.drawRoundedRect(QRectF(x, 15 + (i == 1 ? -2 : 2), 12, 13), 4, 4);
         }
     }},
    {"kPRN", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(9, 2, 14, 10));
         p.setBrush(QColor(0x70, 0x78, 0x80));
         p.drawRoundedRect(QRectF(2, 11, 28, 12), 2, 2);
         p.setBrush(Qt::white);
         p.drawRect(QRectF(8, 19, 16, 11));
         p.setBrush(QColor(0x40, 0xd0, 0x40));
         p.drawEllipse(QRectF(24, 14, 3, 3));
     }},
    {"kDRIVET", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0x90, 0x98, 0xa0));
         p.drawRoundedRect(QRectF(2, 9, 28, 14), 2, 2);
         p.setBrush(QColor(0x60, 0x68, 0x70));
         p.drawRect(QRectF(5, 17, 16, 3));
         p.setBrush(QColor(0x40, 0xd0, 0x40));
         p.drawEllipse(QRectF(24, 16, 4, 4));
     }},
    {"kMODIFICA", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0xf0, 0xc0, 0x30));
         QPolygonF pencil;
         pencil << QPointF(22, 3) << QPointF(29, 10) << QPointF(11, 28) << QPointF(4, 28)
                << QPointF(4, 21);
         p.drawPolygon(pencil);
         p.setBrush(QColor(0xe0, 0x80, 0x80));
         QPolygonF rubber;
         rubber << QPointF(22, 3) << QPointF(29, 10) << QPointF(26, 13) << QPointF(19, 6);
         p.drawPolygon(rubber);
     }},
    {"kCITTA", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0xc0, 0x90, 0x60));
         p.drawRect(QRectF(3, 14, 8, 16));
         p.setBrush(QColor(0xa0, 0xa8, 0xc0));
         p.drawRect(QRectF(11, 4, 10, 26));
         p.setBrush(QColor(0xd8, 0xb0, 0x80));
         p.drawRect(QRectF(21, 11, 8, 19));
         p.setPen(QPen(Qt::white, 1.5));
         for (double y = 8; y < 28; y += 5)
             p.drawLine(QPointF(14, y), QPointF(18, y));
     }},
    {"kCAP", [](QPainter& p) { letters(p, QStringLiteral("CAP"), kOrange, 11); }},
    {"kPROV", [](QPainter& p) { letters(p, QStringLiteral("PR"), QColor(0x30, 0x80, 0x60), 13); }},
    {"kNAZ", [](QPainter& p) {
         p.setPen(QPen(kDark, 1.5));
         p.setBrush(QColor(0x50, 0x90, 0xd8));
         p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
         p.setPen(QPen(Qt::white, 1.2));
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QRectF(10, 2.5, 12, 27));
         p.drawLine(QPointF(16, 2.5), QPointF(16, 29.5));
         p.drawLine(QPointF(2.5, 16), QPointF(29.5, 16));
         p.drawLine(QPointF(5, 9), QPointF(27, 9));
         p.drawLine(QPointF(5, 23), QPointF(27, 23));
     }},
    {"velomar", [](QPainter& p) {
         p.setPen(QPen(kOrange, 2));
         p.setBrush(QColor(0xf4, 0xe3, 0xc1));
         p.drawRoundedRect(QRectF(2, 5, 28, 22), 2, 2);
         p.setBrush(Qt::NoBrush);
         p.drawPolyline(QPolygonF() << QPointF(2, 7) << QPointF(16, 18) << QPointF(30, 7));
         p.setPen(QPen(QColor(0x6b, 0x4a, 0x1d), 1));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(18, 20, 9, 4.5));
     }},
};
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    for (const auto& [name, draw] : kIcons) {
        for (int size : {32, 128}) {
            if (size == 128 && name != QLatin1String("velomar"))
                continue;
            QImage image(size, size, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 32.0, size / 32.0);
            draw(p);
            p.end();
            const QString suffix = size == 32 ? QString() : QStringLiteral("-%1").arg(size);
            image.save(out + QLatin1Char('/') + name + suffix + QStringLiteral(".png"));
        }
    }
    return 0;
}

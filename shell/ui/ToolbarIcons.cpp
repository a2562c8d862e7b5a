#include "ToolbarIcons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtMath>

namespace
{

constexpr int kSize = 32;

void person(QPainter& p, QPointF at, double scale, const QColor& color)
{
    p.setBrush(color);
    p.setPen(QPen(color.darker(140), 1));
    p.drawEllipse(QPointF(at.x(), at.y() - 7 * scale), 5 * scale, 5 * scale);
    QPainterPath body;
    body.moveTo(at.x() - 9 * scale, at.y() + 10 * scale);
    body.cubicTo(at.x() - 9 * scale, at.y() - 2 * scale, at.x() + 9 * scale, at.y() - 2 * scale,
                 at.x() + 9 * scale, at.y() + 10 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void page(QPainter& p, const QRectF& r, const QColor& fill)
{
    p.setPen(QPen(QColor(90, 90, 90), 1.2));
    p.setBrush(fill);
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - 6, r.top());
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.drawPath(path);
}

void gear(QPainter& p, QPointF c, double outer, const QColor& color)
{
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a0 = (i * M_PI) / teeth - M_PI / (teeth * 2.5);
        const double a1 = (i * M_PI) / teeth + M_PI / (teeth * 2.5);
        const double r = (i % 2 == 0) ? outer : outer * 0.75;
        const QPointF p0(c.x() + r * std::cos(a0), c.y() + r * std::sin(a0));
        const QPointF p1(c.x() + r * std::cos(a1), c.y() + r * std::sin(a1));
        if (i == 0)
            path.moveTo(p0);
        else
            path.lineTo(p0);
        path.lineTo(p1);
    }
    path.closeSubpath();
    path.addEllipse(c, outer * 0.3, outer * 0.3);
    path.setFillRule(Qt::OddEvenFill);
    p.setPen(QPen(color.darker(150), 1));
    p.setBrush(color);
    p.drawPath(path);
}

void draw(QPainter& p, const QString& key)
{
    p.setRenderHint(QPainter::Antialiasing);
    if (key == QLatin1String("customer")) {
        person(p, QPointF(21, 16), 0.9, QColor(70, 130, 200));
        person(p, QPointF(12, 19), 1.0, QColor(230, 150, 50));
    } else if (key == QLatin1String("house")) {
        p.setPen(QPen(QColor(120, 60, 30), 1.2));
        p.setBrush(QColor(200, 70, 50));
        p.drawPolygon(QPolygonF({QPointF(2, 15), QPointF(16, 3), QPointF(30, 15)}));
        p.setBrush(QColor(240, 220, 170));
        p.drawRect(QRectF(6, 15, 20, 14));
        p.setBrush(QColor(120, 80, 40));
        p.drawRect(QRectF(13, 20, 6, 9));
    } else if (key == QLatin1String("report")) {
        page(p, QRectF(5, 2, 22, 28), Qt::white);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 140, 60));
        p.drawRect(QRectF(9, 19, 4, 8));
        p.setBrush(QColor(60, 110, 200));
        p.drawRect(QRectF(14, 13, 4, 14));
        p.setBrush(QColor(220, 120, 40));
        p.drawRect(QRectF(19, 9, 4, 18));
    } else if (key == QLatin1String("web")) {
        p.setPen(QPen(QColor(30, 90, 160), 1.5));
        p.setBrush(QColor(150, 200, 240));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 6, 13);
        p.drawLine(QPointF(3, 16), QPointF(29, 16));
        p.drawLine(QPointF(16, 3), QPointF(16, 29));
        p.drawLine(QPointF(5, 9), QPointF(27, 9));
        p.drawLine(QPointF(5, 23), QPointF(27, 23));
    } else if (key == QLatin1String("calendar")) {
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 5, 26, 24));
        p.setBrush(QColor(200, 50, 50));
        p.drawRect(QRectF(3, 5, 26, 7));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 110, 110));
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 4; ++col)
                p.drawRect(QRectF(6 + col * 6, 14 + row * 5, 3.5, 3));
        }
        p.setBrush(QColor(200, 50, 50));
        p.drawRect(QRectF(18, 19, 3.5, 3));
    } else if (key == QLatin1String("basic")) {
        p.setPen(QPen(QColor(150, 110, 30), 1.2));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(3, 9, 26, 19));
        p.drawRect(QRectF(3, 6, 11, 4));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 13, 18, 4));
        p.drawRect(QRectF(7, 19, 18, 4));
    } else if (key == QLatin1String("docset")) {
        page(p, QRectF(3, 2, 20, 26), Qt::white);
        p.setPen(QPen(QColor(150, 150, 150), 1));
        for (int y = 9; y <= 21; y += 4)
            p.drawLine(QPointF(7, y), QPointF(18, y));
        gear(p, QPointF(23, 23), 8, QColor(120, 120, 130));
    } else if (key == QLatin1String("sysset")) {
        gear(p, QPointF(16, 16), 14, QColor(110, 120, 140));
    } else if (key == QLatin1String("funLimited")) {
        p.setPen(QPen(QColor(40, 110, 40), 1.2));
        p.setBrush(QColor(90, 180, 90));
        QPainterPath shield;
        shield.moveTo(16, 2);
        shield.lineTo(28, 7);
        shield.cubicTo(28, 19, 22, 26, 16, 30);
        shield.cubicTo(10, 26, 4, 19, 4, 7);
        shield.closeSubpath();
        p.drawPath(shield);
        p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 9, 14, 14), 30 * 16, 280 * 16);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({QPointF(22, 7), QPointF(24, 14), QPointF(17, 12)}));
    } else if (key == QLatin1String("help")) {
        p.setPen(QPen(QColor(30, 90, 160), 1.5));
        p.setBrush(QColor(70, 140, 220));
        p.drawEllipse(QPointF(16, 16), 13, 13);
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    } else if (key == QLatin1String("back")) {
        p.setPen(QPen(QColor(110, 70, 40), 1.2));
        p.setBrush(QColor(180, 130, 80));
        p.drawRect(QRectF(4, 3, 14, 26));
        p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(13, 16), QPointF(28, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 40, 40));
        p.drawPolygon(QPolygonF({QPointF(30, 16), QPointF(23, 10), QPointF(23, 22)}));
    }
}

} // namespace

QIcon ToolbarIcon(const QString& key)
{
    static QHash<QString, QIcon> cache;
    auto it = cache.constFind(key);
    if (it != cache.constEnd())
        return *it;
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(scale, scale);
        draw(p, key);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    cache.insert(key, icon);
    return icon;
}

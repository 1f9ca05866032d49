#include "quick/tracklayer.h"

#include <QGeoCoordinate>
#include <QMetaMethod>
#include <QPainter>
#include <cmath>

#include "quick/gpspointmodel.h"

TrackLayer::TrackLayer(QQuickItem *parent) : QQuickPaintedItem(parent) { setAntialiasing(true); }

void TrackLayer::setMap(QQuickItem *map)
{
    if (map == mapItem)
        return;
    if (mapItem)
        disconnect(mapItem, nullptr, this, nullptr);
    mapItem = map;
    if (map) {
        // Whatever moves the view: connected by name, as the Map's class is
        // not public.
        static const char *const signals_[]
            = { "centerChanged(QGeoCoordinate)", "zoomLevelChanged(qreal)", "bearingChanged(qreal)",
                  "tiltChanged(qreal)", "fieldOfViewChanged(qreal)", "mapReadyChanged(bool)",
                  "widthChanged()", "heightChanged()" };
        const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("viewChanged()"));
        for (const char *s : signals_) {
            const int i = map->metaObject()->indexOfSignal(s);
            if (i >= 0)
                connect(map, map->metaObject()->method(i), this, slot);
        }
    }
    polish();
    emit mapChanged();
}

void TrackLayer::setModel(GpsPointModel *model)
{
    if (model == points)
        return;
    if (points)
        disconnect(points, nullptr, this, nullptr);
    points = model;
    if (model)
        connect(model, &GpsPointModel::tracksChanged, this, &TrackLayer::viewChanged);
    polish();
    emit modelChanged();
}

void TrackLayer::setLineWidth(qreal width)
{
    if (width == width_)
        return;
    width_ = width;
    polish();
    emit lineWidthChanged();
}

void TrackLayer::viewChanged() { polish(); }

void TrackLayer::geometryChanged(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickPaintedItem::geometryChanged(newGeometry, oldGeometry);
    polish();
}

// The transform from Mercator points, taken relative to the view's centre
// (x shifted by whole worlds to lie nearest to it), to the layer's
// coordinates; false while the map cannot tell (not ready, no size).
bool TrackLayer::projection(QTransform *toView, double *centreX) const
{
    if (!mapItem || width() < 2 || height() < 2)
        return false;
    // Four points well inside the view: at the edges of a tilted map the
    // horizon may be in sight, where no coordinate lies.
    QPolygonF view;
    view << QPointF(width() / 4, height() / 4) << QPointF(width() * 3 / 4, height() / 4)
         << QPointF(width() * 3 / 4, height() * 3 / 4) << QPointF(width() / 4, height() * 3 / 4);
    QPolygonF world;
    for (const QPointF &p : view) {
        QGeoCoordinate c;
        const QPointF onMap = mapItem->mapFromItem(this, p);
        if (!QMetaObject::invokeMethod(mapItem, "toCoordinate", Qt::DirectConnection,
                Q_RETURN_ARG(QGeoCoordinate, c), Q_ARG(QPointF, onMap), Q_ARG(bool, false))
            || !c.isValid())
            return false;
        QPointF m = GpsPointModel::toMercator(c.latitude(), c.longitude());
        // Across the date line: keep the four points on one side.
        if (!world.isEmpty())
            m.rx() += std::round(world.first().x() - m.x());
        world.append(m);
    }
    const QPointF centre = (world[0] + world[1] + world[2] + world[3]) / 4;
    const QRectF extent = world.boundingRect();
    const double scale = std::max(extent.width(), extent.height());
    if (!(scale > 0))
        return false;
    // Relative to the centre and in units of the quad's size, so that the
    // transform is well conditioned even for a view a few metres across.
    QPolygonF local;
    for (const QPointF &m : world)
        local.append((m - centre) / scale);
    QTransform t;
    if (!QTransform::quadToQuad(local, view, t))
        return false;
    *toView = QTransform::fromScale(1 / scale, 1 / scale) * t;
    *toView = QTransform::fromTranslate(-centre.x(), -centre.y()) * *toView;
    *centreX = centre.x();
    return true;
}

void TrackLayer::updatePolish()
{
    pieces.clear();
    QTransform toView;
    double centreX = 0;
    if (points && projection(&toView, &centreX)) {
        // Pieces wholly outside the view (with room for the line's width)
        // are left out, and points closer than half a pixel to the last one
        // kept are skipped: a whole log then costs little to stroke.
        const QRectF bounds = boundingRect().adjusted(-width_, -width_, width_, width_);
        const auto outcode = [&](const QPointF &p) {
            return (p.x() < bounds.left() ? 1 : 0) | (p.x() > bounds.right() ? 2 : 0)
                | (p.y() < bounds.top() ? 4 : 0) | (p.y() > bounds.bottom() ? 8 : 0);
        };
        for (const GpsPointModel::Track *track : points->tracks()) {
            Piece piece { track->color, {} };
            QPointF last;
            int lastCode = 0;
            bool have = false;
            const auto flush = [&] {
                if (piece.line.size() >= 2)
                    pieces.append(piece);
                piece.line.clear();
            };
            for (QPointF m : track->mercator) {
                m.rx() += std::round(centreX - m.x());
                const qreal w = toView.m13() * m.x() + toView.m23() * m.y() + toView.m33();
                if (!(w > 0)) { // behind the camera of a tilted map
                    flush();
                    have = false;
                    continue;
                }
                const QPointF p = toView.map(m);
                const int code = outcode(p);
                if (have && (code & lastCode)) {
                    // The segment lies outside: end the piece at its last point.
                    flush();
                } else if (have) {
                    if (piece.line.isEmpty())
                        piece.line.append(last);
                    const QPointF d = p - piece.line.last();
                    if (d.x() * d.x() + d.y() * d.y() >= 0.25 || code)
                        piece.line.append(p);
                }
                last = p;
                lastCode = code;
                have = true;
            }
            if (have && !piece.line.isEmpty() && piece.line.last() != last)
                piece.line.append(last);
            flush();
        }
    }
    pieceCount = pieces.size();
    update();
    emit drawn();
}

void TrackLayer::paint(QPainter *painter)
{
    painter->setRenderHint(QPainter::Antialiasing);
    for (const Piece &piece : qAsConst(pieces)) {
        painter->setPen(QPen(piece.color, width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->drawPolyline(piece.line);
    }
}

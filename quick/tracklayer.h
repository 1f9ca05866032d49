// Draws the GPS tracks over a QtLocation Map with QPainter, so that they
// appear on every Qt Quick backend (the map's own polylines need OpenGL and
// are not drawn by the software backend). Placed over the map, the layer
// follows its projection: whenever the map moves, zooms, turns or tilts, it
// asks the map where four points of its view lie and maps the tracks' Web
// Mercator points onto the view through the projective transform those four
// pairs fix.
#pragma once

#include <QPointer>
#include <QPolygonF>
#include <QQuickPaintedItem>
#include <QTransform>

class GpsPointModel;

class TrackLayer : public QQuickPaintedItem {
    Q_OBJECT
    // The Map whose view the layer follows (its toCoordinate is asked).
    Q_PROPERTY(QQuickItem *map READ map WRITE setMap NOTIFY mapChanged)
    Q_PROPERTY(GpsPointModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(qreal lineWidth READ lineWidth WRITE setLineWidth NOTIFY lineWidthChanged)
    // Line pieces made for the next frame (for tests and benchmarks).
    Q_PROPERTY(int drawnPieces READ drawnPieces NOTIFY drawn)

public:
    explicit TrackLayer(QQuickItem *parent = nullptr);

    QQuickItem *map() const { return mapItem; }
    void setMap(QQuickItem *map);
    GpsPointModel *model() const { return points; }
    void setModel(GpsPointModel *model);
    qreal lineWidth() const { return width_; }
    void setLineWidth(qreal width);
    int drawnPieces() const { return pieceCount; }

    void paint(QPainter *painter) override;

signals:
    void mapChanged();
    void modelChanged();
    void lineWidthChanged();
    void drawn();

protected:
    void updatePolish() override;
    void geometryChanged(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private slots:
    void viewChanged();

private:
    bool projection(QTransform *toView, double *centreX) const;

    struct Piece {
        QColor color;
        QPolygonF line;
    };
    // Either may go before the layer when a window closes.
    QPointer<QQuickItem> mapItem;
    QPointer<GpsPointModel> points;
    qreal width_ = 4;
    QVector<Piece> pieces; // in view coordinates, made in updatePolish
    int pieceCount = 0;
};

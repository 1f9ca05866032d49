// The map of the GPS tab against a tile server of our own on 127.0.0.1: the
// plugin asks the configured server (not the provider-redirect service) with
// the program's User-Agent, keeps the tiles on disk, and the tiles' pixels
// reach the drawn frame.
#include <QTcpServer>
#include <QTcpSocket>
#include <QtQuick>
#include <QtTest>

#include "gps/gpx.h"
#include "manager/manager.h"

namespace {

const QColor TileColour(255, 0, 255);

// Answers every GET with one magenta 256 x 256 PNG tile and notes the
// request's "path|user agent".
class TileServer : public QTcpServer {
public:
    QStringList requests;

    TileServer()
    {
        QImage image(256, 256, QImage::Format_RGB32);
        image.fill(TileColour);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
        });
    }

private:
    void serve(QTcpSocket *socket)
    {
        // The request is complete at its empty line; kept on the socket until then.
        const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
        socket->setProperty("request", request);
        if (!request.contains("\r\n\r\n"))
            return;
        const QRegularExpression path("^GET (\\S+)"),
            agent("\nuser-agent: *([^\r]*)", QRegularExpression::CaseInsensitiveOption);
        const QString text = QString::fromLatin1(request);
        requests << path.match(text).captured(1) + "|" + agent.match(text).captured(1);
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: "
            + QByteArray::number(png.size()) + "\r\nConnection: close\r\n\r\n" + png);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
    }

    QByteArray png;
};

} // namespace

class TestMapTiles : public QObject {
    Q_OBJECT
private slots:
    void tilesFromTheConfiguredServer()
    {
        QTemporaryDir settingsDir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QStandardPaths::setTestModeEnabled(true);
        TileServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));

        Manager manager;
        const QString cache = manager.mapSettings().value("cacheFolder").toString();
        QDir(cache).removeRecursively();
        manager.setTileServer(
            QStringLiteral("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server.serverPort()));

        QQmlApplicationEngine engine;
        engine.rootContext()->setContextProperty(QStringLiteral("Manager"), &manager);
        engine.loadData(
            "import QtQuick 2.7\nimport QtQuick.Window 2.2\n"
            "Window { visible: true; width: 1100; height: 650\n"
            "  property alias tab: loader.item\n"
            "  Loader { id: loader; anchors.fill: parent; source: \"qrc:/qml/Tabs/TabGPS.qml\" } }");
        QCOMPARE(engine.rootObjects().size(), 1);
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().at(0));
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        auto *tab = window->property("tab").value<QQuickItem *>();
        auto *mapItem = tab ? tab->property("map").value<QQuickItem *>() : nullptr;
        QVERIFY(mapItem);

        // Requests for tiles of the map's zoom level, with our User-Agent only.
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() >= 4, 20000);
        const QRegularExpression tile(QStringLiteral("^/(\\d+)/\\d+/\\d+\\.png\\|(.*)$"));
        bool zoom15 = false;
        for (const QString &r : server.requests) {
            const QRegularExpressionMatch m = tile.match(r);
            QVERIFY2(m.hasMatch() && m.captured(2) == Gpx::creator(), qPrintable(r));
            zoom15 |= m.captured(1) == "15";
        }
        QVERIFY(zoom15);

        // The tiles are drawn: most of the map area is the tile's colour.
        const QRectF area = mapItem->mapRectToScene(mapItem->boundingRect());
        const auto tilesDrawn = [&] {
            const QImage frame = window->grabWindow();
            int hits = 0, total = 0;
            for (int y = int(area.top()) + 5; y < int(area.bottom()) - 30; y += 10)
                for (int x = int(area.left()) + 5; x < int(area.right()) - 5; x += 10, ++total)
                    hits += frame.pixelColor(x, y) == TileColour;
            return total > 0 && hits * 10 > total * 9;
        };
        QTRY_VERIFY_WITH_TIMEOUT(tilesDrawn(), 20000);
        // The attribution is on the map; the tiles are kept on disk.
        QCOMPARE(tab->property("attribution").value<QObject *>()->property("text").toString(),
            QStringLiteral("© OpenStreetMap contributors"));
        QTRY_VERIFY(!QDir(cache).isEmpty());
        QDir(cache).removeRecursively();
    }
};

QTEST_MAIN(TestMapTiles)
#include "tst_maptiles_xvfb.moc"

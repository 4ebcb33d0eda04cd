// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's drawing: the fast route (outlines written into the
// pixels, fills and tiles in bands) gives the same picture as handing every
// shape to QPainter whole, at 1:1 and through the scales and offsets the
// scene graph paints with; and the painted item's kept picture is drawn
// afresh whenever the layout changes (size, folder, depth, language).
#include "AppModel.h"
#include "TestHome.h"
#include "TreemapItem.h"
#include "TreemapLayout.h"
#include "TreemapPainter.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// A tree `levels` deep below root with `fanout` sub-folders each, sizes spread
// over several orders of magnitude, so a map has containers at every level,
// plain tiles with size labels, merged "Other" cells, files of their own and
// groups of files.
void grow(FolderDraft& n, int levels, int fanout, std::mt19937& rng)
{
    n.size = int64_t(1) << (12 + rng() % 18);
    if (levels == 0)
        return;
    const int64_t big = int64_t(1) << (14 + rng() % 16);
    n.files = {{"file a.bin", big}, {"file b.txt", big / 8}};
    n.fileCount = 2 + int64_t(rng() % 40);
    n.fileBytes = big + big / 8 + big / 16 * (n.fileCount - 2);
    n.size += n.fileBytes;
    n.children.resize(size_t(fanout));
    for (int i = 0; i < fanout; ++i) {
        FolderDraft& c = n.children[size_t(i)];
        c.name = "folder " + std::to_string(levels) + "-" + std::to_string(i);
        c.path = n.path + "/" + c.name;
        grow(c, levels - 1, fanout, rng);
        n.size += c.size;
    }
}

FolderDraft tree(const std::string& root, int topFolders, int levels, int fanout)
{
    std::mt19937 rng(11);
    FolderDraft n;
    n.path = root;
    n.name = root.substr(root.rfind('/') + 1);
    n.children.resize(size_t(topFolders));
    for (int i = 0; i < topFolders; ++i) {
        FolderDraft& c = n.children[size_t(i)];
        c.name = "top " + std::to_string(i);
        c.path = root + "/" + c.name;
        grow(c, levels - 1, fanout, rng);
        n.size += c.size;
    }
    return n;
}

// The item's paint as the scene graph calls it: into a cleared image.
QImage painted(TreemapItem& item)
{
    QImage image(item.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    item.paint(&painter);
    return image;
}

} // namespace

class TreemapPaintTest : public QObject
{
    Q_OBJECT

private slots:
    void fastRouteMatchesPlainPainting_data()
    {
        QTest::addColumn<int>("topFolders");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<qreal>("pixelRatio");
        QTest::addColumn<QTransform>("world");
        const QSizeF size(900, 560);
        QTest::newRow("deep, 1:1") << 4 << 8 << size << 1.0 << QTransform();
        QTest::newRow("wide and shallow, 1:1") << 40 << 3 << size << 1.0 << QTransform();
        QTest::newRow("pixel ratio 2") << 4 << 8 << size << 2.0 << QTransform();
        // The scene graph scales by texture size over item size when the
        // item's size is fractional.
        QTest::newRow("fractional scale")
            << 4 << 8 << size << 1.0 << QTransform::fromScale(0.99931, 1.00087);
        QTest::newRow("half-pixel offset")
            << 12 << 5 << size << 1.0 << QTransform::fromTranslate(0.5, 0.25);
        // Outlines cut by the picture's edges on all four sides.
        QTest::newRow("larger than the picture")
            << 4 << 8 << size << 1.0 << QTransform(1.3, 0, 0, 1.4, -140.5, -110.25);
    }

    void fastRouteMatchesPlainPainting()
    {
        QFETCH(int, topFolders);
        QFETCH(int, depth);
        QFETCH(QSizeF, size);
        QFETCH(qreal, pixelRatio);
        QFETCH(QTransform, world);
        const DiskNode root(tree("/t", topFolders, 8, 4));
        TreemapLayout::Map map;
        TreemapLayout::build(root, TreemapLayout::Rect{0, 0, size.width(), size.height()}, 0, depth,
                             0, map);

        const QSize pixels = (size * pixelRatio).toSize();
        QImage fast(pixels, QImage::Format_ARGB32_Premultiplied);
        QImage plain(pixels, QImage::Format_ARGB32_Premultiplied);
        fast.setDevicePixelRatio(pixelRatio);
        plain.setDevicePixelRatio(pixelRatio);
        const auto hints = QPainter::Antialiasing | QPainter::TextAntialiasing;
        const int fastLeft =
            TreemapPainter::render(map, fast, world, hints, TreemapPainter::Route::Fast);
        const int outlines =
            TreemapPainter::render(map, plain, world, hints, TreemapPainter::Route::Plain);
        // The fast route really drew outlines (it leaves those at the
        // picture's edge, or two pixels across, to QPainter).
        QVERIFY2(
            outlines - fastLeft >= 100,
            qPrintable(
                QStringLiteral("%1 of %2 outlines left to QPainter").arg(fastLeft).arg(outlines)));
        QCOMPARE(fast, plain);
    }

    void pictureIsDrawnAgainWhenTheLayoutChanges()
    {
        TestSupport::TestHome home;
        qputenv("TID_LANG", "en");
        AppModel model;
        EngineCalls calls;
        // "/two" also holds a folder of 40 equal sub-folders: at level 1
        // the 18 smallest merge into one "Other" cell big enough for a label.
        calls.diskTree = [](const std::string& root, int, bool, const CancelToken*) {
            FolderDraft n = tree(root, root == "/one" ? 6 : 9, 6, 3);
            if (root == "/two") {
                FolderDraft& many = n.children.emplace_back();
                many.name = "many";
                many.path = root + "/many";
                for (int i = 0; i < 40; ++i) {
                    FolderDraft& c = many.children.emplace_back();
                    c.name = "m" + std::to_string(i);
                    c.path = many.path + "/" + c.name;
                    c.size = int64_t(1) << 33;
                    many.size += c.size;
                }
                n.size += many.size;
            }
            return DiskNode(n);
        };
        model.setEngine(calls);
        const auto load = [&model](const std::string& root, std::optional<int> depth) {
            model.map()->load(root, depth, false, false);
            QTRY_VERIFY(!model.map()->loading() && model.map()->hasRoot() &&
                        model.map()->root()->path() == root);
        };
        load("/one", 6);

        TreemapItem item;
        item.setMapState(model.map());
        item.setLanguage(QStringLiteral("en"));
        item.setSize(QSizeF(640, 400));
        const struct
        {
            const char* change;
            std::function<void()> make;
        } changes[] = {
            {"resize", [&] { item.setSize(QSizeF(700, 430)); }},
            {"another folder", [&] { load("/two", std::nullopt); }},
            {"depth", [&] { load("/two", 3); }},
            {"language",
             [&] {
                 qputenv("TID_LANG", "zh");
                 item.setLanguage(QStringLiteral("zh"));
             }},
        };
        QImage before = painted(item);
        QCOMPARE(painted(item), before); // a repaint alone keeps the picture
        for (const auto& c : changes) {
            c.make();
            const QImage after = painted(item);
            TreemapItem fresh;
            fresh.setMapState(model.map());
            fresh.setLanguage(item.language());
            fresh.setSize(item.size());
            QVERIFY2(after != before, c.change);
            QVERIFY2(after == painted(fresh), c.change);
            before = after;
        }
    }
};

QTEST_MAIN(TreemapPaintTest)
#include "TreemapPaintTest.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Overview page: the disk ring without a total, the type ring's slivers
// and colours, the loading views before any figures, and the header buttons
// while a scan runs.
TestCase {
    id: test
    name: "Overview"
    width: 1000
    height: 750
    visible: true
    when: windowShown

    // Each view before its model, so the view goes first when both are destroyed.
    Component {
        id: pageComp
        Item {
            property alias page: page
            property alias app: appModel
            OverviewView { id: page; width: 1000; height: 750; app: appModel }
            AppModel { id: appModel }
        }
    }
    Component {
        id: diskCardComp
        Item {
            property alias card: card
            DiskCard { id: card; app: appModel }
            AppModel { id: appModel }
        }
    }
    Component { id: ringComp; DiskRing {} }
    Component { id: donutComp; TypeDonut {} }

    function test_diskRingWithoutTotal() {
        const card = createTemporaryObject(diskCardComp, test).card
        card.volume = { total: 0, free: 0, used: 0 }
        compare(card.ratio, 0)
        compare(findChild(card, "ringPercent").text, "0%")
        card.volume = { total: 1000, free: 544, used: 456 }
        compare(findChild(card, "ringPercent").text, "45%")
        const ring = createTemporaryObject(ringComp, test, { ratio: 1 })
        compare(findChild(ring, "ringPercent").text, "100%")
    }

    // The ring is there in the first picture of it: the used half (right)
    // in the accent, the free half (left) the faint track, the corner bare.
    function test_diskRingPaintsInItsFirstFrame() {
        const ring = createTemporaryObject(ringComp, test, { ratio: 0.5 })
        const img = grabImage(ring)
        const mid = Math.round(ring.height / 2)
        const used = img.pixel(ring.width - 7, mid)
        const free = img.pixel(7, mid)
        const bare = img.pixel(0, 0)
        verify(!Qt.colorEqual(used, free), "used " + used + ", free " + free)
        verify(!Qt.colorEqual(free, bare), "free " + free + ", bare " + bare)
        verify(used.b > used.r, "accent " + used)
    }

    function test_typeDonutSegments() {
        const donut = createTemporaryObject(donutComp, test, {
            buckets: [{ name: "Video", size: 5e9, index: 0 }, { name: "Text", size: 3, index: 12 }]
        })
        const segs = donut.segments()
        compare(segs.length, 2)
        compare(segs[0].start, -90)
        fuzzyCompare(segs[0].end, -90 + 5e9 / (5e9 + 3) * 360 - 0.8, 1e-6)
        fuzzyCompare(segs[1].end - segs[1].start, 0.4, 1e-9) // a sliver, never nothing
        compare(segs[1].color, Treemap.color(2, 0))          // index 12 takes hue 2

        const none = createTemporaryObject(donutComp, test, {
            buckets: [{ name: "a", size: 0, index: 0 }, { name: "b", size: 0, index: 1 }]
        })
        compare(none.total, 0)
        for (const s of none.segments()) {
            compare(s.start, -90)
            fuzzyCompare(s.end - s.start, 0.4, 1e-9)
        }
    }

    function test_loadingViewsThenScanButtons() {
        Lang.langSel = "en"
        const holder = createTemporaryObject(pageComp, test)
        const app = holder.app
        const page = holder.page
        const goClean = createTemporaryObject(spyComp, test, { target: page, signalName: "goClean" })
        verify(findChild(page, "typeLoading").visible)
        verify(findChild(page, "categoryLoading").visible)

        const exportButton = findChild(page, "exportReport")
        const scanButton = findChild(page, "fullScan")
        compare(scanButton.text, "Start Full Scan")
        mouseClick(scanButton)
        verify(app.scanning)
        verify(!exportButton.enabled && !scanButton.enabled)
        compare(scanButton.text, "Scanning…")
        tryVerify(() => !app.scanning, 60000)
        verify(exportButton.enabled && scanButton.enabled)

        mouseClick(findChild(page, "reclaimableCard"))
        mouseClick(findChild(page, "leftoversCard"))
        compare(goClean.count, 2)
        Lang.langSel = "auto"
    }

    // The page says where the report was written, with its path, or that it
    // could not be written.
    function test_exportedReportIsAnnounced_data() {
        return [
            { tag: "en desktop", lang: "en", path: "/h/Desktop/r.md", onDesktop: true,
              text: "Report exported to Desktop" },
            { tag: "en home", lang: "en", path: "/h/r.md", onDesktop: false,
              text: "Report exported to your home folder" },
            { tag: "en failed", lang: "en", path: "", onDesktop: false,
              text: "The report could not be written" },
            { tag: "zh desktop", lang: "zh", path: "/h/桌面/r.md", onDesktop: true,
              text: "报告已导出到桌面" },
            { tag: "zh home", lang: "zh", path: "/h/r.md", onDesktop: false,
              text: "报告已导出到家目录" },
            { tag: "zh failed", lang: "zh", path: "", onDesktop: false, text: "无法写入报告" },
        ]
    }
    function test_exportedReportIsAnnounced(row) {
        Lang.langSel = row.lang
        const holder = createTemporaryObject(pageComp, test)
        const toast = findChild(holder.page, "overviewToast")
        verify(!toast.shown)
        holder.app.reportExported(row.path, row.onDesktop)
        tryCompare(toast, "visible", true)
        compare(toast.text, row.text)
        const pathLine = findChild(toast, "toastPath")
        compare(pathLine.visible, row.path !== "")
        compare(pathLine.text, row.path)
        compare(toast.Accessible.name, row.path === "" ? row.text : row.text + " " + row.path)
        verify(toast.width <= holder.page.width)
        Lang.langSel = "auto"
    }

    Component { id: spyComp; SignalSpy {} }
}

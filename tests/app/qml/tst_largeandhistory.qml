// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Large Files page's stepper and read-only rows, and the History page with
// no history file and with its lines.
TestCase {
    id: test
    name: "LargeAndHistory"
    width: 892
    height: 750
    visible: true
    when: windowShown

    AppModel {
        id: appModel
    }

    Component {
        id: filesComponent
        LargeFilesView {
            width: 892
            height: 750
            app: appModel
        }
    }
    Component {
        id: historyComponent
        HistoryView {
            width: 892
            height: 750
            app: appModel
        }
    }
    Component {
        id: lineComponent
        HistoryLine {
            width: 600
            index: 0
            dateText: "01-03 09:05"
            items: 1
            freedText: "1.5 GB"
            sourceKey: "nav.clean"
            complete: true
            listed: 1
            inTrash: 1
            open: false
        }
    }

    function initTestCase() {
        Lang.langSel = "en"
    }
    function cleanupTestCase() {
        Lang.langSel = "auto"
    }

    function test_stepperMovesBy50Between50And2000() {
        const page = createTemporaryObject(filesComponent, test)
        const down = findChild(page, "stepDown")
        const up = findChild(page, "stepUp")
        appModel.largeMinMB = 100
        mouseClick(down)
        compare(appModel.largeMinMB, 50)
        verify(!down.enabled)
        mouseClick(down)
        compare(appModel.largeMinMB, 50)
        appModel.largeMinMB = 1950
        mouseClick(up)
        compare(appModel.largeMinMB, 2000)
        verify(!up.enabled)
        compare(findChild(page, "minText").text, "Minimum size: 2000 MB")
    }

    // A search of the page's own shows on the page; one that finds nothing
    // says that nothing is above the minimum.
    function test_rescanShowsItselfThenSaysNothingIsAbove() {
        const page = createTemporaryObject(filesComponent, test)
        // Before any search the page claims nothing.
        verify(appModel.largeSearched || !findChild(page, "largeEmpty").visible)
        appModel.rescanLarge()
        verify(appModel.largeSearching)
        verify(findChild(page, "largeLoading").visible)
        verify(!findChild(page, "largeEmpty").visible)
        tryVerify(() => !appModel.largeSearching, 10000)
        compare(findChild(page, "largeList").count, 0)
        verify(!findChild(page, "largeLoading").visible)
        const empty = findChild(page, "largeEmpty")
        verify(empty.visible)
        compare(empty.text, "No file is above the minimum size")
    }

    function test_rowClickNeverSelects() {
        appModel.largeMinMB = 1
        appModel.rescanLarge()
        tryVerify(() => appModel.largeItems.count > 0, 30000)
        const page = createTemporaryObject(filesComponent, test)
        const list = findChild(page, "largeList")
        tryVerify(() => list.itemAtIndex(0) !== null)
        const before = appModel.selectedCount
        mouseClick(list.itemAtIndex(0))
        mouseClick(findChild(list.itemAtIndex(0), "check"))
        compare(appModel.selectedCount, before)
        verify(!list.itemAtIndex(0).selected)
    }

    function test_historyEmptyStateAndALine() {
        const page = createTemporaryObject(historyComponent, test)
        tryCompare(appModel.history, "count", 0)
        compare(findChild(page, "totalFreed").text, "0 B")
        compare(findChild(page, "sessions").text, "0")
        verify(findChild(page, "noHistory").visible)
        compare(findChild(page, "noHistory").text, "No cleanup records yet")

        const line = createTemporaryObject(lineComponent, test)
        compare(findChild(line, "itemsText").text, "1 item")
        compare(findChild(line, "dateText").text, "01-03 09:05")
    }

    // English says "1 item" and "0 items", "2 items"; Chinese has no plural.
    function test_countsReadInTheLanguage_data() {
        return [
            { tag: "en 0", lang: "en", count: 0, text: "0 items" },
            { tag: "en 1", lang: "en", count: 1, text: "1 item" },
            { tag: "en 2", lang: "en", count: 2, text: "2 items" },
            { tag: "zh 0", lang: "zh", count: 0, text: "0 项" },
            { tag: "zh 1", lang: "zh", count: 1, text: "1 项" },
            { tag: "zh 2", lang: "zh", count: 2, text: "2 项" },
        ]
    }
    function test_countsReadInTheLanguage(row) {
        Lang.langSel = row.lang
        const line = createTemporaryObject(lineComponent, test, { items: row.count })
        compare(findChild(line, "itemsText").text, row.text)
        Lang.langSel = "en"
    }
}

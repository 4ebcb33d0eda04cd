// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The main window's content: start-up actions, the sidebar's page rows and
// activity area, and the language switch.
TestCase {
    id: test
    name: "RootView"
    width: 1100
    height: 750
    visible: true
    when: windowShown

    Component {
        id: rootComponent
        RootView {
            width: 1100
            height: 750
        }
    }

    function makeRoot() {
        const root = createTemporaryObject(rootComponent, test)
        verify(root !== null)
        return root
    }

    function rowLabel(root, page) {
        return findChild(root, "pageRow_" + page).contentItem.children[1].text
    }

    function test_1_startsScanAndDecidesGuide() {
        const root = makeRoot()
        compare(root.page, "overview")
        verify(root.app.scanning)
        compare(root.guide.kind, "basic")
        verify(Navigator.lastUsed("overview") > 0)
        root.app.cancelScan()
    }

    // As with TID_PAGE=files: another first page starts no scan but is recorded.
    function test_startingOnAnotherPageStartsNoScan() {
        const before = Navigator.lastUsed("files")
        tryVerify(() => Date.now() > before) // the next record is a later one
        const root = createTemporaryObject(rootComponent, test, { page: "files" })
        verify(!root.app.scanning)
        compare(root.app.phaseKey, "")
        verify(root.app.volume.total > 0)
        verify(Navigator.lastUsed("files") > before)
    }

    function test_pageRowsSwitchAndRecordTheFeature() {
        const root = makeRoot()
        root.app.cancelScan()
        // The onboarding covers the window until it is finished.
        root.guide = { kind: "", features: [] }
        const before = Navigator.lastUsed("files")
        tryVerify(() => Date.now() > before)
        mouseClick(findChild(root, "pageRow_files"))
        compare(root.page, "files")
        verify(Navigator.lastUsed("files") > before)
        verify(findChild(root, "pageLoader").item.toString().indexOf("LargeFilesView") === 0)

        const dupesBefore = Navigator.lastUsed("dupes")
        tryVerify(() => Date.now() > dupesBefore)
        mouseClick(findChild(root, "pageRow_tools"))
        compare(root.page, "tools")
        verify(Navigator.lastUsed("dupes") > dupesBefore)
    }

    // The Overview is built again on every return, with its rows already
    // there: the category card must still hold them all.
    function test_categoryCardHoldsItsRowsOnReturn() {
        const root = makeRoot()
        root.guide = { kind: "", features: [] }
        tryVerify(() => root.app.categories.length > 0, 10000)
        for (const page of ["files", "overview", "map", "overview"]) {
            mouseClick(findChild(root, "pageRow_" + page))
            compare(root.page, page)
        }
        const card = findChild(findChild(root, "pageLoader").item, "categoryCard")
        const rows = findChild(card, "categoryRows")
        verify(rows.visible)
        waitForRendering(card)
        const bottom = rows.mapToItem(card, 0, rows.height).y
        verify(rows.height > 0)
        verify(card.height >= bottom + card.padding, `card ${card.height}, rows end at ${bottom}`)
        root.app.cancelScan()
    }

    function test_cancelRemovesTheActivityArea() {
        const root = makeRoot()
        root.guide = { kind: "", features: [] }
        const area = findChild(root, "activityArea")
        verify(root.app.scanning)
        verify(area.visible)
        verify(area.height > 0)
        mouseClick(findChild(root, "cancelButton"))
        verify(!root.app.scanning)
        compare(root.app.phaseKey, "phase.cancelled")
        verify(!area.visible)
        compare(area.height, 0)
    }

    function test_reminderOpensTheFeaturePage() {
        const root = makeRoot()
        root.app.cancelScan()
        root.guide = { kind: "returning", features: ["map", "procs"] }
        const before = Navigator.lastUsed("procs")
        tryVerify(() => Date.now() > before)
        root.goFeature("procs")
        compare(root.guide.kind, "")
        compare(root.page, "tools")
        verify(Navigator.lastUsed("procs") > before)
    }

    function test_languageChangeRedrawsTheWindow() {
        const root = makeRoot()
        root.app.cancelScan()
        Lang.langSel = "zh"
        compare(root.langSel, "zh")
        compare(rowLabel(root, "overview"), "概览")
        compare(rowLabel(root, "about"), "关于")
        Lang.langSel = "en"
        compare(rowLabel(root, "overview"), "Overview")
        compare(findChild(findChild(root, "pageLoader").item, "pageHeader").title, "Device Overview")
        Lang.langSel = "auto"
        compare(root.langSel, "auto")
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Clean page over a real scan of the test home: filtering, searching,
// selecting, the footer, the result message, and one real clean-up.
TestCase {
    id: test
    name: "CleanView"
    width: 892
    height: 750
    visible: true
    when: windowShown

    AppModel {
        id: scanned
    }

    Component {
        id: pageComponent
        CleanView {
            width: 892
            height: 750
            app: scanned
        }
    }

    function initTestCase() {
        Lang.langSel = "en"
        scanned.fullScan()
        tryCompare(scanned, "scanning", false, 60000)
        verify(scanned.cacheItems.count >= 2)
        verify(scanned.leftoverItems.count >= 1)
    }

    function cleanupTestCase() {
        Lang.langSel = "auto"
    }

    function makePage() {
        const page = createTemporaryObject(pageComponent, test)
        verify(page !== null)
        return page
    }

    function listed(page) {
        return findChild(page, "itemList").count
    }

    function test_searchIgnoresBlanksAndCaseButNotTheSegmentCounts() {
        const page = makePage()
        const all = scanned.cleanItems.count
        compare(listed(page), all)
        page.query = "   "
        compare(listed(page), all)
        page.query = "MIXEDCASE"
        verify(listed(page) >= 1 && listed(page) < all)
        compare(findChild(page, "segmentAll").count, all)
        compare(findChild(page, "segmentCache").count, scanned.cacheItems.count)
        compare(findChild(page, "segmentOrphan").count, scanned.leftoverItems.count)
        page.query = ""
        mouseClick(findChild(page, "segmentOrphan"))
        compare(listed(page), scanned.leftoverItems.count)
    }

    function test_selectAllUnderASearchKeepsEarlierChoices() {
        const page = makePage()
        mouseClick(findChild(page, "selectNone"))
        compare(scanned.selectedCount, 0)
        const move = findChild(page, "moveToTrash")
        verify(!move.enabled)
        compare(findChild(page, "selectedCount").text, "Selected 0 items")
        compare(findChild(page, "selectedSize").text, "0 B")

        page.query = "oldtool"
        mouseClick(findChild(page, "selectAll"))
        compare(scanned.selectedCount, 1)
        compare(findChild(page, "selectedCount").text, "Selected 1 item")
        page.query = "mixedcase"
        mouseClick(findChild(page, "selectAll"))
        compare(scanned.selectedCount, 2)
        compare(findChild(page, "selectedCount").text, "Selected 2 items")
        verify(move.enabled)
        mouseClick(findChild(page, "selectNone"))
    }

    TextMetrics {
        id: metrics
    }

    // A name is shown as it is: markup stays text (what is drawn is exactly
    // as wide as the literal characters), and a right-to-left override shows
    // as "?" instead of turning the rest of the name around.
    function test_oddNamesShownAsTheyAre_data() {
        return [
            { tag: "markup", query: "<i>", shown: "<b>x<i>y" },
            { tag: "bidi override", query: "gnp.exe", shown: "a?gnp.exe" },
        ]
    }

    function test_oddNamesShownAsTheyAre(data) {
        const page = makePage()
        page.filter = 1 // each is a leftover too
        page.query = data.query
        const list = findChild(page, "itemList")
        tryCompare(list, "count", 1)
        tryVerify(() => list.itemAtIndex(0) && list.itemAtIndex(0).path.indexOf(data.query) >= 0)
        const name = findChild(list.itemAtIndex(0), "nameText")
        compare(name.text, data.shown)
        metrics.font = name.font
        metrics.text = data.shown
        verify(Math.abs(name.contentWidth - metrics.advanceWidth) < 1,
               name.contentWidth + " vs " + metrics.advanceWidth)
        compare(name.Accessible.name, data.shown)
        compare(findChild(list.itemAtIndex(0), "check").Accessible.name, data.shown)
    }

    // Select All ticks a protected finding too; the confirmation then says
    // how many of the items to move are protected and names them.
    function test_confirmationNamesProtectedItems() {
        const page = makePage()
        mouseClick(findChild(page, "selectNone"))
        const mixed = "MixedCase"
        let path = ""
        for (let i = 0; i < scanned.cleanItems.count; ++i) {
            const p = scanned.cleanItems.data(scanned.cleanItems.index(i, 0), 257)
            if (p && p.endsWith("/" + mixed))
                path = p
        }
        verify(path !== "", "no MixedCase finding")
        scanned.toggleProtect(path)
        verify(scanned.isProtected(path))
        page.query = "mixedcase"
        mouseClick(findChild(page, "selectAll"))
        page.query = "oldtool"
        mouseClick(findChild(page, "selectAll"))
        compare(scanned.selectedCount, 2)
        mouseClick(findChild(page, "moveToTrash"))
        const dialog = findChild(page, "confirmDialog")
        tryCompare(dialog, "opened", true)
        const message = findChild(dialog.contentItem, "confirmMessage").text
        verify(message.endsWith("\n1 of them are protected:"), message)
        compare(textsOf(dialog.contentItem, "confirmName").map(t => t.text), [mixed])
        mouseClick(findChild(dialog.contentItem, "confirmCancel"))
        tryCompare(dialog, "visible", false)
        compare(scanned.selectedCount, 2)
        scanned.toggleProtect(path)
        mouseClick(findChild(page, "selectNone"))
    }

    function textsOf(item, name) {
        const out = []
        for (let i = 0; i < item.children.length; ++i) {
            const c = item.children[i]
            if (c.objectName === name && c.visible)
                out.push(c)
            out.push(...textsOf(c, name))
        }
        return out
    }

    function test_resultMessageHasALineForEachReasonSomethingDidNotMove() {
        const page = makePage()
        const toast = findChild(page, "toast")
        scanned.trashed(1, 0, 1024, [])
        compare(toast.text, "Moved to Trash: 1 item, 1.0 KB.")
        scanned.trashed(3, 0, 1024, [])
        compare(toast.text, "Moved to Trash: 3 items, 1.0 KB.")
        scanned.trashed(3, 3, 1024, ["1 item was already gone.",
                                     "2 items stay where they are: no permission."])
        compare(toast.text, "Moved to Trash: 3 items, 1.0 KB.\n1 item was already gone.\n"
                + "2 items stay where they are: no permission.")
        tryCompare(toast, "shown", true)
        tryCompare(toast, "shown", false, 5000)
    }

    // Last: it moves the test home's Big cache into the Trash.
    function test_z_moveToTrashAfterConfirming() {
        const page = makePage()
        mouseClick(findChild(page, "selectNone"))
        page.query = "Big"
        mouseClick(findChild(page, "selectAll"))
        compare(scanned.selectedCount, 1)
        const before = scanned.cleanItems.count
        mouseClick(findChild(page, "moveToTrash"))
        const dialog = findChild(page, "confirmDialog")
        tryCompare(dialog, "opened", true)
        compare(findChild(dialog.contentItem, "confirmMessage").text,
                "1 item (3.0 MB) will be moved to Trash.")
        const done = signalSpy.createObject(test, { target: scanned, signalName: "trashed" })
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        done.wait(10000)
        compare(done.signalArguments[0][0], 1)
        compare(done.signalArguments[0][1], 0)
        verify(scanned.cleanItems.count < before)
        compare(listed(page), 0)
        tryCompare(findChild(page, "toast"), "shown", true)
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }
}

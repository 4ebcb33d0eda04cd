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
            model: scanned
        }
    }

    function initTestCase() {
        Lang.langSel = "en"
        scanned.fullScan()
        tryCompare(scanned, "scanning", false, 60000)
        verify(scanned.cacheItems.count >= 2)
        verify(scanned.orphanItems.count >= 1)
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
        compare(findChild(page, "segmentOrphan").count, scanned.orphanItems.count)
        page.query = ""
        mouseClick(findChild(page, "segmentOrphan"))
        compare(listed(page), scanned.orphanItems.count)
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
        page.query = "mixedcase"
        mouseClick(findChild(page, "selectAll"))
        compare(scanned.selectedCount, 2)
        verify(move.enabled)
        mouseClick(findChild(page, "selectNone"))
    }

    function test_resultMessageHasASecondLineWhenSomethingFailed() {
        const page = makePage()
        const toast = findChild(page, "toast")
        scanned.trashed(3, 0, 1024)
        compare(toast.text, "Moved to Trash: 3 items, 1.0 KB.")
        scanned.trashed(3, 1, 1024)
        compare(toast.text, "Moved to Trash: 3 items, 1.0 KB.\nSome files are in use by running apps.")
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
                "1 items (3.0 MB) will be moved to Trash.")
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

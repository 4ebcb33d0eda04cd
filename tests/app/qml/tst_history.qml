// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The History page over a real clean-up of the test home: a line opens to
// list its items, and Put Back, confirmed, brings one back, as the pointer
// does it. A clean-up the page did not make (the Clean page's, here) shows
// while the page is on screen.
TestCase {
    id: test
    name: "History"
    width: 892
    height: 750
    visible: true
    when: windowShown

    AppModel {
        id: appModel
    }

    ItemFilter {
        id: mixedCase
        sourceModel: appModel.cleanItems
        query: "MixedCase"
    }

    Component {
        id: pageComponent
        HistoryView {
            width: 892
            height: 750
            app: appModel
        }
    }

    Component {
        id: signalSpy
        SignalSpy {}
    }

    function initTestCase() {
        Lang.langSel = "en"
        appModel.fullScan()
        tryCompare(appModel, "scanning", false, 60000)
        verify(mixedCase.count >= 1)
    }

    function cleanupTestCase() {
        Lang.langSel = "auto"
    }

    function line(page, row) {
        const list = findChild(page, "historyList")
        tryVerify(() => list.itemAtIndex(row) !== null)
        return list.itemAtIndex(row)
    }

    function test_openALineAndPutAnItemBack() {
        const page = createTemporaryObject(pageComponent, test)
        tryCompare(appModel.history, "count", 0)
        verify(findChild(page, "noHistory").visible)

        // A clean-up while the page is on screen shows on it by itself.
        appModel.clearSelection()
        appModel.selectAllIn(mixedCase)
        const trashed = signalSpy.createObject(test, { target: appModel, signalName: "trashed" })
        appModel.trashSelected()
        trashed.wait(10000)
        compare(trashed.signalArguments[0][0], 1)
        tryCompare(appModel.history, "count", 1, 10000)
        compare(findChild(page, "sessions").text, "1")

        const first = line(page, 0)
        compare(findChild(first, "sourceText").text, "Clean")
        verify(!findChild(first, "unreadableNote").visible)
        verify(!findChild(first, "putBackAll").visible)
        mouseClick(first, 40, 15)
        tryCompare(appModel.history, "openRow", 0)
        const items = findChild(first, "cleanupItems")
        tryVerify(() => items.count === 1 && items.itemAtIndex(0) !== null)
        const row = items.itemAtIndex(0)
        compare(findChild(row, "itemName").text, "MixedCase")
        compare(findChild(row, "itemFolder").text, "~/Library/Caches")
        compare(findChild(row, "itemState").text, "In the Trash")
        verify(findChild(first, "putBackAll").visible)

        // Put Back asks first; Cancel changes nothing.
        const dialog = findChild(page, "confirmDialog")
        mouseClick(findChild(row, "itemPutBack"))
        tryCompare(dialog, "opened", true)
        compare(findChild(dialog.contentItem, "confirmMessage").text,
                "1 item will go back where it was. If its place is taken now, it stays in the "
                + "Trash, unless you choose to put it beside, as “name (restored date)”.")
        compare(findChild(dialog.contentItem, "confirmAlternate").text, "Put Back, Beside if Taken")
        mouseClick(findChild(dialog.contentItem, "confirmCancel"))
        tryCompare(dialog, "opened", false)
        compare(findChild(row, "itemState").text, "In the Trash")

        const done = signalSpy.createObject(test, { target: appModel.history,
                                                    signalName: "putBackFinished" })
        mouseClick(findChild(row, "itemPutBack"))
        tryCompare(dialog, "opened", true)
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        done.wait(10000)
        const toast = findChild(page, "toast")
        compare(toast.text, "Put back 1 item.")
        tryCompare(toast, "shown", true)
        // Read again: the item is where it was, and nothing is left to put back.
        tryCompare(findChild(row, "itemState"), "text", "Put back", 10000)
        verify(!findChild(row, "itemPutBack").visible)
        verify(!findChild(first, "putBackAll").visible)

        // The line closes on a second click.
        mouseClick(first, 40, 15)
        tryCompare(appModel.history, "openRow", -1)
    }
}

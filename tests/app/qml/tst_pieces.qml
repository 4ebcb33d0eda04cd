// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import QtQuick.Controls.Basic
import Tidlo.Core
import Tidlo.Views

// The shared view pieces: risk badges, the page header's left edge, the card's
// inset, the file icon's fallback, the symbol glyphs, the confirmation's
// buttons and the lists' scroll bar.
TestCase {
    id: test
    name: "Pieces"
    width: 600
    height: 400
    visible: true
    when: windowShown

    Component { id: riskDot; RiskDot {} }
    Component { id: header; PageHeader {} }
    Component { id: appIcon; AppIcon {} }
    Component {
        id: card
        Card {
            Rectangle { width: 100; height: 40 }
        }
    }
    Component {
        id: confirm
        ConfirmDialog {
            title: "Empty Trash?"
            message: "Everything goes."
            confirmText: "Delete"
        }
    }
    Component {
        id: list
        ListView {
            property int rows: 100
            width: 200
            height: 200
            clip: true
            model: rows
            delegate: Text { text: "row " + index; height: 20 }
            ScrollBar.vertical: ListScrollBar {}
        }
    }
    Component {
        id: trailingButton
        Text { text: "Export" }
    }

    function test_riskDot_data() {
        return [
            { tag: "safe", risk: "safe", color: Theme.safe, en: "Safe" },
            { tag: "care", risk: "care", color: Theme.care, en: "Careful" },
            { tag: "data", risk: "data", color: Theme.risky, en: "Risky" },
        ]
    }
    function test_riskDot(row) {
        Lang.langSel = "en"
        const dot = createTemporaryObject(riskDot, test, { risk: row.risk })
        compare(dot.tone, row.color)
        compare(dot.children[0].text, row.en)
        fuzzyCompare(dot.color.a, 0.14, 0.01)
        compare(dot.radius, dot.height / 2)
        compare(dot.width, dot.children[0].implicitWidth + 14)
        Lang.langSel = "auto"
    }

    function test_headerKeepsTitleLeftWithOrWithoutTrailing() {
        const plain = createTemporaryObject(header, test, { width: 600, title: "T", subtitle: "S" })
        const withTrailing = createTemporaryObject(header, test,
            { width: 600, title: "T", subtitle: "S", trailing: trailingButton })
        for (const h of [plain, withTrailing]) {
            const title = h.children[0].children[0].children[0]
            compare(title.mapToItem(h, 0, 0).x, 28)
            compare(title.mapToItem(h, 0, 0).y, 30)
        }
        const loader = withTrailing.children[0].children[2]
        verify(loader.item !== null)
        compare(loader.mapToItem(withTrailing, loader.width, 0).x, 600 - 28)
    }

    function test_cardInsetsItsContent() {
        const c = createTemporaryObject(card, test)
        compare(c.implicitWidth, 132)
        compare(c.implicitHeight, 72)
        compare(c.radius, 14)
        compare(c.border.width, 1)
    }

    function test_appIconFallsBackToAGenericIcon() {
        const icon = createTemporaryObject(appIcon, test, { path: "/no/such/file.bin" })
        compare(icon.width, 24)
        compare(icon.height, 24)
        verify(!icon.themed)
    }

    function test_symbolsHaveGlyphs() {
        verify(Glyphs.glyph("sparkles").length === 1)
        verify(Glyphs.glyph("sparkles") !== Glyphs.glyph("no.such.symbol"))
        compare(Glyphs.family, "Material Icons")
    }

    // Each button's label sits in the middle of its button, which is wider.
    function test_confirmButtonsCentreTheirLabels() {
        const dialog = createTemporaryObject(confirm, test)
        dialog.open()
        tryCompare(dialog, "opened", true)
        for (const name of ["confirmCancel", "confirmAccept"]) {
            const button = findChild(dialog.contentItem, name)
            verify(button.width > button.implicitWidth, name + " is wider than its label")
            const label = button.contentItem.children[0]
            const centre = label.mapToItem(button, label.width / 2, 0).x
            fuzzyCompare(centre, button.width / 2, 1, name)
        }
        dialog.close()
    }

    // A list that scrolls shows its bar while it moves, in the theme's
    // colour; a list that fits shows none.
    function test_listShowsItsScrollBarWhileScrolling_data() {
        return [{ tag: "long", rows: 100, shown: true }, { tag: "fits", rows: 5, shown: false }]
    }
    function test_listShowsItsScrollBarWhileScrolling(row) {
        const view = createTemporaryObject(list, test, { rows: row.rows })
        const bar = view.ScrollBar.vertical
        verify(!bar.shown)
        mouseWheel(view, 100, 100, 0, -120)
        if (row.shown) {
            tryVerify(() => bar.shown)
            tryVerify(() => view.contentY > 0)
            const handle = bar.contentItem
            tryCompare(handle, "opacity", 1)
            verify(handle.width >= 6 && handle.height >= 16)
            compare(Qt.rgba(handle.color.r, handle.color.g, handle.color.b, 1),
                    Qt.rgba(Theme.primary.r, Theme.primary.g, Theme.primary.b, 1))
            tryVerify(() => !bar.shown, 3000, "hidden again once the list rests")
        } else {
            wait(50) // on purpose: time for a scroll bar that must not show
            verify(!bar.shown)
            compare(bar.contentItem.opacity, 0)
        }
    }
}

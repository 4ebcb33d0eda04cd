// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Storage Map page over the test home (a Library/Caches tree measured by
// the real folder-size tool): the first load, hover without repainting the
// map, drilling and going back up, the "Other" cell, the right-click menu,
// the depth control and the empty state; and the map's own folder chooser,
// which the page shows here (the tests run without a session bus, so without
// the desktop's chooser).
TestCase {
    id: test
    name: "StorageMap"
    width: 1000
    height: 700
    visible: true
    when: windowShown

    // The page before its model, so the page goes first when both are destroyed.
    Component {
        id: pageComp
        Item {
            property alias page: page
            property alias app: appModel
            TreemapView { id: page; width: 1000; height: 700; app: appModel }
            AppModel { id: appModel }
        }
    }

    Component {
        id: rootComp
        RootView { width: 1000; height: 700 }
    }

    function shownPage() {
        Lang.langSel = "en"
        const holder = createTemporaryObject(pageComp, test)
        const app = holder.app
        const page = holder.page
        tryVerify(() => app.map.hasRoot && !app.map.loading, 20000)
        const map = findChild(page, "treemap")
        tryVerify(() => map.paintCount > 0)
        return { app: app, page: page, map: map }
    }

    function homePath(app) {
        return decodeURIComponent(app.map.homeUrl.toString().substring("file://".length))
    }

    function cleanup() {
        Lang.langSel = "auto"
    }

    function test_firstLoadShowsTheHomeFolder() {
        const s = shownPage()
        compare(s.app.map.path, homePath(s.app))
        compare(s.app.map.depth, 3)
        verify(s.map.visible)
        verify(s.map.cellCount >= 3)
        compare(findChild(s.page, "mapCount").text, s.app.map.childCount + " items")
        compare(s.map.Accessible.name, s.app.map.name + " " + s.app.sizeText(s.app.map.size))
        const up = findChild(s.page, "mapUp")
        verify(!up.enabled)
        compare("" + up.contentItem.children[1].color, "" + Theme.tertiary)
    }

    function test_hoverMovesOnlyTheOutlineAndChip() {
        const s = shownPage()
        const painted = s.map.paintCount
        const r = s.map.cellRect(s.map.cellCount - 1)
        // The pointer layer forwards positions to hoverAt (offscreen test
        // windows get no hover events from synthetic moves).
        s.map.hoverAt(r.x + r.width / 2, r.y + r.height / 2)
        verify(s.map.hoveredIndex >= 0)
        const outline = findChild(s.page, "hoverOutline")
        const chip = findChild(s.page, "hoverChip")
        verify(outline.visible && chip.visible)
        const hovered = s.map.cellRect(s.map.hoveredIndex)
        compare(outline.width, hovered.width + 1)
        compare(chip.Accessible.name, s.map.hoveredName + " " + s.app.sizeText(s.map.hoveredSize))
        s.map.hoverAt(12, 8) // the top-level cell's own corner
        compare(s.map.hoveredIndex, 0)
        wait(50) // on purpose: time for a repaint that must not come
        compare(s.map.paintCount, painted)
        // Leaving the map clears the hover.
        s.map.clearHover()
        compare(s.map.hoveredIndex, -1)
        verify(!findChild(s.page, "hoverChip").visible)
    }

    function test_clickDrillsInAndUpComesBack() {
        const s = shownPage()
        const top = s.map.cellRect(0)
        verify(s.map.isContainer(0))
        // The header strip of the first top-level folder: no child there.
        compare(s.map.cellAt(top.x + 20, top.y + 10), 0)
        mouseClick(s.map, top.x + 20, top.y + 10)
        compare(s.map.hoveredIndex, -1)
        tryVerify(() => !s.app.map.loading && s.app.map.trail.length === 1, 20000)
        compare(s.app.map.trail[0].path, homePath(s.app))
        const up = findChild(s.page, "mapUp")
        verify(up.enabled)
        mouseClick(up)
        tryVerify(() => !s.app.map.loading && s.app.map.trail.length === 0, 20000)
        compare(s.app.map.path, homePath(s.app))
    }

    // The merged "Other" cell (the 300 small caches), hovered.
    function hoverOther(map) {
        for (let i = 0; i < map.cellCount; ++i) {
            const r = map.cellRect(i)
            map.hoverAt(r.x + r.width / 2, r.y + r.height / 2)
            if (map.hoveredIndex === i && map.hoveredPath === "other")
                return i
        }
        return -1
    }

    function test_otherCellOpensNothing() {
        const s = shownPage()
        const other = hoverOther(s.map)
        verify(other >= 0, "the 300 small caches merge into one cell")
        const r = s.map.cellRect(other)
        s.map.clickAt(r.x + r.width / 2, r.y + r.height / 2)
        verify(!s.app.map.loading)
        compare(s.app.map.trail.length, 0)
    }

    // The page's map follows the app's language (the painted item lays
    // itself out again when its language changes: app_map_paint_tests).
    function test_languageChangeRenamesTheOtherCell() {
        const s = shownPage()
        verify(hoverOther(s.map) >= 0)
        compare(s.map.hoveredName, "Other")
        const painted = s.map.paintCount
        Lang.langSel = "zh"
        compare(s.map.language, "zh")
        tryVerify(() => s.map.paintCount > painted)
        verify(hoverOther(s.map) >= 0)
        compare(s.map.hoveredName, "其它")
    }

    function test_rightClickMenu() {
        const s = shownPage()
        const menu = findChild(s.page, "mapMenu")
        s.map.contextAt(s.map.width + 5, 5) // outside every cell
        verify(!menu.visible)
        const r = s.map.cellRect(0)
        mouseClick(s.map, r.x + 20, r.y + 10, Qt.RightButton)
        tryVerify(() => menu.visible)
        compare(menu.path, s.app.map.path + "/" + s.map.hoveredName)
        compare(menu.count, 2)
        menu.close()
        // The merged cell names no real item: no menu to reveal "other".
        const other = hoverOther(s.map)
        verify(other >= 0)
        const o = s.map.cellRect(other)
        menu.path = ""
        s.map.contextAt(o.x + o.width / 2, o.y + o.height / 2)
        compare(s.map.hoveredIndex, other)
        verify(!menu.visible)
        compare(menu.path, "")
    }

    function test_depthAndEmptyFolder() {
        const s = shownPage()
        mouseClick(findChild(s.page, "stepUp"))
        compare(s.app.map.depth, 4)
        compare(findChild(s.page, "depthValue").text, "4")
        tryVerify(() => !s.app.map.loading, 20000)
        compare(s.app.map.trail.length, 0)

        s.app.map.load(homePath(s.app) + "/Documents/Empty", undefined, false, false)
        compare(s.app.map.depth, 4)
        tryVerify(() => !s.app.map.loading, 20000)
        compare(s.app.map.childCount, 0)
        verify(!s.map.visible)
        const empty = findChild(s.page, "mapEmpty")
        verify(empty.visible)
        compare(empty.text, "0 items")
        compare(findChild(s.page, "mapCount").text, "0 items")
    }

    // A folder of files alone: its file is a tile of its own, counted and
    // hovered like a folder, with a menu for it, and a click opens nothing.
    function test_filesAreTiles() {
        const s = shownPage()
        const big = homePath(s.app) + "/Library/Caches/Big"
        s.app.map.load(big, undefined, false, false)
        tryVerify(() => !s.app.map.loading && s.app.map.path === big, 20000)
        compare(s.app.map.childCount, 1)
        verify(s.map.visible)
        tryVerify(() => s.map.cellCount === 1)
        compare(s.map.cellKind(0), "file")
        compare(findChild(s.page, "mapCount").text, "1 item")
        const r = s.map.cellRect(0)
        s.map.hoverAt(r.x + r.width / 2, r.y + r.height / 2)
        compare(s.map.hoveredName, "blob")
        compare(s.map.hoveredPath, big + "/blob")
        s.map.clickAt(r.x + r.width / 2, r.y + r.height / 2)
        verify(!s.app.map.loading)
        compare(s.app.map.path, big)
        const menu = findChild(s.page, "mapMenu")
        s.map.contextAt(r.x + r.width / 2, r.y + r.height / 2)
        tryVerify(() => menu.visible)
        compare(menu.path, big + "/blob")
        menu.close()
    }

    // The top cells are elements a screen reader reads and presses, and the
    // keyboard moves across them: arrows, Enter opens, Backspace goes up.
    function test_cellsForScreenReadersAndKeyboard() {
        const s = shownPage()
        const layer = findChild(s.page, "mapCells")
        const cellElements = () => {
            let out = []
            for (let i = 0; i < layer.children.length; ++i)
                if (layer.children[i].sizeText !== undefined)
                    out.push(layer.children[i])
            return out
        }
        const elements = cellElements()
        compare(elements.length, s.map.cells.rowCount())
        verify(elements.length >= 3)
        for (const e of elements)
            compare(e.Accessible.name, e.name + " " + e.sizeText)

        layer.forceActiveFocus()
        const first = s.map.focusedIndex
        verify(first >= 0)
        verify(findChild(s.page, "focusRing").visible)
        const start = s.map.cellRect(first)
        keyClick(Qt.Key_Right)
        const moved = s.map.focusedIndex
        verify(moved !== first)
        verify(s.map.cellRect(moved).x >= start.x + start.width - 0.5)
        keyClick(Qt.Key_Left)
        compare(s.map.focusedIndex, first)

        // The first cell is the largest folder: Enter opens it, Backspace
        // comes back, and focus lands on the new map's first cell.
        compare(s.map.cellKind(first), "folder")
        keyClick(Qt.Key_Return)
        tryVerify(() => !s.app.map.loading && s.app.map.trail.length === 1, 20000)
        tryVerify(() => s.map.focusedIndex >= 0)
        keyClick(Qt.Key_Backspace)
        tryVerify(() => !s.app.map.loading && s.app.map.trail.length === 0, 20000)

        // Pressed through accessibility, a folder's element opens it too.
        const folder = cellElements().find(e => e.kind === "folder")
        folder.Accessible.pressAction()
        tryVerify(() => !s.app.map.loading && s.app.map.trail.length === 1, 20000)
    }

    // ---- The own folder chooser

    function openChooser(page) {
        mouseClick(findChild(page, "chooseFolder"))
        const chooser = findChild(page, "folderChooser")
        tryVerify(() => chooser.opened)
        const list = findChild(chooser.contentItem, "chooserList")
        tryVerify(() => !list.model.loading)
        return chooser
    }
    function part(chooser, name) {
        return findChild(chooser.contentItem, name)
    }
    // The names the list shows, once it shows the folder's rows.
    function rowNames(chooser) {
        const list = part(chooser, "chooserList")
        const names = []
        for (let i = 0; i < list.count; ++i) {
            const row = list.itemAtIndex(i)
            names.push(row ? row.text : "")
        }
        return names.sort()
    }
    function enter(chooser, name) {
        const list = part(chooser, "chooserList")
        let row = null
        tryVerify(() => {
            for (let i = 0; i < list.count; ++i)
                if (list.itemAtIndex(i) && list.itemAtIndex(i).text === name)
                    row = list.itemAtIndex(i)
            return row !== null
        })
        const before = list.model.folder
        mouseClick(row)
        tryVerify(() => list.model.folder === before.replace(/\/$/, "") + "/" + name
                        && !list.model.loading)
    }

    function test_ownChooserChoosesTheFolderShown() {
        const s = shownPage()
        const home = homePath(s.app)
        let chooser = openChooser(s.page)
        compare(part(chooser, "chooserPath").text, home)
        enter(chooser, "Chooser")
        compare(part(chooser, "chooserPath").text, home + "/Chooser")
        // Hidden folders only when asked.
        tryCompare(part(chooser, "chooserList"), "count", 1)
        compare(rowNames(chooser), ["Plain"])
        const hidden = part(chooser, "chooserHidden")
        verify(!hidden.checked)
        mouseClick(hidden)
        verify(hidden.checked)
        tryCompare(part(chooser, "chooserList"), "count", 2)
        compare(rowNames(chooser), [".dotted", "Plain"])
        // Into the hidden folder (empty) and up again.
        enter(chooser, ".dotted")
        verify(part(chooser, "chooserNote").visible)
        compare(part(chooser, "chooserNote").text, "No folders in here")
        mouseClick(part(chooser, "chooserUp"))
        tryVerify(() => part(chooser, "chooserPath").text === home + "/Chooser")
        // A row with the focus is not what Choose takes: the folder shown is.
        const list = part(chooser, "chooserList")
        tryCompare(list, "count", 2)
        list.currentIndex = 1
        list.itemAtIndex(1).forceActiveFocus()
        mouseClick(part(chooser, "chooserChoose"))
        tryVerify(() => !chooser.visible)
        tryVerify(() => s.app.map.path === home + "/Chooser" && !s.app.map.loading, 20000)

        // Opened again, it is at the folder the map shows; a hidden folder
        // can be chosen; Escape closes it with no choice.
        chooser = openChooser(s.page)
        compare(part(chooser, "chooserPath").text, home + "/Chooser")
        enter(chooser, ".dotted")
        mouseClick(part(chooser, "chooserChoose"))
        tryVerify(() => s.app.map.path === home + "/Chooser/.dotted" && !s.app.map.loading,
                  20000)
        chooser = openChooser(s.page)
        mouseClick(part(chooser, "chooserUp"))
        keyClick(Qt.Key_Escape)
        tryVerify(() => !chooser.visible)
        compare(s.app.map.path, home + "/Chooser/.dotted")
    }

    function test_ownChooserSpeaksTheInterfaceLanguage_data() {
        return [
            { tag: "en", lang: "en", texts: { chooserTitle: "Choose a Folder to Show",
                chooserUp: "Up", chooserHome: "Home", chooserHidden: "Show hidden folders",
                chooserCancel: "Cancel", chooserChoose: "Choose This Folder" } },
            { tag: "zh", lang: "zh", texts: { chooserTitle: "选择要显示的文件夹",
                chooserUp: "返回上一级", chooserHome: "个人文件夹", chooserHidden: "显示隐藏文件夹",
                chooserCancel: "取消", chooserChoose: "选择此文件夹" } },
        ]
    }
    function test_ownChooserSpeaksTheInterfaceLanguage(data) {
        const s = shownPage()
        Lang.langSel = data.lang
        const chooser = openChooser(s.page)
        for (const name in data.texts) {
            const item = part(chooser, name)
            compare(item.text, data.texts[name], name)
            compare(item.Accessible.name, data.texts[name], name)
        }
        // The rows are read by their names.
        verify(rowNames(chooser).includes("Chooser"))
        const list = part(chooser, "chooserList")
        for (let i = 0; i < list.count; ++i)
            compare(list.itemAtIndex(i).Accessible.name, list.itemAtIndex(i).text)
    }

    // A window that opens on the storage map builds the page before the page
    // is in the window (as QQuickView builds its content): the chooser must
    // open all the same.
    function test_chooserOpensWhenTheWindowStartsOnTheMap() {
        Lang.langSel = "en"
        const root = createTemporaryObject(rootComp, null, { page: "map" })
        verify(root.Window.window === null)
        root.guide = { kind: "", features: [] }
        root.parent = test
        const page = findChild(root, "pageLoader").item
        verify(page.toString().indexOf("TreemapView") === 0)
        tryVerify(() => root.app.map.hasRoot && !root.app.map.loading, 20000)
        const chooser = openChooser(page)
        verify(chooser.visible)
        compare(part(chooser, "chooserPath").text, homePath(root.app))
    }
}

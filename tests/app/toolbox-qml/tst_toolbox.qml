// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Toolbox page over the fixture home of ToolboxViewTests.cpp: the tabs
// and TID_TAB / TID_DUPTAB, the duplicates pane's cards and keep-the-first,
// the apps pane's search, icons, leftovers, commands and uninstalls, the snapshots, system and
// processes panes. Tests that change the home run last (test_z…).
TestCase {
    id: test
    name: "Toolbox"
    width: 1000
    height: 700
    visible: true
    when: windowShown

    Component {
        id: toolsComponent
        ToolsView {
            width: 1000
            height: 700
            app: AppModel {}
        }
    }
    Component {
        id: cardComponent
        DuplicateGroupCard {
            width: 600
            groupId: "name-/a/n"
            isNameGroup: true
            isFolder: false
            sameSize: true
            sameName: true
            fileCount: 4
            sizeText: "4 KB"
            wasted: 0
            wastedText: "0 B"
            name: ""
            shownFiles: ["~/a/n", "~/b/n", "~/c/n", "~/d/n"]
            shownPaths: ["/a/n", "/b/n", "/c/n", "/d/n"]
            moreFiles: 0
        }
    }

    function cleanup() {
        testEnv.setEnv("TID_LANG", "en")
        Lang.refresh()
    }

    function makeTools(tab) {
        if (tab === undefined)
            testEnv.unsetEnv("TID_TAB")
        else
            testEnv.setEnv("TID_TAB", tab)
        const page = createTemporaryObject(toolsComponent, test)
        verify(page !== null)
        testEnv.unsetEnv("TID_TAB")
        return page
    }

    function pane(page) {
        return findChild(page, "toolPane").item
    }

    function textsOf(item, name) {
        const out = []
        for (let i = 0; i < item.children.length; ++i) {
            const c = item.children[i]
            if (c.objectName === name && c.visible)
                out.push(c)
            const deeper = textsOf(c, name)
            for (let j = 0; j < deeper.length; ++j)
                out.push(deeper[j])
        }
        return out
    }

    function test_tabFromTheEnvironment_data() {
        return [
            { tag: "missing", value: undefined, pane: "appsPane" },
            { tag: "1", value: "1", pane: "dupesPane" },
            { tag: "7", value: "7", pane: "procPane" },
            { tag: "-1", value: "-1", pane: "procPane" },
            { tag: "not a number", value: "dupes", pane: "appsPane" },
        ]
    }

    function test_tabFromTheEnvironment(data) {
        const page = makeTools(data.value)
        compare(pane(page).objectName, data.pane)
        // A tab click makes that pane afresh.
        mouseClick(findChild(page, "tab2"))
        compare(pane(page).objectName, "snapPane")
        verify(findChild(page, "tab2").chosen)
        compare(findChild(page, "tab4").Accessible.name, "Processes & Memory")
    }

    // The chosen tab's bold title takes no more room than the others': the
    // row stays where it is whichever tab is chosen, in either language.
    function test_tabRowStaysPutWhenTheChoiceMoves_data() {
        return [{ tag: "en", lang: "en" }, { tag: "zh", lang: "zh" }]
    }
    function test_tabRowStaysPutWhenTheChoiceMoves(data) {
        testEnv.setEnv("TID_LANG", data.lang)
        Lang.refresh()
        const page = makeTools(0)
        const boxes = () => {
            const out = []
            for (let i = 0; i < 5; ++i) {
                const tab = findChild(page, "tab" + i)
                out.push([tab.x, tab.width, tab.contentItem.x].join(","))
            }
            return out.join(" ")
        }
        const first = boxes()
        const row = findChild(page, "toolTabs")
        for (const i of [4, 1, 3, 0]) {
            mouseClick(findChild(page, "tab" + i))
            compare(page.shownTab, i)
            // The row places its tabs when it is next polished.
            waitForRendering(row, 500)
            tryVerify(() => !isPolishScheduled(row))
            compare(boxes(), first, "tab " + i + " chosen")
        }
    }

    function test_dupTabFromTheEnvironmentAndAutomaticSearch() {
        testEnv.setEnv("TID_DUPTAB", "1")
        const page = makeTools("1")
        testEnv.unsetEnv("TID_DUPTAB")
        const dupes = pane(page)
        verify(dupes.app.duplicates.loading || dupes.app.duplicates.scanned) // the first visit searches
        compare(dupes.tab, 1)
        verify(findChild(dupes, "segName").chosen)
        compare(findChild(dupes, "dupesHint").text, "Files or folders sharing a name — maybe misplaced")
        tryCompare(dupes.app.duplicates, "scanned", true, 10000)
        compare(dupes.app.duplicates.content.count, 2)
        verify(dupes.app.duplicates.names.count >= 1)
        // Leaving and coming back starts no new search.
        mouseClick(findChild(page, "tab0"))
        mouseClick(findChild(page, "tab1"))
        verify(!pane(page).app.duplicates.loading)
    }

    function test_contentCardsListEightPathsAndTheRest() {
        const page = makeTools("1")
        const dupes = pane(page)
        tryCompare(dupes.app.duplicates, "scanned", true, 10000)
        const list = findChild(dupes, "dupGroups")
        verify(list.visible)
        tryVerify(() => list.count === 2)
        // Same-name groups come first: the three photo.jpg copies, then the 12.
        const titles = textsOf(list.contentItem, "groupTitle").map(t => t.text)
        verify(titles.indexOf("3 × " + dupes.app.sizeText(70000)) >= 0, titles)
        verify(titles.indexOf("12 × " + dupes.app.sizeText(80000)) >= 0, titles)
        const more = textsOf(list.contentItem, "moreFiles")
        compare(more.length, 1)
        compare(more[0].text, "+ 4 …")
        compare(textsOf(list.contentItem, "groupFile").length, 3 + 8)
        const wasted = findChild(dupes, "wastedTotal")
        verify(wasted.visible)
        compare(wasted.text, "Reclaimable " + dupes.app.sizeText(2 * 70000 + 11 * 80000))
        compare(findChild(dupes, "segContent").Accessible.name, "Same Content 2")
    }

    function test_nameGroupWithoutANameCountsItsItems() {
        const card = createTemporaryObject(cardComponent, test)
        compare(card.title, "4 items")
        compare(card.badge, "File")
        compare(textsOf(card, "moreFiles").length, 0)
        const withName = createTemporaryObject(cardComponent, test, { name: "notes.txt" })
        compare(withName.title, "notes.txt")
    }

    TextMetrics {
        id: metrics
    }

    // What a text draws is its own characters: markup in a name stays text.
    function verifyDrawnAsIs(item, literal) {
        compare(item.text, literal)
        metrics.font = item.font
        metrics.text = literal
        verify(Math.abs(item.contentWidth - metrics.advanceWidth) < 1,
               literal + ": " + item.contentWidth + " vs " + metrics.advanceWidth)
        compare(item.Accessible.name, literal)
    }

    function test_namesWithMarkupAreShownAsText() {
        const card = createTemporaryObject(cardComponent, test, {
            name: "<b>x</b>", shownFiles: ["~/a/<b>x</b>", "~/b/<i>x</i>"] })
        verifyDrawnAsIs(findChild(card, "groupTitle"), "<b>x</b>")
        const files = textsOf(card, "groupFileName")
        compare(files.length, 2)
        verifyDrawnAsIs(files[1], "~/b/<i>x</i>")
    }

    // The apps pane's rows by name; waits for the list.
    function appRows(page) {
        const apps = pane(page)
        const model = findChild(apps, "appsList")
        const list = findChild(apps, "appRows")
        tryVerify(() => !model.loading && !model.busy && list.count === model.count, 10000)
        const rows = {}
        for (let i = 0; i < list.count; ++i) {
            list.positionViewAtIndex(i, ListView.Contain)
            const row = list.itemAtIndex(i)
            rows[row.name] = row
        }
        return rows
    }

    function test_appsSearchLeftoversAndIcons() {
        const page = makeTools("0")
        const apps = pane(page)
        const model = findChild(apps, "appsList")
        const list = findChild(apps, "appRows")
        tryVerify(() => !model.loading && list.count === 5, 10000)
        compare(findChild(apps, "appsCount").text, "5 apps")
        findChild(apps, "appSearch").text = "  KRI "
        compare(list.count, 1)
        compare(findChild(apps, "appsCount").text, "1 app")
        findChild(apps, "appSearch").text = "org.EXAMPLE" // by id
        compare(list.count, 2)
        findChild(apps, "appSearch").text = "   "
        compare(list.count, 5)

        const rows = appRows(page)
        const sources = Object.keys(rows).sort().map(n => n + ": " + findChild(rows[n], "appSource").text)
        compare(sources, ["Krita: AppImage", "Mail Tool: User entry", "Notes: Flatpak",
                          "Text Editor: Package", "org.example.Office: Flatpak"])
        // Krita's entry names an icon file; Mail Tool's names none.
        tryVerify(() => findChild(rows["Krita"], "appIcon").visible)
        verify(!findChild(rows["Krita"], "appGlyph").visible)
        verify(findChild(rows["Mail Tool"], "appGlyph").visible)

        mouseClick(findChild(rows["Krita"], "leftoversButton"))
        tryVerify(() => model.leftoversLoaded)
        compare(model.leftovers.count, 1)
        const line = textsOf(list.contentItem, "leftoverLine")
        compare(line.length, 1)
        compare(findChild(line[0], "leftoverPath").text, "~/.config/krita")
        // Its size: at least the 4 KB file inside, shown as the model has it.
        const size = model.leftovers.data(model.leftovers.index(0, 0), AppLeftoverModel.Size)
        verify(size >= 4096, size)
        compare(findChild(line[0], "leftoverSize").text, apps.app.sizeText(size))
        verify(findChild(line[0], "leftoverCheck").checked)
        compare(findChild(line[0], "leftoverCheck").Accessible.name, "~/.config/krita")
        compare(findChild(line[0], "trashLeftover").Accessible.name, "Move to Trash")
        // A second row collapses the first.
        mouseClick(findChild(rows["Mail Tool"], "leftoversButton"))
        compare(model.expanded, rows["Mail Tool"].path)
        tryVerify(() => model.leftoversLoaded)
        const none = textsOf(list.contentItem, "noLeftovers")
        compare(none.length, 1)
        compare(none[0].text, "None")
    }

    // An application the system manages offers the command that removes it,
    // to copy, and no uninstall button; one no package owns says so.
    function test_systemAppsShowTheirCommand() {
        const page = makeTools("0")
        const rows = appRows(page)
        const office = rows["org.example.Office"]
        verify(!findChild(office, "uninstallButton").visible)
        verify(findChild(rows["Notes"], "uninstallButton").visible)
        mouseClick(findChild(office, "commandButton"))
        const command = findChild(office, "removalCommand")
        tryVerify(() => command.visible)
        compare(command.text, "flatpak uninstall --system org.example.Office")
        compare(findChild(office, "commandHint").text,
                "Installed for the whole system: remove it in a terminal with this command:")
        mouseClick(findChild(office, "copyRemovalCommand"))
        compare(testEnv.clipboard(), "flatpak uninstall --system org.example.Office")

        const editor = rows["Text Editor"]
        verify(!findChild(editor, "uninstallButton").visible)
        mouseClick(findChild(editor, "commandButton"))
        tryVerify(() => findChild(editor, "commandHint").visible)
        compare(findChild(editor, "commandHint").text,
                "Installed in a system folder, but no package is known to remove it")
        verify(!findChild(editor, "removalCommand").visible)
    }

    function test_snapshotsStripTheirNamesAndCopyTheCommand() {
        const page = makeTools("2")
        const snap = pane(page)
        tryCompare(snap, "loading", false)
        verify(findChild(snap, "snapNone").visible) // no snapshots on Linux
        snap.snaps = [{ text: "41 · 2024-03-05 09:07:00", command: "sudo snapper delete 41" },
                      { text: "<b>42</b>", command: "sudo btrfs subvolume delete '/.snapshots/42/snapshot'" }]
        verify(!findChild(snap, "snapNone").visible)
        compare(findChild(snap, "snapCount").text, "2 items")
        tryVerify(() => findChild(snap, "copyCommand_1") !== null)
        mouseClick(findChild(snap, "copyCommand_1"))
        compare(testEnv.clipboard(), "sudo btrfs subvolume delete '/.snapshots/42/snapshot'")
    }

    function test_systemBarsAndLoginItems() {
        const page = makeTools("3")
        const sys = pane(page)
        // The home's 15 agents, and whatever autostart entries and user
        // services this machine enables for everyone.
        tryVerify(() => sys.logins.length >= 15, 10000)
        compare(findChild(sys, "loginTitle").text,
                "Autostart / user services · " + sys.logins.length)
        compare(findChild(sys, "loginLines").count, 12)
        // What emptying would remove: old.txt and folder, not .DS_Store.
        compare(findChild(sys, "trashLine").text, "2 items · " + sys.app.sizeText(sys.trashSize))
        sys.memTotal = 0
        sys.memFree = 0
        compare(findChild(findChild(sys, "memBar"), "barFill").width, 3)
        sys.volume = { total: 0, used: 0, free: 0 }
        compare(findChild(findChild(sys, "diskBar"), "barFill").width, 3)
    }

    function test_processesRefreshWhileShown() {
        const page = makeTools("4")
        const proc = pane(page)
        tryVerify(() => proc.app.procs.count > 0, 10000)
        const timer = findChild(proc, "procTimer")
        verify(timer.running)
        compare(timer.interval, 3000)
        verify(findChild(proc, "noScan").visible)
        const spy = createTemporaryObject(spyComponent, test, { target: proc.app })
        mouseClick(findChild(page, "tab0"))
        verify(pane(page).objectName === "appsPane")
        tryVerify(() => timer === null || !timer.running) // the pane and its timer are gone
        mouseClick(findChild(page, "tab4"))
        tryVerify(() => spy.count > 0, 5000) // reading again at once
    }

    Component {
        id: spyComponent
        SignalSpy { signalName: "procsRead" }
    }

    // The rows follow each reading (ProcessModel changes only the roles that
    // differ, and the rows must still show every one of them).
    function test_processRowsShowEachReading() {
        const page = makeTools("4")
        const proc = pane(page)
        const procs = proc.app.procs
        tryVerify(() => procs.count > 0, 10000)
        const list = findChild(proc, "procList")
        const spy = createTemporaryObject(spyComponent, test, { target: proc.app })
        for (let reading = 1; reading <= 3; ++reading) {
            mouseClick(findChild(proc, "procRefresh"))
            tryVerify(() => spy.count === reading, 5000)
            // Every row of the reading has its delegate.
            tryVerify(() => list.count === procs.count
                      && [...Array(procs.count).keys()].every(i => list.itemAtIndex(i) !== null))
            for (let i = 0; i < procs.count; ++i) {
                const row = list.itemAtIndex(i)
                const at = role => procs.data(procs.index(i, 0), role)
                compare(findChild(row, "procName").text, at(ProcessModel.DisplayName))
                compare(findChild(row, "procRss").text, at(ProcessModel.RssText))
                compare(findChild(row, "procPid").text, String(at(ProcessModel.Pid)))
                compare(findChild(row, "procBar").fraction, at(ProcessModel.Share))
            }
        }
    }

    function test_z1_keepFirstEmptiesTheContentListAndItsTotal() {
        const page = makeTools("1")
        const dupes = pane(page)
        tryCompare(dupes.app.duplicates, "scanned", true, 10000)
        const names = dupes.app.duplicates.names.count
        const list = findChild(dupes, "dupGroups")
        tryVerify(() => list.count === 2)
        const firstId = list.itemAtIndex(0).groupId
        mouseClick(findChild(list.itemAtIndex(0), "keepFirst"))
        compare(dupes.app.duplicates.content.count, 1)
        tryVerify(() => list.itemAtIndex(0) && list.itemAtIndex(0).groupId !== firstId)
        mouseClick(findChild(list.itemAtIndex(0), "keepFirst"))
        compare(dupes.app.duplicates.content.count, 0)
        // The photo.jpg copies were a name group too; notes.txt stays.
        compare(dupes.app.duplicates.names.count, names - 1)
        verify(!findChild(dupes, "wastedTotal").visible)
        tryVerify(() => !testEnv.exists("Downloads/photo.jpg") && !testEnv.exists("Documents/photo.jpg"))
        verify(testEnv.exists("Desktop/photo.jpg"))
        mouseClick(findChild(dupes, "segName"))
        verify(findChild(dupes, "dupGroups").visible)
    }

    // An AppImage goes to the Trash with its own desktop entry and its
    // leftovers, behind the confirmation.
    function test_z2_uninstallMovesTheAppAndItsLeftovers() {
        const page = makeTools("0")
        const apps = pane(page)
        const model = findChild(apps, "appsList")
        mouseClick(findChild(appRows(page)["Krita"], "uninstallButton"))
        const dialog = findChild(apps, "confirmDialog")
        tryVerify(() => dialog.opened)
        compare(findChild(dialog.contentItem, "confirmMessage").text, "Krita → Move to Trash")
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        tryVerify(() => model.count === 4, 10000)
        verify(!testEnv.exists("Applications/Krita-5.2.AppImage"))
        verify(!testEnv.exists(".local/share/applications/appimagekit-krita.desktop"))
        verify(!testEnv.exists(".config/krita"))
        verify(testEnv.inTrash("Krita-5.2.AppImage"))
        verify(testEnv.inTrash("appimagekit-krita.desktop"))
        verify(testEnv.inTrash("krita"))
        verify(testEnv.exists(".local/share/applications/mailtool.desktop"))
        tryVerify(() => findChild(apps, "appsToast").text
                  === "Uninstalled Krita; 3 items moved to the Trash")
    }

    // A user Flatpak is removed by flatpak itself, with its data kept when
    // unticked; the list is then read again without it.
    function test_z2b_flatpakUninstallRunsFlatpak() {
        const page = makeTools("0")
        const apps = pane(page)
        const model = findChild(apps, "appsList")
        const notes = appRows(page)["Notes"]
        mouseClick(findChild(notes, "leftoversButton"))
        tryVerify(() => model.leftoversLoaded)
        compare(model.leftovers.count, 1)
        const line = textsOf(findChild(apps, "appRows").contentItem, "leftoverLine")[0]
        compare(findChild(line, "leftoverPath").text, "~/.var/app/org.example.Notes")
        mouseClick(findChild(line, "leftoverCheck"))
        // The list may be drawn anew meanwhile: read the tick from the line shown now.
        tryVerify(() => !findChild(textsOf(findChild(apps, "appRows").contentItem,
                                           "leftoverLine")[0], "leftoverCheck").checked)

        mouseClick(findChild(notes, "uninstallButton"))
        const dialog = findChild(apps, "confirmDialog")
        tryVerify(() => dialog.opened)
        compare(findChild(dialog.contentItem, "confirmMessage").text,
                "Notes → Uninstall with flatpak; ticked leftovers go to the Trash")
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        tryVerify(() => testEnv.flatpakCalls().indexOf("uninstall --user --noninteractive org.example.Notes") >= 0, 10000)
        tryVerify(() => !model.busy && !model.loading && model.total === 3, 10000)
        verify(testEnv.exists(".var/app/org.example.Notes/config/notes.db"))
        verify(Object.keys(appRows(page)).indexOf("Notes") < 0)
    }

    function test_z3_emptyTrashBehindItsConfirmation() {
        const page = makeTools("3")
        const sys = pane(page)
        tryVerify(() => sys.trashCount >= 3, 10000) // with the uninstalled app
        mouseClick(findChild(sys, "emptyTrash"))
        const dialog = findChild(sys, "confirmDialog")
        tryVerify(() => dialog.opened)
        compare(findChild(dialog.contentItem, "confirmMessage").text,
                "Everything in the Trash will be deleted for good. This cannot be undone.")
        compare(findChild(dialog.contentItem, "confirmAccept").text, "Delete Permanently")
        // Cancel is the default: Return closes the dialog and deletes nothing.
        verify(findChild(dialog.contentItem, "confirmCancel").activeFocus)
        keyClick(Qt.Key_Return)
        tryVerify(() => !dialog.visible)
        verify(testEnv.exists(".Trash/old.txt"))
        mouseClick(findChild(sys, "emptyTrash"))
        tryVerify(() => dialog.opened)
        mouseClick(findChild(dialog.contentItem, "confirmCancel"))
        tryVerify(() => !dialog.visible)
        verify(testEnv.exists(".Trash/old.txt"))
        mouseClick(findChild(sys, "emptyTrash"))
        tryVerify(() => dialog.opened)
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        tryVerify(() => sys.trashCount === 0, 10000) // .DS_Store stays, uncounted
        verify(!testEnv.exists(".Trash/old.txt"))
    }

    function nameCards(list) {
        const out = []
        for (let i = 0; i < list.count; ++i)
            out.push(list.itemAtIndex(i))
        return out
    }

    // Keep-the-first on files that only share a name lists what would move
    // and waits: Cancel (the default) moves nothing; confirming moves the
    // rest, and the list then shows exactly the groups left, no card of the
    // removed group standing in for another.
    function test_z4_sameNameKeepFirstAsksAndLeavesNoGhost() {
        const page = makeTools("1")
        const dupes = pane(page)
        tryCompare(dupes.app.duplicates, "scanned", true, 10000)
        mouseClick(findChild(dupes, "segName"))
        const list = findChild(dupes, "dupGroups")
        tryVerify(() => list.count === dupes.app.duplicates.names.count && list.count >= 3)
        const card = nameCards(list).find(c => c.name === "readme.md")
        verify(card !== undefined)
        mouseClick(findChild(card, "keepFirst"))
        const dialog = findChild(dupes, "keepConfirm")
        tryVerify(() => dialog.opened)
        const shown = textsOf(dialog.contentItem, "confirmName").map(t => t.text)
        compare(shown, ["~/Downloads/readme.md"])
        verify(findChild(dialog.contentItem, "confirmMessage").text.indexOf("not compared") >= 0)
        verify(findChild(dialog.contentItem, "confirmCancel").activeFocus)
        keyClick(Qt.Key_Return)
        tryVerify(() => !dialog.visible)
        verify(testEnv.exists("Downloads/readme.md"))
        const before = dupes.app.duplicates.names.count

        mouseClick(findChild(card, "keepFirst"))
        tryVerify(() => dialog.opened)
        mouseClick(findChild(dialog.contentItem, "confirmAccept"))
        compare(dupes.app.duplicates.names.count, before - 1)
        tryVerify(() => !testEnv.exists("Downloads/readme.md"))
        verify(testEnv.exists("Documents/readme.md"))
        tryCompare(list, "count", before - 1)
        // The cards left take their groups' titles.
        tryVerify(() => String(textsOf(list.contentItem, "groupTitle").map(t => t.text).sort())
                  === String(nameCards(list).map(c => c.name).sort()))
        const titles = textsOf(list.contentItem, "groupTitle").map(t => t.text).sort()
        const names = nameCards(list).map(c => c.name).sort()
        compare(titles, names)
        verify(names.indexOf("readme.md") < 0, names)
        verify(names.indexOf("todo.txt") >= 0, names)
    }

    // A cancelled search says so and keeps the groups found before.
    function test_z5_cancelledSearchKeepsTheEarlierGroups() {
        const page = makeTools("1")
        const dupes = pane(page)
        tryCompare(dupes.app.duplicates, "scanned", true, 10000)
        const groups = dupes.app.duplicates.names.count
        verify(groups > 0)
        mouseClick(findChild(dupes, "segName"))
        mouseClick(findChild(dupes, "dupesScan"))
        verify(dupes.app.duplicates.loading)
        mouseClick(findChild(dupes, "dupesCancel"))
        verify(!dupes.app.duplicates.loading)
        compare(findChild(dupes, "dupesHint").text, "Search cancelled; the earlier results are kept")
        verify(!findChild(dupes, "dupesEmpty").visible)
        verify(findChild(dupes, "dupGroups").visible)
        // A fixed wait on purpose: the cancelled search winds down and its
        // answer, which sends no signal, must leave the earlier groups shown.
        wait(500)
        compare(dupes.app.duplicates.names.count, groups)
        verify(findChild(dupes, "dupGroups").visible)
    }
}

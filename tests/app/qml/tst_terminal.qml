// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The Command-line page over the test home (a bash user without a terminal):
// installing into ~/.local/bin and naming ~/.bashrc, the copied commands and
// their "Copied" labels, the depth stepper and placeholder, tree runs, and Open
// Terminal saying that there is none.
TestCase {
    id: test
    name: "TerminalView"
    width: 900
    height: 900
    visible: true
    when: windowShown

    AppModel {
        id: appModel
    }

    Component {
        id: pageComponent
        TerminalView {
            width: 900
            height: 900
            app: appModel
        }
    }

    // Pastes the clipboard into a text field, so the test reads what was copied.
    TextEdit {
        id: pasteTarget
    }
    function clipboard() {
        pasteTarget.text = ""
        pasteTarget.paste()
        return pasteTarget.text
    }

    function makePage() {
        const page = createTemporaryObject(pageComponent, test)
        verify(page !== null)
        waitForRendering(page)
        return page
    }

    function test_1_installShowsTheLabelAndCopiesTheInstalledPath() {
        const page = makePage()
        const label = findChild(page, "installedLabel")
        const button = findChild(page, "installButton")
        // A fixed wait on purpose: the page's look for an installed tool
        // finds none, which changes nothing and sends no signal to wait for.
        wait(100)
        verify(!page.tool.installed)
        verify(!label.visible)
        verify(button.enabled)

        mouseClick(button)
        tryCompare(page.tool, "installed", true, 10000)
        verify(label.visible)
        verify(!button.enabled)
        const done = Lang.format(qsTr("term.installDone"), ["~/.bashrc"])
        verify(done.indexOf("~/.bashrc") > 0)
        compare(page.output, done)
        compare(findChild(page, "outputText").text, done)
        verify(page.tool.installedPath.endsWith("/.local/bin/tclean"))
        verify(!page.tool.binOnPath)
        compare(page.tool.packagedPath, "")

        mouseClick(findChild(page, "copyCommand_2"))
        compare(clipboard(), page.tool.installedPath + " tree ~ -d 3")
        compare(findChild(page, "copyCommand_2").text, qsTr("term.copied"))

        // A page shown again finds the tool installed.
        const again = makePage()
        tryCompare(again.tool, "installed", true)
        verify(!findChild(again, "installButton").enabled)
    }

    function test_twoCopiesKeepTheirOwnClock() {
        const page = makePage()
        const first = findChild(page, "copyCommand_0")
        const second = findChild(page, "copyCommand_1")
        mouseClick(first)
        compare(first.text, qsTr("term.copied"))
        // Fixed waits on purpose: the second copy starts its clock later than
        // the first, and must still say "copied" when the first's would have ended.
        wait(700)
        mouseClick(second)
        compare(first.text, qsTr("term.copy"))
        compare(second.text, qsTr("term.copied"))
        wait(900)
        compare(second.text, qsTr("term.copied"))
        tryCompare(second, "text", qsTr("term.copy"), 1000)
        compare(page.copiedKey, "")
    }

    function test_copiesThePathAndTheExportLine() {
        const page = makePage()
        mouseClick(findChild(page, "copyPath"))
        compare(clipboard(), page.tool.toolPath)
        mouseClick(findChild(page, "copyPathLine"))
        compare(clipboard(), "export PATH=\"$HOME/.local/bin:$PATH\"")
        compare(page.copiedKey, "pathline")
    }

    function test_placeholderFollowsTheStepper() {
        const page = makePage()
        const output = findChild(page, "outputText")
        const down = findChild(findChild(page, "depthStepper"), "stepDown")
        const up = findChild(findChild(page, "depthStepper"), "stepUp")
        compare(output.text, "$ tclean tree ~ -d 2")
        compare(output.color, Theme.tertiary)
        for (let i = 0; i < 3; ++i)
            mouseClick(down)
        compare(page.depth, 1)
        verify(!down.enabled)
        compare(output.text, "$ tclean tree ~ -d 1")
        for (let i = 0; i < 6; ++i)
            mouseClick(up)
        compare(page.depth, 5)
        verify(!up.enabled)
        compare(output.text, "$ tclean tree ~ -d 5")
        compare(findChild(page, "depthText").text, qsTr("term.level") + " 5")
    }

    function test_treeRunFillsTheOutput() {
        const page = makePage()
        const run = findChild(page, "runTree")
        mouseClick(run)
        verify(page.tool.running)
        verify(!run.enabled)
        tryCompare(page.tool, "running", false, 20000)
        verify(run.enabled)
        verify(page.output.indexOf("Library") >= 0)
        compare(findChild(page, "outputText").color, Theme.secondary)
    }

    function test_toolThatCannotStart() {
        const page = makePage()
        page.tool.toolPath = "/nonexistent/tclean"
        mouseClick(findChild(page, "runTree"))
        tryCompare(page.tool, "running", false)
        verify(page.output.indexOf(qsTr("term.fail.run")) === 0)
        verify(page.output.length > qsTr("term.fail.run").length)
    }

    function test_openTerminalSaysSoWhenThereIsNone() {
        const page = makePage()
        const toast = findChild(page, "terminalToast")
        verify(!toast.shown)
        mouseClick(findChild(page, "openTerminal"))
        verify(toast.shown)
        compare(toast.text, qsTr("term.noTerminal"))
        verify(toast.text !== "term.noTerminal")
    }
}

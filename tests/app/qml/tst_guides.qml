// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import Tidlo.Core
import Tidlo.Views

// The onboarding overlay's steps and buttons, the return reminder, the About
// page's language picker and replay, and how the window shows the overlays.
TestCase {
    id: test
    name: "Guides"
    width: 1100
    height: 750
    visible: true
    when: windowShown

    AppModel {
        id: appModel
    }

    Component {
        id: onboardingComponent
        OnboardingView {
            width: 1100
            height: 750
            pages: Navigator.guidePages("basic")
        }
    }
    Component {
        id: reminderComponent
        ReturnReminderView {
            width: 1100
            height: 750
            features: ["overview", "clean", "map", "files", "dupes"]
        }
    }
    Component {
        id: aboutComponent
        AboutView {
            width: 900
            height: 750
            app: appModel
        }
    }
    Component {
        id: rootComponent
        RootView {
            width: 1100
            height: 750
        }
    }
    Component {
        id: spyComponent
        SignalSpy {}
    }

    // The home is shared with the other view tests: leave the guide and the
    // language as a fresh home has them.
    function cleanup() {
        Navigator.resetGuide()
        Lang.langSel = "auto"
    }

    // A new object, laid out, so a click lands where its buttons are drawn.
    function make(component, properties) {
        const object = createTemporaryObject(component, test, properties ?? {})
        verify(object !== null)
        waitForRendering(object)
        return object
    }

    // Lets a change of step or language settle its layout before clicking:
    // no polish is pending on the item or on a layout it sits in.
    function click(item) {
        tryVerify(() => {
            for (let i = item; i; i = i.parent) {
                if (isPolishScheduled(i))
                    return false
            }
            return true
        })
        mouseClick(item)
    }

    function spyOn(target, signalName) {
        return createTemporaryObject(spyComponent, test, { target: target, signalName: signalName })
    }

    function test_firstPageHasNoBackAndTheLastFinishesOnReturn() {
        const guide = make(onboardingComponent)
        const finished = spyOn(guide, "finish")
        const back = findChild(guide, "backButton")
        const next = findChild(guide, "nextButton")
        verify(!back.visible)
        compare(next.text, qsTr("guide.next"))
        compare(findChild(guide, "badge").text, qsTr("guide.badge"))
        compare(findChild(guide, "guideTitle").text, qsTr("guide.t1"))
        for (let i = 0; i < 3; ++i)
            click(next)
        compare(guide.step, 3)
        verify(back.visible)
        compare(next.text, qsTr("guide.start"))
        compare(findChild(guide, "guideTitle").text, qsTr("guide.t4"))
        compare(finished.count, 0)
        keyClick(Qt.Key_Return)
        compare(finished.count, 1)
        click(back)
        compare(guide.step, 2)
    }

    function test_fourNextsFinishOnce() {
        const guide = make(onboardingComponent)
        const finished = spyOn(guide, "finish")
        for (let i = 0; i < 4; ++i)
            click(findChild(guide, "nextButton"))
        compare(finished.count, 1)
    }

    function test_skipOnPageTwo() {
        const guide = make(onboardingComponent)
        const finished = spyOn(guide, "finish")
        click(findChild(guide, "nextButton"))
        compare(guide.step, 1)
        click(findChild(guide, "skipButton"))
        compare(finished.count, 1)
        compare(guide.step, 1)
    }

    function test_reminderShowsThreeOfFive() {
        const reminder = make(reminderComponent)
        const went = spyOn(reminder, "go")
        const closed = spyOn(reminder, "close")
        verify(findChild(reminder, "featureRow_2") !== null)
        compare(findChild(reminder, "featureRow_3"), null)
        compare(findChild(findChild(reminder, "featureRow_2"), "featureTitle").text, qsTr("feat.map"))
        click(findChild(reminder, "goButton_1"))
        compare(went.count, 1)
        compare(went.signalArguments[0][0], "clean")
        keyClick(Qt.Key_Return)
        compare(closed.count, 1)
    }

    // Closing the reminder marks every listed feature, not only those shown.
    function test_windowMarksAllFiveWhenTheReminderCloses() {
        const root = make(rootComponent)
        root.app.cancelScan()
        const five = ["overview", "clean", "map", "files", "history"]
        root.guide = { kind: "returning", features: five }
        const overlay = findChild(root, "guideOverlay")
        tryCompare(overlay, "opacity", 1)
        compare(overlay.item.features.length, 5)
        click(findChild(overlay.item, "closeButton"))
        compare(root.guide.kind, "")
        tryCompare(overlay, "visible", false)
    }

    function test_freshHomeShowsTheOnboardingAndStartFinishesIt() {
        Navigator.resetGuide()
        const root = make(rootComponent, { page: "about" })
        const overlay = findChild(root, "guideOverlay")
        compare(root.guide.kind, "basic")
        tryCompare(overlay, "opacity", 1)
        verify(overlay.item.toString().indexOf("OnboardingView") === 0)
        for (let i = 0; i < 3; ++i)
            click(findChild(overlay.item, "nextButton"))
        keyClick(Qt.Key_Return)
        compare(root.guide.kind, "")
        tryCompare(overlay, "visible", false)
        verify(Navigator.evaluateGuide().kind !== "basic")
    }

    function test_languagePickerStoresTheChoice() {
        const about = make(aboutComponent)
        click(findChild(about, "segment_en"))
        compare(Lang.langSel, "en")
        compare(findChild(about, "versionText").text, "Version " + BuildInfo.version)
        compare(findChild(about, "licenseText").text, "License · GPL-3.0-or-later")
        click(findChild(about, "segment_zh"))
        compare(Lang.langSel, "zh")
        compare(findChild(about, "versionText").text, "版本 " + BuildInfo.version)
        compare(findChild(about, "licenseText").text, "许可证 · GPL-3.0-or-later")
        click(findChild(about, "segment_auto"))
        compare(Lang.langSel, "auto")
    }

    function test_replayShowsTheOnboardingAgain() {
        const root = make(rootComponent, { page: "about" })
        root.guide = { kind: "", features: [] }
        Navigator.markBasicDone()
        click(findChild(root, "replayGuide"))
        compare(root.guide.kind, "basic")
        compare(Navigator.evaluateGuide().kind, "basic")
        const overlay = findChild(root, "guideOverlay")
        tryCompare(overlay, "opacity", 1)
        compare(overlay.item.step, 0)
    }

    function test_sidebarShowsTheBuildsVersion() {
        verify(BuildInfo.version.length > 0)
        const root = make(rootComponent, { page: "about" })
        verify(findChild(root, "versionLabel").text === "v" + BuildInfo.version + " · Tidlo")
    }
}

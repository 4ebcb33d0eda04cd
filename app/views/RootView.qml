// SPDX-License-Identifier: GPL-3.0-or-later
import QtQml
import QtQuick
import QtQuick.Window
import Tidlo.Core

// The content of the main window: the sidebar of eight pages on the left, the
// selected page on the right, and (drawn over both) the guide overlay chosen at
// start-up. It owns the one AppModel and hands it to every page.
Rectangle {
    id: root

    // The language choice; translated texts follow it (Lang retranslates the
    // whole window when it changes).
    readonly property string langSel: Lang.langSel
    property string page: Navigator.initialPage()
    // The overlay shown: kind "" (none), "basic", "advanced" or "returning"
    // with its features.
    property var guide: ({ kind: "", features: [] })
    readonly property alias app: appModel
    readonly property var pages: Navigator.pages()

    implicitWidth: 1100
    implicitHeight: 750
    color: Theme.windowBG

    AppModel {
        id: appModel
    }

    Binding {
        target: root.Window.window
        when: root.Window.window !== null
        property: "title"
        value: qsTr("app.name")
    }

    Component.onCompleted: {
        appModel.refreshVolume()
        if (!appModel.scannedOnce && (page === "overview" || page === "clean"))
            appModel.fullScan()
        Navigator.touchPage(page)
        guide = Navigator.evaluateGuide()
    }

    onPageChanged: Navigator.touchPage(page)

    // The overlays' callbacks.
    function finishGuide() {
        if (guide.kind === "basic")
            Navigator.markBasicDone()
        else if (guide.kind === "advanced")
            Navigator.markAdvancedDone()
        guide = { kind: "", features: [] }
    }
    function closeReminder() {
        Navigator.markNudged(guide.features)
        guide = { kind: "", features: [] }
    }
    function goFeature(feature) {
        Navigator.markNudged(guide.features)
        Navigator.touchFeature(feature)
        guide = { kind: "", features: [] }
        const target = Navigator.pageOfFeature(feature)
        if (target !== "")
            page = target
    }
    function replayGuide() {
        Navigator.resetGuide()
        guide = { kind: "basic", features: [] }
    }

    Row {
        anchors.fill: parent

        Sidebar {
            id: sidebar
            height: parent.height
            app: appModel
            pages: root.pages
            page: root.page
            onPageChosen: (chosen) => root.page = chosen
        }

        Rectangle {
            width: 1
            height: parent.height
            color: Theme.primaryAt(0.2)
            opacity: 0.5
        }

        Loader {
            id: pageLoader
            objectName: "pageLoader"
            width: parent.width - sidebar.width - 1
            height: parent.height
            sourceComponent: {
                switch (root.page) {
                case "clean": return cleanPage
                case "map": return mapPage
                case "files": return filesPage
                case "tools": return toolsPage
                case "terminal": return terminalPage
                case "history": return historyPage
                case "about": return aboutPage
                default: return overviewPage
                }
            }
        }
    }

    // The guide overlay over the whole window. It fades in when the window
    // decides on one and out when its callbacks clear the decision; shownKind
    // keeps the overlay drawn while it fades out.
    Loader {
        id: overlay
        objectName: "guideOverlay"
        property string shownKind: ""
        property var shownFeatures: []
        anchors.fill: parent
        z: 1
        opacity: 0
        visible: shownKind !== ""
        // A fading-out overlay already lets clicks through.
        enabled: root.guide.kind !== ""
        sourceComponent: shownKind === "basic" || shownKind === "advanced" ? onboardingOverlay
                         : shownKind === "returning" ? reminderOverlay : null

        function follow(guide) {
            fadeOut.stop()
            if (guide.kind === "") {
                if (shownKind !== "")
                    fadeOut.start()
                return
            }
            shownKind = ""
            shownFeatures = guide.features
            shownKind = guide.kind
            fadeIn.restart()
        }

        NumberAnimation {
            id: fadeIn
            target: overlay
            property: "opacity"
            to: 1
            duration: 200
            easing.type: Easing.OutQuad
        }
        SequentialAnimation {
            id: fadeOut
            NumberAnimation {
                target: overlay
                property: "opacity"
                to: 0
                duration: 200
                easing.type: Easing.OutQuad
            }
            ScriptAction {
                script: overlay.shownKind = ""
            }
        }
    }
    onGuideChanged: overlay.follow(guide)

    Component {
        id: onboardingOverlay
        OnboardingView {
            pages: Navigator.guidePages(overlay.shownKind)
            badgeKey: overlay.shownKind === "advanced" ? "guide.badge.adv" : "guide.badge"
            onFinish: root.finishGuide()
        }
    }
    Component {
        id: reminderOverlay
        ReturnReminderView {
            features: overlay.shownFeatures
            onClose: root.closeReminder()
            onGo: (feature) => root.goFeature(feature)
        }
    }

    Component {
        id: overviewPage
        OverviewView {
            app: appModel
            onGoClean: root.page = "clean"
        }
    }
    Component {
        id: cleanPage
        CleanView { app: appModel }
    }
    Component {
        id: mapPage
        TreemapView { app: appModel }
    }
    Component {
        id: filesPage
        LargeFilesView { app: appModel }
    }
    Component {
        id: toolsPage
        ToolsView { app: appModel }
    }
    Component {
        id: terminalPage
        TerminalView { app: appModel }
    }
    Component {
        id: historyPage
        HistoryView { app: appModel }
    }
    Component {
        id: aboutPage
        AboutView {
            app: appModel
            onGuide: root.replayGuide()
        }
    }
}

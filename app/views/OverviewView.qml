import QtQuick
import Tidlo.Core

// The Overview page: so far its header.
Item {
    id: page

    required property AppModel model
    signal goClean()

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("ov.title")
        subtitle: qsTr("app.tagline")
    }
}

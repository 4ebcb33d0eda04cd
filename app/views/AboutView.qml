import QtQuick
import Tidlo.Core

// The About page: so far its header.
Item {
    id: page

    required property AppModel model
    signal guide()

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("app.name")
        subtitle: qsTr("app.tagline")
    }
}

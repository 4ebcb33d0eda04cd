import QtQuick
import Tidlo.Core

// The Storage Map page: so far its header.
Item {
    id: page

    required property AppModel model

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("map.title")
        subtitle: qsTr("map.subtitle")
    }
}

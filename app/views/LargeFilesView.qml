import QtQuick
import Tidlo.Core

// The Large Files page: so far its header.
Item {
    id: page

    required property AppModel model

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("files.title")
        subtitle: qsTr("files.subtitle")
    }
}

import QtQuick
import Tidlo.Core

// The History page: so far its header.
Item {
    id: page

    required property AppModel model

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("hist.title")
        subtitle: qsTr("hist.subtitle")
    }
}

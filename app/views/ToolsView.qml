import QtQuick
import Tidlo.Core

// The Toolbox page: so far its header.
Item {
    id: page

    required property AppModel model

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("tools.title")
        subtitle: qsTr("tools.subtitle")
    }
}

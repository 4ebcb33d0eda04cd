import QtQuick
import Tidlo.Core

// The Command Line page: so far its header.
Item {
    id: page

    required property AppModel model

    PageHeader {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        title: qsTr("term.title")
        subtitle: qsTr("term.subtitle")
    }
}

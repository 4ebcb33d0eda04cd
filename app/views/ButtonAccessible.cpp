// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonAccessible.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqml.h>

namespace {

bool isAttachedObject(const QObject* o)
{
    return qstrcmp(o->metaObject()->className(), "QQuickAccessibleAttached") == 0;
}

// The item's Accessible attached object: the one the QML engine hands out
// for the item (a control can hold a second, unused one among its children).
QObject* attachedOf(QObject* item)
{
    for (QObject* child : item->children())
        if (isAttachedObject(child)) {
            const auto attach = qmlAttachedPropertiesFunction(item, child->metaObject());
            QObject* own = attach ? qmlAttachedPropertiesObject(item, attach, false) : nullptr;
            return own ? own : child;
        }
    return nullptr;
}

// Where an item lies on the screen, as Qt Quick's own interface computes it.
QRect screenRect(const QQuickItem* item)
{
    if (!item->window())
        return {};
    const QPointF scene = item->mapToScene(QPointF(0, 0));
    const QPoint global = item->window()->mapToGlobal(scene.toPoint());
    return {global, QSize(int(item->width()), int(item->height()))};
}

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (object && object->inherits("QQuickAbstractButton"))
        return new ButtonAccessible(static_cast<QQuickItem*>(object));
    return nullptr;
}

} // namespace

ButtonAccessible::ButtonAccessible(QQuickItem* item) : QAccessibleObject(item) {}

void ButtonAccessible::install()
{
    // The factory installed last is asked first, before Qt Quick's own.
    QAccessible::installFactory(factory);
}

QQuickItem* ButtonAccessible::item() const
{
    return static_cast<QQuickItem*>(object());
}

QObject* ButtonAccessible::attached() const
{
    return object() ? attachedOf(object()) : nullptr;
}

QWindow* ButtonAccessible::window() const
{
    return item() ? item()->window() : nullptr;
}

// The nearest enclosing item that a screen reader sees (one with Accessible
// properties), else the window, as for every other item of the scene.
QAccessibleInterface* ButtonAccessible::parent() const
{
    if (!item())
        return nullptr;
    QQuickWindow* window = item()->window();
    for (QQuickItem* p = item()->parentItem(); p; p = p->parentItem()) {
        if (window && p == window->contentItem())
            break;
        if (attachedOf(p))
            return QAccessible::queryAccessibleInterface(p);
    }
    return window ? QAccessible::queryAccessibleInterface(window) : nullptr;
}

QString ButtonAccessible::text(QAccessible::Text t) const
{
    QObject* a = attached();
    if (!a)
        return {};
    switch (t) {
    case QAccessible::Name:
        return a->property("name").toString();
    case QAccessible::Description:
        return a->property("description").toString();
    default:
        return {};
    }
}

QRect ButtonAccessible::rect() const
{
    return item() ? screenRect(item()) : QRect();
}

QAccessible::Role ButtonAccessible::role() const
{
    QObject* a = attached();
    const auto r = a ? QAccessible::Role(a->property("role").toInt()) : QAccessible::NoRole;
    return r == QAccessible::NoRole ? QAccessible::Button : r;
}

QAccessible::State ButtonAccessible::state() const
{
    QAccessible::State s;
    QQuickItem* i = item();
    if (!i)
        return s;
    if (QObject* a = attached()) {
        s.checkable = a->property("checkable").toBool();
        s.checked = a->property("checked").toBool();
        s.selectable = a->property("selectable").toBool();
        s.selected = a->property("selected").toBool();
        s.defaultButton = a->property("defaultButton").toBool();
    }
    const QAccessible::Role r = role();
    if ((r == QAccessible::CheckBox || r == QAccessible::RadioButton) &&
        i->property("checked").toBool())
        s.checked = true;
    s.pressed = i->property("pressed").toBool();
    s.disabled = !i->isEnabled();
    QQuickWindow* w = i->window();
    const QRect area = w ? QRect(w->position(), w->size()) : QRect();
    const QRect own = rect();
    if (!w || !w->isVisible() || !i->isVisible() || qFuzzyIsNull(i->opacity()) || own.isNull())
        s.invisible = true;
    if (!area.intersects(own))
        s.offscreen = true;
    s.focusable = i->activeFocusOnTab();
    s.focused = i->hasActiveFocus();
    return s;
}

void* ButtonAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ActionInterface)
        return static_cast<QAccessibleActionInterface*>(this);
    return QAccessibleObject::interface_cast(type);
}

QStringList ButtonAccessible::actionNames() const
{
    const QAccessible::Role r = role();
    if (r == QAccessible::CheckBox || r == QAccessible::RadioButton)
        return {pressAction(), toggleAction()};
    return {pressAction()};
}

// Press and toggle are both a click here; the view decides what a click
// does, and that a disabled control takes none.
void ButtonAccessible::doAction(const QString& actionName)
{
    QObject* a = attached();
    if (a && (actionName == pressAction() || actionName == toggleAction()))
        QMetaObject::invokeMethod(a, "pressAction");
}

// SPDX-License-Identifier: GPL-3.0-or-later
// How a screen reader sees the window's buttons, check boxes and tabs: Qt
// Quick 6.4 reports every item as enabled, so a disabled Move to Trash would
// read as one that can be pressed. This interface reports what Qt Quick
// reports for a button (the role, name, description and states set through
// Accessible) and adds the disabled state; its press and toggle actions
// raise the item's Accessible.pressAction, which the view answers as a
// click.
#pragma once

#include <QAccessibleObject>

class QQuickItem;

class ButtonAccessible : public QAccessibleObject, public QAccessibleActionInterface
{
public:
    explicit ButtonAccessible(QQuickItem* item);

    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Makes every button of the window use this interface; call once, before
    // the window is built.
    static void install();

private:
    QQuickItem* item() const;
    // The item's Accessible attached object, if the view set any of it.
    QObject* attached() const;
};

// The option lists' rows as accessible list items: the list draws its rows itself, so without
// this a screen reader would find one unnamed box instead of the choices it offers.
#include "paint/paint_option_list.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace velmar::paint {

namespace {

class RowAccessible : public QAccessibleInterface {
public:
    RowAccessible(OptionList* list, int row) : m_list(list), m_row(row) {}

    bool isValid() const override { return m_list && m_row < m_list->rowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list ? m_list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_list.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_list ? m_list->rowName(m_row) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!m_list)
            return {};
        const QRect r = m_list->rowRect(m_row);
        return QRect(m_list->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        if (!m_list || !m_list->isVisible())
            s.invisible = true;
        else if (m_row == m_list->currentRow()) {
            s.selected = true;
            s.focused = m_list->hasFocus();
        }
        return s;
    }

private:
    QPointer<OptionList> m_list;
    int m_row;
};

class ListAccessible : public QAccessibleWidget {
public:
    explicit ListAccessible(OptionList* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~ListAccessible() override
    {
        for (QAccessible::Id id : m_rows)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return list()->rowCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // Row interfaces live as long as the list's own, under ids the bridge can keep.
        while (int(m_rows.size()) <= index)
            m_rows.push_back(QAccessible::registerAccessibleInterface(new RowAccessible(list(), int(m_rows.size()))));
        return QAccessible::accessibleInterface(m_rows[std::size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < int(m_rows.size()); ++i)
            if (QAccessible::accessibleInterface(m_rows[std::size_t(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = list()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i)
            if (list()->rowRect(i).contains(local))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return list()->hasFocus() ? child(list()->currentRow()) : nullptr;
    }

private:
    OptionList* list() const { return static_cast<OptionList*>(widget()); }

    mutable std::vector<QAccessible::Id> m_rows;
};

QAccessibleInterface* optionListFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(OptionList::staticMetaObject.className()) && object && object->isWidgetType())
        return new ListAccessible(static_cast<OptionList*>(object));
    return nullptr;
}

}  // namespace

void installOptionListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(optionListFactory);
        return true;
    }();
    (void)installed;
}

void announceCurrentRow(OptionList* list)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent selected(list, QAccessible::SelectionAdd);
    selected.setChild(list->currentRow());
    QAccessible::updateAccessibility(&selected);
    if (list->hasFocus()) {
        QAccessibleEvent focus(list, QAccessible::Focus);
        focus.setChild(list->currentRow());
        QAccessible::updateAccessibility(&focus);
    }
}

}  // namespace velmar::paint

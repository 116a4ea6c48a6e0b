#include "skin/sk_accessible.h"

#include "skin/sk_form.h"
#include "skin/sk_image_panel.h"
#include "skin/sk_tab_control.h"
#include "skin/sk_title_bar.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

namespace {

QString titleButtonName(TskTitleBar::ButtonType type)
{
    switch (type) {
    case TskTitleBar::skMax: return QStringLiteral("Maximize");
    case TskTitleBar::skMin: return QStringLiteral("Minimize");
    case TskTitleBar::skClose: return QStringLiteral("Close");
    case TskTitleBar::skHelp: return QStringLiteral("Help");
    case TskTitleBar::skControlBox: return QStringLiteral("Window menu");
    case TskTitleBar::skCustom: break;
    }
    return QStringLiteral("Button");
}

// A part that a control draws itself (a title-bar button, a tab): no widget of its own. Its
// owner's interface creates it and deletes it with itself.
class DrawnPart : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    DrawnPart(QWidget *owner, int index) : m_owner(owner), m_index(index) {}

    bool isValid() const override { return m_owner && m_index < count(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_owner); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect local = localRect();
        return QRect(m_owner->mapToGlobal(local.topLeft()), local.size());
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            press();
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

protected:
    virtual int count() const = 0;
    virtual QRect localRect() const = 0;
    virtual void press() = 0;
    QPointer<QWidget> m_owner;
    int m_index;
};

class TitleButtonPart : public DrawnPart {
public:
    using DrawnPart::DrawnPart;
    QAccessible::Role role() const override
    {
        return isValid() && bar()->button(m_index).type == TskTitleBar::skControlBox ? QAccessible::ButtonMenu
                                                                                     : QAccessible::PushButton;
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? titleButtonName(bar()->button(m_index).type) : QString();
    }
    QAccessible::State state() const override { return {}; }

protected:
    TskTitleBar *bar() const { return static_cast<TskTitleBar *>(m_owner.data()); }
    int count() const override { return bar()->buttonCount(); }
    QRect localRect() const override { return bar()->buttonRect(m_index); }
    void press() override { bar()->runButton(m_index); }
};

class TabPart : public DrawnPart {
public:
    using DrawnPart::DrawnPart;
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? tabs()->tabText(m_index).remove(QLatin1Char('&')) : QString();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.selectable = true;
        s.selected = isValid() && tabs()->currentIndex() == m_index;
        return s;
    }

protected:
    TskTabControl *tabs() const { return static_cast<TskTabControl *>(m_owner.data()); }
    int count() const override { return tabs()->count(); }
    QRect localRect() const override { return tabs()->tabRect(m_index); }
    void press() override { tabs()->setCurrentIndex(m_index); }
};

// A widget whose first children are parts it draws, then its child widgets.
template <class Part>
class PartsOwner : public QAccessibleWidget {
public:
    PartsOwner(QWidget *w, QAccessible::Role role, int (*parts)(QWidget *))
        : QAccessibleWidget(w, role), m_parts(parts)
    {
    }
    ~PartsOwner() override
    {
        for (QAccessible::Id id : std::as_const(m_cache))
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return m_parts(widget()) + QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        const int parts = m_parts(widget());
        if (index >= parts)
            return QAccessibleWidget::child(index - parts);
        if (index < 0)
            return nullptr;
        if (!m_cache.contains(index))
            m_cache.insert(index, QAccessible::registerAccessibleInterface(new Part(widget(), index)));
        return QAccessible::accessibleInterface(m_cache.value(index));
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_cache.cbegin(); it != m_cache.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        const int widgetIndex = QAccessibleWidget::indexOfChild(child);
        return widgetIndex < 0 ? -1 : widgetIndex + m_parts(widget());
    }
    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = widget()->window()->windowTitle().trimmed();
        return s;
    }

private:
    int (*m_parts)(QWidget *);
    mutable QHash<int, QAccessible::Id> m_cache;
};

// The frame and the picture panel: a name of their own, else the window's title.
class NamedWidget : public QAccessibleWidget {
public:
    NamedWidget(QWidget *w, QAccessible::Role role, const QString &fallback)
        : QAccessibleWidget(w, role), m_fallback(fallback)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = m_fallback.isEmpty() ? widget()->window()->windowTitle().trimmed() : m_fallback;
        return s;
    }

private:
    QString m_fallback;
};

QAccessibleInterface *skinFactory(const QString &className, QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w)
        return nullptr;
    if (className == QLatin1String("TskTitleBar"))
        return new PartsOwner<TitleButtonPart>(w, QAccessible::TitleBar, [](QWidget *bar) {
            return static_cast<TskTitleBar *>(bar)->buttonCount();
        });
    if (className == QLatin1String("TskTabControl"))
        return new PartsOwner<TabPart>(w, QAccessible::PageTabList, [](QWidget *tabs) {
            return static_cast<TskTabControl *>(tabs)->count();
        });
    if (className == QLatin1String("TskForm"))
        return new NamedWidget(w, QAccessible::Pane, {});
    if (className == QLatin1String("TskImagePanel"))
        return new NamedWidget(w, QAccessible::Graphic, QStringLiteral("Picture"));
    return nullptr;
}

} // namespace

void skInstallAccessibility()
{
    static const bool installed = (QAccessible::installFactory(skinFactory), true);
    Q_UNUSED(installed);
}

#include "ui/kit/ShownIn.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QGraphicsView>

QWidget *shownIn(const QWidget *widget)
{
    QWidget *top = widget->window();
    if (const QGraphicsProxyWidget *proxy = top->graphicsProxyWidget(); proxy && proxy->scene()) {
        const QList<QGraphicsView *> views = proxy->scene()->views();
        if (!views.isEmpty())
            return shownIn(views.first());
    }
    return top;
}

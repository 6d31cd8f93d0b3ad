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

QList<std::pair<QWidget *, QRect>> placesOnScreen(QWidget *widget)
{
    if (!widget->isVisible())
        return {};
    QWidget *top = widget->window();
    const QGraphicsProxyWidget *proxy = top->graphicsProxyWidget();
    if (!proxy || !proxy->scene())
        return { { widget, widget->rect() } };
    const QRectF inScene = proxy->sceneTransform().mapRect(QRectF(widget->mapTo(top, QPoint(0, 0)), widget->size()));
    QList<std::pair<QWidget *, QRect>> places;
    const QList<QGraphicsView *> views = proxy->scene()->views();
    for (QGraphicsView *view : views)
        places.append({ view->viewport(), view->viewportTransform().mapRect(inScene).toAlignedRect() });
    return places;
}

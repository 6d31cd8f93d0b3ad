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

void updateOnScreen(QWidget *widget)
{
    QWidget *top = widget->window();
    const QGraphicsProxyWidget *proxy = top->graphicsProxyWidget();
    if (!proxy || !proxy->scene() || !widget->isVisible()) {
        widget->update();
        return;
    }
    const QRectF inScene = proxy->sceneTransform().mapRect(QRectF(widget->mapTo(top, QPoint(0, 0)), widget->size()));
    const QList<QGraphicsView *> views = proxy->scene()->views();
    for (QGraphicsView *view : views)
        view->viewport()->update(view->viewportTransform().mapRect(inScene).toAlignedRect());
}

#pragma once

#include <QEvent>
#include <QObject>

// Notes that a widget received a paint event; the paint itself has finished once the
// event loop call that delivered it returns.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

#include "CWindowGeometry.h"

QRect CWindowGeometry::OuterRect(const QSize& client, const Decoration& d, const QSize& screen, bool centred)
{
    const int width = client.width() + 2 * d.frameWidth;
    const int height = client.height() + d.captionHeight + d.menuHeight + 2 * d.frameHeight;
    if (centred) return QRect((screen.width() - width) / 2, (screen.height() - height) / 2, width, height);
    return QRect(-d.frameWidth, -(d.captionHeight + d.menuHeight + d.frameHeight), width, height);
}

QRect CWindowGeometry::ClientRect(const QRect& outer, const Decoration& d)
{
    return QRect(outer.x() + d.frameWidth, outer.y() + d.captionHeight + d.menuHeight + d.frameHeight,
                 outer.width() - 2 * d.frameWidth, outer.height() - d.captionHeight - d.menuHeight - 2 * d.frameHeight);
}

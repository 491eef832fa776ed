#include "printing/ChequePage.h"

ChequeOrigin ComputeChequeOrigin(FeedDirection feed, FeedPosition position, int panelWidth,
                                 int panelHeight, int top, int left)
{
    // C++ integer division truncates toward zero, as the origin table requires.
    if (feed == FeedDirection::Horizontal) {
        if (position == FeedPosition::Middle)
            return {left + (kPortraitPageWidth - panelWidth) / 2, top};
        return {left, top};
    }
    const int x0 = kLandscapePageWidth - panelWidth - top;
    if (position == FeedPosition::Middle)
        return {x0, left + (kLandscapePageHeight - panelHeight) / 2};
    return {x0, left};
}

ChequePage ComposeChequePage(const QList<PreviewBox>& boxes, FeedDirection feed,
                             FeedPosition position, int panelWidth, int panelHeight, int top,
                             int left)
{
    const ChequeOrigin origin =
        ComputeChequeOrigin(feed, position, panelWidth, panelHeight, top, left);
    ChequePage page;
    page.landscape = feed == FeedDirection::Vertical;
    for (const PreviewBox& box : boxes) {
        const QString name = box.name.toUpper();
        if (!name.startsWith(QLatin1String("LBL")) || !box.visible)
            continue;
        TextElement e;
        e.text = box.text;
        e.left = box.left + origin.x0;
        e.top = box.top + origin.y0;
        e.width = box.width;
        e.font = box.font;
        e.cutAtWidth = name == QLatin1String("LBLCOVER");
        if (name == QLatin1String("LBLPERFERAJ")) {
            e.alignRight = false;
            e.rightToLeft = false;
        }
        page.elements.append(e);
    }
    return page;
}

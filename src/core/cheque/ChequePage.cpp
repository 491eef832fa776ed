#include "core/cheque/ChequePage.h"

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

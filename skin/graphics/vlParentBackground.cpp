#include "vlParentBackground.h"

namespace skin {

void BgQueryToBgInfo(const TvlBgQuery &Query, TvlBgInfo &Info) {
    if (Query.Kind == bqImage) {
        InitBgInfo(Query.Image, Query.X, Query.Y, Info);
        return;
    }
    Info = {Query.Image, Query.X, Query.Y, vcl::ColorToRGB(Query.Color), Query.Margins, false};
}

} // namespace skin

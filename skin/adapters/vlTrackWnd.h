#pragma once
// TvlTrackWnd: the adapter of a track bar ("msctls_trackbar32", section
// "TRACKBAR"). It paints the section, then from the images of the skin's
// track-bar section the channel, the ticks (evenly spaced, in rows by the
// bar's tick style) and the thumb at the place the control reports; the
// thumb image is turned over for ticks on the top or left and scaled to a
// thumb of another size. Without those images only the background shows;
// without tick images the ticks are small raised marks. The control's own
// procedure still moves the thumb. Windows only.
#include <windows.h>

#include "vcl/Types.h"
#include "vlSBUtils.h"

namespace vcl {
class TBitmap;
}

namespace skin {

class TvlTrackWnd : public TvlMainWnd {
public:
    // Tick length 4, mouse up; "TRACKBAR" when no section was given.
    void SetDefaultSection() override;
    bool OwnMessage(vcl::TMessage &Message) override;

    bool Vertical() const;
    // 0 ticks after the channel, 1 before it (top or left), 2 both.
    int TickPlacement() const;
    // The channel as the control reports it, across a vertical bar when
    // the report is not (wider than tall).
    vcl::TRect ChannelRect() const;
    // The image of the whole bar in the skin data's cache.
    // False when the parent's answer about the background freed the adapter.
    bool BuildCache();

    int TickLength = 4;
    bool MouseDown = false;  // also the state of the thumb and tick images

private:
    void PaintChannel(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Channel);
    void PaintTicks(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Channel, const vcl::TRect &Thumb);
    void PaintThumb(vcl::TBitmap &Cache, int SliderSection, const vcl::TRect &Thumb);
    void PaintWindow(HDC DC);
};

} // namespace skin

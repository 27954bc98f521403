#include "sConst.h"

namespace skin {

int WindowsVersionCode = 0;
int CachedHScrollArrowWidth = 0;
int CachedSizeFrameWidth = 0;
int CachedFixedFrameWidth = 0;
int CachedCaptionHeight = 0;
int CachedSmallCaptionHeight = 0;

std::string LocOK, LocCancel, LocHelp, LocClose;
std::string LocAddToCustomColors;
std::string LocDefineColors, LocAdditionalColors, LocDecimal, LocRoot, LocCreate;
std::string LocRestore, LocSize, LocMove, LocMaximize, LocMinimize;
std::string LocCalculator;
std::string LocFileOpen, LocSelectDirectory, LocRed, LocGreen, LocBlue;
std::string LocColor, LocHex;
std::string LocFont, LocFontColor;
std::string LocInvalidDate, LocAvailableStyles, LocInternal;
std::string LocDirectoryWithSkins, LocSelectSkin, LocSkinPreview;
std::string LocFrameAdapterError;

int WindowsVersionCodeOf(int Major, int Minor) {
    // Windows 8 reports itself as 6.2; the library tells it from Vista and 7 (both 6.x).
    return Major == 6 && Minor == 2 ? 8 : Major;
}

} // namespace skin

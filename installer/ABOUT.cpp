#include "installer/ABOUT.h"

namespace installer {

VCL_PUBLISHED(TAboutBox, p) {
    p.Field("ProgramIcon", &TAboutBox::ProgramIcon);
    p.Field("ProductName", &TAboutBox::ProductName);
    p.Field("Version", &TAboutBox::Version);
    p.Field("Copyright", &TAboutBox::Copyright);
    p.Field("Comments", &TAboutBox::Comments);
    p.Field("OKButton", &TAboutBox::OKButton);
}

TAboutBox *AboutBox = nullptr;

} // namespace installer

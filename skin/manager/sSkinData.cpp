#include "sSkinData.h"

namespace skin {

VCL_CLASS_INFO(TsSkinData)

void TsSkinData::ResetGlobalValues() {
    const bool active = Active;
    std::string path = std::move(SkinPath);
    *this = TsSkinData();
    Active = active;
    SkinPath = std::move(path);
}

} // namespace skin

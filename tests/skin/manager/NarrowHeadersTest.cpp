// What the form provider and the window adapters include to plug into this
// layer (the per-control data, its command table, the command codes, the
// services and the broadcasts) must not bring the manager's header along:
// they include it only where they call the manager.
#include <type_traits>

#include "skin/manager/sCommandTable.h"
#include "skin/manager/sCommonData.h"
#include "skin/manager/sMessages.h"
#include "skin/manager/sSkinCommands.h"
#include "skin/manager/sSkinServices.h"

namespace {

template <class T, class = void> struct Complete : std::false_type {};
template <class T> struct Complete<T, std::void_t<decltype(sizeof(T))>> : std::true_type {};

static_assert(!Complete<skin::TsSkinManager>::value, "a seam header includes the manager's header");
// The painters' view of the skin data still names the serving manager.
static_assert(std::is_same_v<decltype(std::declval<const skin::TsCommonData &>().GetSkinManager()),
                             skin::TsSkinManager *>);

} // namespace

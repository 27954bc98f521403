#include "List.h"

namespace vcl {

void RaiseListIndexError(int index) { throw EListError("List index out of bounds (" + std::to_string(index) + ")"); }

} // namespace vcl

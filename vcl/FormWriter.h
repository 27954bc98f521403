#pragma once
// Writes a root component and the components it owns as a form description
// (FormReader.h) that reads back into the same state: published properties
// that differ from their declared defaults, sub-objects, string lists,
// collections, events bound to the root's published handlers, references
// by name, and DefineProperties data inline as hex. A component is written
// inside the component that is its parent (GetParentComponent), else at the
// top level, in the order of the root's components. A component without a
// name cannot be read back by name: writing one raises EWriteError.
#include <string>

#include "Component.h"

namespace vcl {

std::string WriteComponentText(const TComponent &Root);

} // namespace vcl

#pragma once
// The class library's basic classes in one include: persistent objects and
// the class registry, lists, streams, string lists, components and collections.
#include "Collection.h"
#include "Component.h"
#include "List.h"
#include "Persistent.h"
#include "Streams.h"
#include "StringList.h"

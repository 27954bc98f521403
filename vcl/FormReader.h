#pragma once
// Form descriptions: the text that says which components a form has and
// what their published properties hold. Reading one fills an existing root
// (the form object) through the property registry (TypInfo.h).
//
//   description := component
//   component   := ClassName Name "{" member* "}"
//   member      := component                  a component owned by the root, placed in
//                                             the enclosing one (SetParentComponent)
//                | path "=" value
//                | path "{" member* "}"       the properties of a sub-object, or the
//                                             items of a collection (which it replaces)
//                | "item" "{" member* "}"     one collection item, only in a collection's block
//   path        := Ident ("." Ident)*         Font.Height: a property of a sub-object
//   value       := Number | String | Ident | "nil"
//                | "[" [Ident ("," Ident)*] "]"      a set
//                | "(" [String ("," String)*] ")"    the lines of a string list
//                | "hex" "{" HexDigits* "}"          binary data, inline (blanks allowed)
//                | "resource" String                 binary data: a resource of that name
//   Number      := ["-"] Digits ["." Digits [Exponent]] | ["-"] "$" HexDigits
//   String      := '"' UTF-8 text with \" \\ \n \r \t \xHH, on one line '"'
//   Comments run from "#" or "//" to the end of the line.
//
// An identifier value is an enumeration element (True/False for Boolean), an
// identifier of an integer property (clBtnFace for a colour), for an event
// a published method of the root's class with the event's signature, and
// for an object property the name of a component of the form (or the root).
// Binary data goes to the DefineProperties block of that name (a picture's
// or a stored skin's "Data").
//
// Reading: the root's class must be the one the description names. The root
// and each component read get csLoading and csReading; components are made
// by class name (the classes of the root's published fields first, then the
// registered classes) with the root as owner, in stored order, and assigned
// to the root's published field of their name. A name given by `Name =`
// passes the checks of a name in a header: the root and its components each
// have one, distinct without case, that fits the field of that name, so that
// the written text reads again. References are resolved once everything is
// read; then csReading goes and Loaded is called on the root and every
// component read, in stored order. A damaged description
// raises EParserError naming the source and line; what was read until then
// stays owned by the root, and no Loaded is called.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "Component.h"
#include "Streams.h"

namespace vcl {

class EParserError : public EReadError {
public:
    EParserError(std::string message, int line) : EReadError(std::move(message)), Line(line) {}
    int Line;
};

// Gives the stream of the binary block `resource "Name"`; raises or answers
// null when there is none.
using TResourceLoader = std::function<std::unique_ptr<TStream>(const std::string &Name)>;

// SourceName appears in error messages; it defaults to the root's class name.
void ReadComponentText(TComponent &Root, std::string_view Text, const TResourceLoader &Resources = {},
                       std::string_view SourceName = {});

#ifdef _WIN32
// Reads the description stored in the program as the RCDATA resource named
// after Root's class; its `resource` blocks are RCDATA resources of the
// program too. Answers false, reading nothing, when there is no description.
bool ReadComponentRes(TComponent &Root);
// The program's RCDATA resource of that name (raises EResNotFound).
std::unique_ptr<TStream> ProgramResource(const std::string &Name);
#endif

} // namespace vcl

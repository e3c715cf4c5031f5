// The public headers' declarations: operations (functions at namespace scope, public member
// functions), types and named constants, read from the headers' text.
#pragma once
#include <map>
#include <string>

namespace refgen {

struct Declarations {
    // Full name ("elDraw::LoadObject", "el::Sjis::FromUtf8", "el::Sjis" for a class with public
    // constructors or operators) -> "file:line" of its first declaration.
    std::map<std::string, std::string> operations;
    // Structs, classes, unions, enums and aliases by full name.
    std::map<std::string, std::string> types;
    // Named constants (constexpr variables, enumerators) by full name.
    std::map<std::string, std::string> constants;
    // Namespaces and enums that hold named constants, by full name.
    std::map<std::string, std::string> constantGroups;
};

// Adds the declarations of one header's text; `file` names it in the locations. Problems the
// reader could not get past (unbalanced braces) are returned, empty when none.
std::string ScanHeader(const std::string& text, const std::string& file, Declarations& out);

}  // namespace refgen

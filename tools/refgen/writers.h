// Writing the reference out: troff -man pages (section 3) and one HTML page, and the check
// against the public headers' declarations.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "header_scan.h"
#include "reference.h"

namespace refgen {

// Text for a troff text line: backslashes as \e, other than ASCII as \[uXXXX] (outside code with a
// break point \: after each Japanese character); in code also '-' as \- (a minus that copies as one).
std::string EscapeTroff(const std::string& text, bool code);
// A troff text line: the escaped text, guarded with \& when it would start with '.' or '\''.
std::string TroffLine(const std::string& escaped);
// Inline markup of a text line (`code`) as troff.
std::string InlineTroff(const std::string& text);
// <, >, & and " as HTML entities.
std::string EscapeHtml(const std::string& text);
std::string InlineHtml(const std::string& text);

// Full name -> the header declaring it ("el/objects.h"), for operations, types and constants.
using HeaderMap = std::map<std::string, std::string>;
HeaderMap HeadersOf(const Declarations& declared);
// The headers an entry's synopsis includes: those declaring its names when `headers` knows them,
// else the facility's Header: line.
std::vector<std::string> EntryHeaders(const Facility& facility, const Entry& entry, const HeaderMap& headers);

// The page of one entry for one of its names.
std::string ManPage(const Facility& facility, const Entry& entry, const std::string& name,
                    const HeaderMap& headers = {});
// The page of a facility: its introduction and the list of its entries.
std::string FacilityManPage(const Facility& facility, const std::vector<Facility>& all);
// The whole reference as one HTML page with a table of contents.
std::string HtmlReference(const std::vector<Facility>& all, const HeaderMap& headers = {});

// Problems of the reference against the headers: every operation without an entry, every entry
// name that the headers do not declare, a function entry in a facility whose Header: line does not
// name the header declaring it, a name documented twice. Empty when complete.
std::vector<std::string> Check(const std::vector<Facility>& all, const Declarations& declared);
// Constant groups (namespaces, enums) and constants outside a group that no Constants: entry names.
std::vector<std::string> UndocumentedConstants(const std::vector<Facility>& all,
                                               const Declarations& declared);

}  // namespace refgen

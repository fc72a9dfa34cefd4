// HITRAN-API tables: a ".data" file of fixed-column records with a ".header" beside it whose JSON says
// where each field stands (its format, position and order) and which extra columns follow the
// standard ones. Reading the header gives the record layout the line reader uses; a header that cannot
// describe the data is refused with the reason.
#pragma once

#include "zqHitranRecord.h"

#include <string>

namespace zqhitranapi {

// True when path's extension is ext (".data" or ".header"), in any letter case.
bool HasExtension(const std::string& path, const std::string& ext);

// The file beside path with path's name and the extension ext (".data" or ".header") in any letter case:
// the spelling of path's own extension's case first, then lower case, then upper case, then any other.
// Empty when there is none.
std::string TablePartner(const std::string& path, const std::string& ext);

// The record layout the header file describes (the standard record when it places no field). Throws
// std::runtime_error naming the header and what is wrong: not JSON, not a fixed-column table, a field the
// reader needs without format or position, fields that overlap.
zqhitran::THitranLayout ReadTableHeader(const std::string& headerFile);

// The same from the header's text; name is used in messages.
zqhitran::THitranLayout ParseTableHeader(const std::string& json, const std::string& name);

} // namespace zqhitranapi

// The parameter listing "Param.txt": the values of a machine-data backup's parameter file,
// one readable line per parameter, written beside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace talvo::app {

// Lines of the listing for the values of indexes 0.., each ended by CR LF (the line end the
// controller's own text files use, so a listing reads the same on every PC).
std::string ParameterListing(const std::vector<std::int32_t>& values);

// Reads the parameter file of `folder` (named "Param.bin" in any case of letters, as a
// backup keeps the controller's "PARAM.BIN") and writes "Param.txt" there. A file shorter
// than the 2001 values lists the values it holds: a value it lacks is not made up. Nothing
// is written, and false returned, when there is no parameter file or the listing cannot be
// written.
bool WriteParameterListing(const std::filesystem::path& folder);

}  // namespace talvo::app

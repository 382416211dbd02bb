// What the Windows request object does with the VARIANT that "ResponseBody"
// yields; declared here for the tests.
#pragma once

#include "text/bytes.h"

#include <oaidl.h>

namespace tavenro {

// All elements, in storage order, of an array of one-byte elements (signed
// or unsigned, any number of dimensions, held directly or by reference);
// empty for anything else.
[[nodiscard]] Bytes BytesOfVariant(const VARIANT& value);

} // namespace tavenro

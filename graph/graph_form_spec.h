#pragma once

#include "form_spec.h"

namespace taviro {

// The slump graph window `GRPH`.
const FormSpec& GraphFormSpec();

}  // namespace taviro

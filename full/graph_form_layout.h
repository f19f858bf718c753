#pragma once

#include "core/slump_curve.h"
#include "forms/form_layout.h"

namespace taviro {

// The slump graph window `GRPH`.
const FormLayout& GraphFormLayout();

}  // namespace taviro

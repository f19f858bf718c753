#pragma once

#include "forms/form_layout.h"

namespace taviro {

// The slump graph window `GRPH`.
const FormLayout& GraphFormLayout();

}  // namespace taviro

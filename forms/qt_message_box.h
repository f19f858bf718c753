#pragma once

#include <QWidget>

#include "core/message_box.h"

namespace taviro {

// The platform's modal message box; OK is the default button.
class QtMessageBox final : public MessageBox {
  public:
    int Show(std::string_view text, Buttons buttons, std::string_view caption) override;
};

}  // namespace taviro

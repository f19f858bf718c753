// Modal message boxes behind a small interface, so that tests answer them without a dialog.
#pragma once

#include <string_view>

namespace taviro {

class MessageBox {
  public:
    enum class Buttons { Ok, OkCancel };
    static constexpr int kOk = 1;
    static constexpr int kCancel = 2;

    virtual ~MessageBox() = default;
    // Shows `text` and returns kOk or kCancel (also when the box is closed without a choice).
    // An empty caption shows the program's title.
    virtual int Show(std::string_view text, Buttons buttons = Buttons::Ok,
                     std::string_view caption = {}) = 0;
};

inline constexpr std::string_view kProgramTitle = "Taviro";

}  // namespace taviro

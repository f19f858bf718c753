// A message box that records what it was asked and answers from a script, for window tests.
#pragma once

#include <string>
#include <vector>

#include "core/message_box.h"

namespace taviro::test_support {

class RecordingMessageBox final : public MessageBox {
  public:
    struct Shown {
        std::string text;
        Buttons buttons;
        std::string caption;
    };

    int Show(std::string_view text, Buttons buttons, std::string_view caption) override {
        shown.push_back({std::string(text), buttons, std::string(caption)});
        return answer;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& s : shown) texts.push_back(s.text);
        return texts;
    }

    std::vector<Shown> shown;
    int answer = kOk;
};

}  // namespace taviro::test_support

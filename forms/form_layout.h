// A window described as data: every control with its name, kind, text and rectangle in twips,
// and the keyboard focus order. One definition serves every edition that shows the window.
#pragma once

#include <span>
#include <string_view>

namespace taviro {

enum class ControlKind {
    Frame,       // group box with a caption
    Label,       // static text of a fixed size
    FitLabel,    // static text that sizes itself to its caption
    TextField,   // single-line editable text
    ComboBox,    // drop-down with an editable text area
    Button,      // push button
    DottedLine,  // static lines: left/top is one end, width/height the other end
    DashedLine,
    SolidLine,
};

struct ControlLayout {
    std::string_view name;
    int index;  // member of a control array, or -1
    ControlKind kind;
    std::string_view parent;       // the group box it sits in, or empty for the window
    std::string_view text;         // caption or initial text
    int left, top, width, height;  // twips; for lines the two end points (x1, y1, x2, y2)
    std::string_view items = {};   // drop-down list, entries separated by '|'
    bool fullEditionOnly = false;
};

// What a screen reader announces for a control whose own text does not say what it is: a text
// field or drop-down after its caption, a result label after what it shows. Group boxes are
// announced by their own captions, buttons and static labels by their texts.
struct AccessibleName {
    std::string_view control;
    std::string_view name;
};

struct FormLayout {
    std::string_view name;
    std::string_view caption;
    int clientWidth, clientHeight;  // twips
    std::span<const ControlLayout> controls;
    std::span<const std::string_view> focusOrder;
    std::span<const AccessibleName> accessibleNames = {};
};

inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

// The main window of both editions (the light edition leaves out the controls marked
// fullEditionOnly).
const FormLayout& MainFormLayout();

}  // namespace taviro
